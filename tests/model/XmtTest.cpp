// The error holder, connection events, the status word and the identity answer.

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <string>
#include <utility>

#include "AnswerBytes.h"
#include "model/Xmt.h"

TEST(Erreur, NewHolderAndSaturatingLevel) {
  TErreur e;
  EXPECT_EQ(e.GetCode(), -1);
  EXPECT_EQ(e.GetMessage(), "");
  EXPECT_EQ(e.Level, 0);

  for (int i = 1; i <= 4; ++i) EXPECT_FALSE(e.Report("x", 1, i)) << i;
  EXPECT_TRUE(e.Report("x", 1, 5));
  EXPECT_TRUE(e.Report("x", 1, 6));
  EXPECT_EQ(e.Level, 5);
  EXPECT_FALSE(e.Report("", -10, 0));
  EXPECT_EQ(e.Level, 0);
  EXPECT_TRUE(e.Report("", 10, 0));

  // No delta overflows the level, in either direction.
  EXPECT_TRUE(e.Report("", INT32_MAX, 1));
  EXPECT_EQ(e.Level, 5);
  EXPECT_FALSE(e.Report("", INT32_MIN, 2));
  EXPECT_EQ(e.Level, 0);
  EXPECT_EQ(e.GetCode(), 2);

  e.Report(std::string(100, 'a') + "b", 0, 7);
  EXPECT_EQ(e.GetMessage(), std::string(80, 'a'));
  EXPECT_EQ(e.GetCode(), 7);
}

TEST(Xmt, ConnectionEventsFireOncePerChange) {
  TXmt x;
  int connects = 0, disconnects = 0;
  TObject* sender = nullptr;
  x.OnConnect = [&](TObject* s) { ++connects; sender = s; };
  x.OnDisconnect = [&](TObject*) { ++disconnects; };

  x.SetConnected(2);  // from 0: anything but 1 is a disconnection
  EXPECT_EQ(disconnects, 1);
  x.SetConnected(1);
  x.SetConnected(1);
  EXPECT_EQ(connects, 1);
  EXPECT_EQ(sender, &x);
  EXPECT_EQ(x.GetConnected(), 1);
  x.SetConnected(0);
  x.SetConnected(0);
  EXPECT_EQ(disconnects, 2);
  EXPECT_EQ(connects, 1);
}

TEST(Xmt, ErrorReportsFireOnErrorAtTheTopLevel) {
  TXmt x;
  EXPECT_EQ(x.GetErrorCode(), -1);
  int errors = 0;
  x.OnError = [&](TObject*) { ++errors; };
  x.ReportError("", 10, 0);  // a successful answer still fires it
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(x.GetErrorCode(), 0);
  x.ReportError("Busy", -10, 32);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(x.GetErrorMessage(), "Busy");
  EXPECT_EQ(x.GetErrorCode(), 32);
}

TEST(Xmt, StatusWordBothWays) {
  TXmt x;
  x.BuildStatusRegister();
  EXPECT_EQ(x.StatusRegister, 7854);  // the defaults: 0 + 2 + 4 + 8 + 160 + 7680

  x.WriteProtect = 5;  // any flag that is not 0 counts as 1
  x.BuildStatusRegister();
  EXPECT_EQ(x.StatusRegister, 7855);

  // The duration keeps to its 4 bits and never reaches the CPU frequency byte.
  x.LowPowerDuration = 0x1F;
  x.BuildStatusRegister();
  EXPECT_EQ(x.StatusRegister, 7855 - 160 + 240);

  TXmt y;
  y.WriteProtect = 1;
  y.CacheMemory = 0;
  y.Fault1High = 0;
  y.Fault2High = 0;
  y.LowPowerDuration = 0;
  y.CpuFrequency = 0;
  y.DecodeCmd194(AnswerBytes{0x1E, 0xAE});
  EXPECT_EQ(y.StatusRegister, 7854);
  EXPECT_EQ((std::array<int, 6>{y.WriteProtect, y.CacheMemory, y.Fault1High, y.Fault2High, y.LowPowerDuration,
                                y.CpuFrequency}),
            (std::array<int, 6>{0, 1, 1, 1, 10, 30}));
  for (int off = TXmtRecord::OffWriteProtect; off <= TXmtRecord::OffFault2High; ++off)
    EXPECT_EQ(y.LiveRecord.GetByte(off), off == TXmtRecord::OffWriteProtect ? 0 : 1);
  y.StatusRegister = 0;
  y.BuildStatusRegister();
  EXPECT_EQ(y.StatusRegister, 7854);

  y.DecodeCmd194(AnswerBytes{0xFF, 0xFF});
  EXPECT_EQ((std::array<int, 7>{y.StatusRegister, y.WriteProtect, y.CacheMemory, y.Fault1High, y.Fault2High,
                                y.LowPowerDuration, y.CpuFrequency}),
            (std::array<int, 7>{0xFFFF, 1, 1, 1, 1, 15, 255}));
}

// Every word the device can send splits into its parts and builds back to itself.
TEST(Xmt, EveryStatusWordRoundTrips) {
  TXmt x;
  for (int w = 0; w <= 0xFFFF; ++w) {
    x.DecodeCmd194(AnswerBytes{w >> 8, w & 0xFF});
    const std::array<int, 4> flags{x.WriteProtect, x.CacheMemory, x.Fault1High, x.Fault2High};
    const std::array<int, 4> record{x.LiveRecord.GetByte(142), x.LiveRecord.GetByte(143), x.LiveRecord.GetByte(144),
                                    x.LiveRecord.GetByte(145)};
    ASSERT_EQ(flags, (std::array<int, 4>{w & 1, (w >> 1) & 1, (w >> 2) & 1, (w >> 3) & 1})) << w;
    ASSERT_EQ(record, flags) << w;
    ASSERT_EQ(x.LowPowerDuration, (w >> 4) & 15) << w;
    ASSERT_EQ(x.CpuFrequency, w >> 8) << w;
    x.StatusRegister = -1;
    x.BuildStatusRegister();
    ASSERT_EQ(x.StatusRegister, w);
  }
}

TEST(Xmt, PollAddressGoesToTheRecord) {
  TXmt x;
  x.SetPollAddress(7);
  EXPECT_EQ(x.PollingAddress, 7);
  EXPECT_EQ(x.LiveRecord.Bytes[27], 7);
}

// ---------------------------------------------------------------------------------------
// Identity answer

namespace {
// An identity answer of the given manufacturer and device type, with device id 01 02 03.
AnswerBytes Identity(int manufacturer, int type, int extra = 0) {
  AnswerBytes a{254, manufacturer, type, 5, 5, 3, 9, 0x2B, 0, 0x01, 0x02, 0x03, 0, 0, 0x12, 0x34};
  a.Zeros(extra);
  return a;
}

struct Names {
  std::string Manufacturer, Model;
};

Names Identify(TXmt& x, int manufacturer, int type) {
  x.DecodeIdentity(Identity(manufacturer, type), 18);
  return {x.ManufacturerName, x.ModelName};
}
}  // namespace

TEST(Identity, FieldsAddressAndRecord) {
  TXmt x;
  int connects = 0;
  x.OnConnect = [&](TObject*) { ++connects; };
  x.LiveRecord.Bytes[26] = 0xEE;
  x.DecodeIdentity(Identity(250, 0x16), 18);

  EXPECT_EQ(x.ManufacturerId, 250);
  EXPECT_EQ(x.DeviceType, 0x16);
  EXPECT_EQ(x.UniversalRevision, 5);
  EXPECT_EQ(x.DeviceRevision, 3);
  EXPECT_EQ(x.SoftwareRevision, 9);
  EXPECT_EQ(x.HardwareRevision, 5);  // 0x2B: bits 7-3
  EXPECT_EQ(x.SignalingCode, 3);     // bits 2-0
  EXPECT_EQ(x.DeviceId, 66051);
  EXPECT_EQ(x.LongAddress, (std::array<Byte, 5>{250, 0x16, 1, 2, 3}));
  EXPECT_EQ(x.ConfigChangeCounter, 0x1234);
  EXPECT_TRUE(x.Is_Ostrel);
  EXPECT_EQ(x.GetConnected(), 1);
  EXPECT_EQ(connects, 1);

  const std::array<Byte, 11> record{250, 0x16, 1, 2, 3, 0, 0, 0x03, 0x02, 0x01, 0};  // bytes 21..31
  EXPECT_TRUE(std::equal(record.begin(), record.end(), x.LiveRecord.Bytes.begin() + 21));

  x.DecodeIdentity(Identity(250, 0x16), 18);  // already connected: no second event
  EXPECT_EQ(connects, 1);
}

TEST(Identity, ConfigChangeCounterOnlyFromAnswersThatHoldIt) {
  struct Case {
    int byteCount;
    std::int32_t counter;
  };
  const Case cases[] = {{14, 77}, {15, 77}, {17, 77}, {18, 0x1234}, {24, 0x1234}};
  for (const Case& c : cases) {
    TXmt x;
    x.ConfigChangeCounter = 77;
    x.DecodeIdentity(Identity(38, 24, 6), c.byteCount);
    EXPECT_EQ(x.ConfigChangeCounter, c.counter) << c.byteCount;
  }
}

TEST(Identity, MakerModelNamesFromTheDeviceType) {
  struct Case {
    int type;
    const char* model;
  };
  const Case cases[] = {
      {0, "RV100"},        {6, "RV100-P"},       {22, "RV210-P"},      {26, "RV210-N"},
      {0x20, "RV-300"},    {0x3C, "RV400QS-T"},  {0x4C, "KRT-...-WLD"}, {0x44, "KRP-...-WLD"},
      {0x48, "KRNV-...-WLD"}, {0x40, ""},        {0x51, "RV510"},      {0x50, "RV520"},
      {0x54, "RV520-P"},   {0x60, "?\?\?(24)"},  {0x70, "?\?\?(28)"},  {0xE1, "?\?\?(24).S-V"},
      {0x91, "RV210.S-V"}, {0x90, "RV210.S"},    {0xC4, "KRP-...-WLD.S"},
  };
  for (const Case& c : cases) {
    TXmt x;
    const Names n = Identify(x, 250, c.type);
    EXPECT_EQ(n.Manufacturer, "Ostrel") << c.type;
    EXPECT_EQ(n.Model, c.model) << c.type;
  }
  const std::pair<int, const char*> privateLabels[] = {{154, "WB7"}, {218, "WB72"}, {203, "WBL7"}};
  for (const auto& [type, model] : privateLabels) {
    TXmt x;
    const Names n = Identify(x, 250, type);
    EXPECT_EQ(n.Manufacturer, "HALVERSTEDT");
    EXPECT_EQ(n.Model, model);
  }
}

TEST(Identity, OtherManufacturersInBothEditions) {
  struct Case {
    TLangue langue;
    int id, type;
    const char* manufacturer;
    const char* model;
  };
  const Case cases[] = {
      {TLangue::Anglais, 38, 24, "Rosemount", "644 Temperature"},
      {TLangue::Anglais, 38, 5, "Rosemount", "N\xB0 5"},
      {TLangue::Anglais, 18, 66, "Fisher & Porter", "PTH Pression"},
      {TLangue::Anglais, 109, 239, "PR Electronics", "PR5335"},
      {TLangue::Anglais, 0, 0, "Reserved", "N\xB0 0"},
      {TLangue::Anglais, 60, 1, "Arcom Control Systems", "N\xB0 1"},
      {TLangue::Anglais, 200, 7, "Unknown(N\xB0 200)", "N\xB0 7"},
      {TLangue::Francais, 200, 7, "Inconnue(N\xB0 200)", "N\xB0 7"},
      {TLangue::Anglais, 61, 255, "Unknown(N\xB0 61)", "N\xB0 255"},
      {TLangue::Francais, 38, 2, "Rosemount", "3044 Temperature"},
  };
  for (const Case& c : cases) {
    TXmt x(c.langue);
    const Names n = Identify(x, c.id, c.type);
    EXPECT_EQ(n.Manufacturer, c.manufacturer) << c.id;
    EXPECT_EQ(n.Model, c.model) << c.id;
    EXPECT_FALSE(x.Is_Ostrel);
  }
}

TEST(Identity, MakerDeviceAfterAnotherManufacturerIsNotUsed) {
  for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    TXmt x(langue);
    Identify(x, 38, 24);
    const Names n = Identify(x, 250, 22);
    EXPECT_EQ(n.Manufacturer, langue == TLangue::Anglais ? "Not Used" : "Non utilis\xE9");
    EXPECT_EQ(n.Model, "N\xB0 22");
    EXPECT_FALSE(x.Is_Ostrel);  // the latch holds for the rest of the run
    EXPECT_EQ(Identify(x, 250, 0).Manufacturer, n.Manufacturer);
  }
}

TEST(Identity, ShortAnswerReadsZeros) {
  TXmt x;
  x.ConfigChangeCounter = 9;
  x.DecodeIdentity(AnswerBytes{254, 38}, 4);
  EXPECT_EQ(x.ManufacturerId, 38);
  EXPECT_EQ(x.DeviceType, 0);
  EXPECT_EQ(x.DeviceId, 0);
  EXPECT_EQ(x.LongAddress, (std::array<Byte, 5>{38, 0, 0, 0, 0}));
  EXPECT_EQ(x.ConfigChangeCounter, 9);
  x.DecodeIdentity({}, 30);  // a byte count beyond the data still reads zeros
  EXPECT_EQ(x.ConfigChangeCounter, 0);
  EXPECT_EQ(x.ManufacturerName, "Reserved");
}

TEST(ManufacturerTable, RowsInOrderAndClosedModelLists) {
  const auto table = ManufacturerTable();
  ASSERT_EQ(table.size(), 62u);
  for (int i = 0; i <= 60; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)].Id, i);
  EXPECT_EQ(table[61].Id, 109);
  EXPECT_STREQ(table[17].Name, "Endress & Hauser");
  EXPECT_STREQ(table[25].Name, "Kay Ray/Sensall");
  EXPECT_STREQ(table[29].Name, "M-System Co.");
  for (const TManufacturer& m : table) {
    ASSERT_FALSE(m.Models.empty());
    EXPECT_EQ(m.Models.back().Code, -1) << m.Name;
    EXPECT_EQ(ModelRowName(m.Models.back(), TLangue::Anglais), "Unknown");
    EXPECT_EQ(ModelRowName(m.Models.back(), TLangue::Francais), "Inconnu");
  }
  EXPECT_EQ(table[38].Models.size(), 6u);
  EXPECT_EQ(ModelRowName(table[38].Models[2], TLangue::Francais), "1151s Pression");
}

// Every row of the table, by id and name, and every model of the three lists; the identity
// decoder names each manufacturer from its row.
TEST(ManufacturerTable, EveryRowNamesItsDevices) {
  const char* const names[] = {
      "Reserved", "Acromag", "Allen Bradley", "Ametek", "Analog Devices", "Bailey", "Beckman",
      "Bell Microsensor", "Bourns", "Bristol Babcock", "Brooks Instrument", "Chessell", "Combustion Engineering",
      "Daniel Industries", "Delta", "Dieterich Standard", "Dohrmann", "Endress & Hauser", "Fisher & Porter",
      "Ficher Controls", "Foxboro", "Fuji", "Hartmann & Braun", "Honeywell", "ITT Barton", "Kay Ray/Sensall", "ABB",
      "Leeds & Northrup", "Leslie", "M-System Co.", "Measurex", "Micro Motion", "Moore Industries", "Moore Products",
      "Ohkura Electric", "Paine", "Rochester Instrument Systems", "Ronan", "Rosemount", "Sarasota Automation",
      "Schlumberger", "Sensall", "Siemens", "Tobar", "Toshiba", "Transmation", "Rosemount Analytical", "Valmet",
      "Valtek", "Varec", "Viatran", "Weed", "Westinghouse", "Xomox", "Yamatake", "Yokogawa", "Nuovo Pignone",
      "Promac", "Exac Corporation", "KDG Mobrey", "Arcom Control Systems", "PR Electronics",
  };
  const auto table = ManufacturerTable();
  ASSERT_EQ(table.size(), std::size(names));
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_STREQ(table[i].Name, names[i]) << "row " << i;
    for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
      TXmt x(langue);
      EXPECT_EQ(Identify(x, table[i].Id, 250).Manufacturer, names[i]) << "id " << table[i].Id;
    }
  }

  struct Model {
    int id, type;
    const char* name;
  };
  const Model models[] = {
      {18, 66, "PTH Pression"},    {38, 1, "3051 Pression"},   {38, 2, "3044 Temperature"},
      {38, 3, "1151s Pression"},   {38, 6, "3051C Pression"},  {38, 24, "644 Temperature"},
      {109, 239, "PR5335"},
  };
  for (const Model& m : models) {
    TXmt x;
    EXPECT_EQ(Identify(x, m.id, m.type).Model, m.name) << m.id << "/" << m.type;
  }
  // A model code belongs to its own manufacturer only.
  for (const auto& [id, type] : {std::pair{38, 66}, std::pair{18, 24}, std::pair{109, 1}, std::pair{17, 239}}) {
    TXmt x;
    EXPECT_EQ(Identify(x, id, type).Model, "N\xB0 " + std::to_string(type)) << id << "/" << type;
  }
}

// The state a fresh model starts from, which a save of an unanswered model shows too.
TEST(Xmt, FreshModelState) {
  TXmt x;
  EXPECT_TRUE(x.Is_Ostrel);
  EXPECT_EQ(x.GetConnected(), 0);
  EXPECT_EQ(x.GetErrorCode(), -1);
  EXPECT_EQ(x.GetErrorMessage(), "");
  EXPECT_EQ(x.Erreur->Level, 0);
  EXPECT_EQ((std::array<int, 7>{x.WriteProtect, x.CacheMemory, x.Fault1High, x.Fault2High, x.LowPowerDuration,
                                x.CpuFrequency, x.StatusRegister}),
            (std::array<int, 7>{0, 1, 1, 1, 10, 30, 0}));
  EXPECT_EQ(x.PVUpperValue, 100.0f);
  EXPECT_EQ(x.PVLowerValue, 0.0f);
  EXPECT_EQ(x.LockState, 255);
  EXPECT_EQ(x.ConfigChangeCounter, 0);
  EXPECT_EQ(x.SelectedInput, 0);
  EXPECT_EQ(x.DeviceClock, 0.0);
  EXPECT_EQ(x.LiveRecord.Bytes, (std::array<Byte, TXmtRecord::Size>{}));
  EXPECT_EQ(x.FileImage.Bytes, (std::array<Byte, TXmtRecord::Size>{}));
  EXPECT_EQ(x.FormatSettings.DecimalSeparator, '.');
  EXPECT_EQ(x.FormatSettings.DateSeparator, '/');
  EXPECT_EQ(x.FormatSettings.ShortDateFormat, "DD/MM/YYYY");
}
