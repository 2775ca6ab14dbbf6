// The identity answer (commands 0, 11, 21 and 128), the manufacturer table and the names
// of the maker's own models.

#include <array>
#include <string>

#include "model/Xmt.h"
#include "model/XmtAnswer.h"

namespace {

constexpr TModelName EndOfList{-1, nullptr};

constexpr std::array<TModelName, 1> NoModels{{EndOfList}};
constexpr std::array<TModelName, 2> Models18{{{66, "PTH Pression"}, EndOfList}};
constexpr std::array<TModelName, 6> Models38{{{1, "3051 Pression"},
                                              {2, "3044 Temperature"},
                                              {3, "1151s Pression"},
                                              {6, "3051C Pression"},
                                              {24, "644 Temperature"},
                                              EndOfList}};
constexpr std::array<TModelName, 2> Models109{{{239, "PR5335"}, EndOfList}};

constexpr std::array<TManufacturer, 62> Manufacturers{{
    {0, "Reserved", NoModels},
    {1, "Acromag", NoModels},
    {2, "Allen Bradley", NoModels},
    {3, "Ametek", NoModels},
    {4, "Analog Devices", NoModels},
    {5, "Bailey", NoModels},
    {6, "Beckman", NoModels},
    {7, "Bell Microsensor", NoModels},
    {8, "Bourns", NoModels},
    {9, "Bristol Babcock", NoModels},
    {10, "Brooks Instrument", NoModels},
    {11, "Chessell", NoModels},
    {12, "Combustion Engineering", NoModels},
    {13, "Daniel Industries", NoModels},
    {14, "Delta", NoModels},
    {15, "Dieterich Standard", NoModels},
    {16, "Dohrmann", NoModels},
    {17, "Endress & Hauser", NoModels},
    {18, "Fisher & Porter", Models18},
    {19, "Ficher Controls", NoModels},
    {20, "Foxboro", NoModels},
    {21, "Fuji", NoModels},
    {22, "Hartmann & Braun", NoModels},
    {23, "Honeywell", NoModels},
    {24, "ITT Barton", NoModels},
    {25, "Kay Ray/Sensall", NoModels},
    {26, "ABB", NoModels},
    {27, "Leeds & Northrup", NoModels},
    {28, "Leslie", NoModels},
    {29, "M-System Co.", NoModels},
    {30, "Measurex", NoModels},
    {31, "Micro Motion", NoModels},
    {32, "Moore Industries", NoModels},
    {33, "Moore Products", NoModels},
    {34, "Ohkura Electric", NoModels},
    {35, "Paine", NoModels},
    {36, "Rochester Instrument Systems", NoModels},
    {37, "Ronan", NoModels},
    {38, "Rosemount", Models38},
    {39, "Sarasota Automation", NoModels},
    {40, "Schlumberger", NoModels},
    {41, "Sensall", NoModels},
    {42, "Siemens", NoModels},
    {43, "Tobar", NoModels},
    {44, "Toshiba", NoModels},
    {45, "Transmation", NoModels},
    {46, "Rosemount Analytical", NoModels},
    {47, "Valmet", NoModels},
    {48, "Valtek", NoModels},
    {49, "Varec", NoModels},
    {50, "Viatran", NoModels},
    {51, "Weed", NoModels},
    {52, "Westinghouse", NoModels},
    {53, "Xomox", NoModels},
    {54, "Yamatake", NoModels},
    {55, "Yokogawa", NoModels},
    {56, "Nuovo Pignone", NoModels},
    {57, "Promac", NoModels},
    {58, "Exac Corporation", NoModels},
    {59, "KDG Mobrey", NoModels},
    {60, "Arcom Control Systems", NoModels},
    {109, "PR Electronics", Models109},
}};

constexpr int MakerId = 250;

std::string Cut40(const std::string& text) { return text.substr(0, 40); }

// "N° " and the device type.
std::string NumberText(Byte t) { return "N\xB0 " + std::to_string(t); }

// Names of the maker's own devices, from the bits of the device type.
void MakerNames(Byte t, std::string& manufacturer, std::string& model) {
  struct Family {
    const char* Suffix;
    const char* Text;
  };
  static constexpr Family families[4] = {{"", ""}, {"-P", "KRP-...-WLD"}, {"-N", "KRNV-...-WLD"}, {"-T", "KRT-...-WLD"}};
  const Family& family = families[(t >> 2) & 3];
  const bool odd = (t & 1) != 0;

  manufacturer = "Ostrel";
  switch ((t >> 4) & 7) {
    case 0: model = std::string("RV100") + family.Suffix; break;
    case 1: model = std::string("RV210") + family.Suffix; break;
    case 2: model = std::string("RV-300") + family.Suffix; break;
    case 3: model = std::string("RV400QS") + family.Suffix; break;
    case 4: model = family.Text; break;
    case 5: model = std::string(odd ? "RV510" : "RV520") + family.Suffix; break;
    default: model = "?\?\?(" + std::to_string((t >> 2) & 31) + ")"; break;
  }
  if (t & 0x80) {
    model += ".S";
    if (odd) model += "-V";
  }

  // Private-label devices.
  switch (t) {
    case 154: manufacturer = "HALVERSTEDT"; model = "WB7"; break;
    case 218: manufacturer = "HALVERSTEDT"; model = "WB72"; break;
    case 203: manufacturer = "HALVERSTEDT"; model = "WBL7"; break;
    default: break;
  }
}

}  // namespace

std::span<const TManufacturer> ManufacturerTable() { return Manufacturers; }

std::string ModelRowName(const TModelName& model, TLangue langue) {
  return model.Name ? model.Name : Texte(langue, "Unknown", "Inconnu");
}

void TXmt::DecodeIdentity(TAnswerData data, int byteCount) {
  using answer::At;
  ManufacturerId = At(data, 1);
  DeviceType = At(data, 2);
  UniversalRevision = At(data, 4);
  DeviceRevision = At(data, 5);
  SoftwareRevision = At(data, 6);
  HardwareRevision = At(data, 7) >> 3;
  SignalingCode = At(data, 7) & 7;

  DeviceId = answer::Int24(data, 9);
  LiveRecord.SetInt32(TXmtRecord::OffDeviceId, DeviceId);

  const Byte t = DeviceType;
  if (ManufacturerId != MakerId) {
    Is_Ostrel = false;
    ManufacturerName = Texte(Langue, "Unknown(N\xB0 ", "Inconnue(N\xB0 ") + std::to_string(ManufacturerId) + ")";
    ModelName = NumberText(t);
    for (const TManufacturer& m : Manufacturers) {
      if (m.Id != ManufacturerId) continue;
      ManufacturerName = m.Name;
      for (const TModelName& model : m.Models) {
        if (model.Code == -1) break;
        if (model.Code == t) ModelName = model.Name;
      }
    }
  } else if (Is_Ostrel) {
    MakerNames(t, ManufacturerName, ModelName);
  } else {
    ManufacturerName = Texte(Langue, "Not Used", "Non utilis\xE9");
    ModelName = NumberText(t);
  }
  ManufacturerName = Cut40(ManufacturerName);
  ModelName = Cut40(ModelName);

  LongAddress = {At(data, 1), At(data, 2), At(data, 9), At(data, 10), At(data, 11)};

  // Only an answer that holds data bytes 14 and 15 carries the counter.
  if (byteCount >= 18) ConfigChangeCounter = answer::Word(data, 14);

  for (int i = 0; i < 5; ++i) LiveRecord.SetByte(TXmtRecord::OffManufacturerId + i, LongAddress[static_cast<std::size_t>(i)]);
  LiveRecord.SetByte(TXmtRecord::OffReserved26, 0);

  SetConnected(1);
}
