// Answer handling: connection match, response-code messages, dispatch to the model's decoders.

#include <cstdio>
#include <initializer_list>

#include "comm/HART.h"
#include "model/XmtAnswer.h"

namespace {

bool OneOf(int command, std::initializer_list<int> commands) {
  for (int c : commands)
    if (c == command) return true;
  return false;
}

// Upper-case hexadecimal with at least two digits.
std::string Hex(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

void TCustomHART::HandleResponse(TXmt& xmt) {
  if (AnswerIsLong == 1 && AnswerDeviceId == xmt.DeviceId) xmt.SetConnected(1);
  if (AnswerFrameType == 6 && (ResponseCode & 0x80) == 0) {
    if (CheckResponseCode(xmt)) {
      DecodeResponse(xmt);
    } else if (AnswerCommand == ExpectedCommand) {
      RequestRefused = true;
    }
  }
}

bool TCustomHART::CheckResponseCode(TXmt& xmt) {
  xmt.DeviceStatus = DeviceStatusByte;
  if (ResponseCode == 0) {
    xmt.ReportError("", +10, 0);
    return true;
  }
  xmt.ReportError(ResponseCodeMessage(ResponseCode, AnswerCommand), +10, ResponseCode);
  return false;
}

std::string TCustomHART::ResponseCodeMessage(int code, int command) const {
  const TLangue l = Langue;
  const std::string deviceError = std::string(Texte(l, "Device error n\xB0", "Erreur appareil n\xB0")) + Hex(code);
  const char* multidrop = Texte(l, "Access denied in multidrop mode", "Acc\xE8s refus\xE9 en mode multipoint");
  const char* outOfLimit = Texte(l, "Passed parameters out of limit", "Param\xE8tres transmis hors limites");
  const bool range = OneOf(command, {35, 65});
  const bool applied = OneOf(command, {36, 37, 43, 52});
  const bool alarm = OneOf(command, {211, 212});
  switch (code) {
    case 2: return Texte(l, "Invalid selection", "S\xE9lection invalide");
    case 3: return Texte(l, "Passed parameter too large", "Param\xE8tre transmis trop grand");
    case 4: return Texte(l, "Passed parameter too small", "Param\xE8tre transmis trop petit");
    case 5: return Texte(l, "Too few parameters", "Trop peu de param\xE8tres");
    case 6:
      if (command == 136) return Texte(l, "Warning range updated", "Avertissement : plage mise \xE0 jour");
      return deviceError;
    case 7: return Texte(l, "Write protected", "Prot\xE9g\xE9 en \xE9" "criture");
    case 9:
      if (range) return Texte(l, "Lower range value too high", "Valeur basse d'\xE9" "chelle trop haute");
      if (applied) return Texte(l, "Applied process too high", "Valeur de process appliqu\xE9" "e trop haute");
      if (OneOf(command, {45, 46, 67, 68, 131, 132})) return multidrop;
      if (alarm) return Texte(l, "Alarm set point too high", "Seuil d'alarme trop haut");
      return deviceError;
    case 10:
      if (range) return Texte(l, "Lower range value too low", "Valeur basse d'\xE9" "chelle trop basse");
      if (applied) return Texte(l, "Applied process too low", "Valeur de process appliqu\xE9" "e trop basse");
      if (alarm) return Texte(l, "Alarm set point too low", "Seuil d'alarme trop bas");
      return deviceError;
    case 11:
      if (range) return Texte(l, "Upper range value too high", "Valeur haute d'\xE9" "chelle trop haute");
      if (OneOf(command, {40, 45, 46, 66, 67, 68})) return multidrop;
      if (alarm) return Texte(l, "Alarm hysteresis too high", "Hyst\xE9r\xE9sis d'alarme trop grande");
      return deviceError;
    case 12:
      if (range) return Texte(l, "Upper range value too low", "Valeur haute d'\xE9" "chelle trop basse");
      if (alarm) return Texte(l, "Alarm hysteresis too low", "Hyst\xE9r\xE9sis d'alarme trop petite");
      return deviceError;
    case 13:
      if (OneOf(command, {35, 65, 134, 135})) return outOfLimit;
      return deviceError;
    case 14:
      if (OneOf(command, {35, 36, 65})) return Texte(l, "Span too small", "\xC9" "tendue trop petite");
      return deviceError;
    case 16: return Texte(l, "Access denied", "Acc\xE8s refus\xE9");
    case 20:
      if (alarm) return outOfLimit;
      return deviceError;
    case 32: return Texte(l, "Device busy", "Appareil occup\xE9");
    case 64:
      return std::string(Texte(l, "Unknown command (", "Commande inconnue (")) + Hex(command) + ")";
    default:
      return std::string(Texte(l, "Device specific error n\xB0", "Erreur sp\xE9" "cifique de l'appareil n\xB0")) +
             Hex(code);
  }
}

void TCustomHART::DecodeResponse(TXmt& xmt) {
  LastCommand = AnswerCommand;
  const TAnswerData data = AnswerData();
  switch (AnswerCommand) {
    case 0:
    case 11:
    case 21:
    case 128:
      xmt.DecodeIdentity(data, AnswerByteCount);
      xmt.SetPollAddress(PollingAddress);
      break;
    case 6:
      PollingAddress = answer::At(data, 0);
      xmt.SetPollAddress(PollingAddress);
      break;
    case 1: xmt.DecodeCmd1(data); break;
    case 2: xmt.DecodeCmd2(data); break;
    case 3: xmt.DecodeCmd3(data); break;
    case 12: case 17: xmt.DecodeCmd12(data); break;
    case 13: case 18: xmt.DecodeCmd13(data); break;
    case 14: xmt.DecodeCmd14(data); break;
    case 15: xmt.DecodeCmd15(data); break;
    case 16: case 19: xmt.DecodeCmd16(data); break;
    case 41: xmt.DecodeCmd41(data); break;
    case 44: xmt.DecodeCmd44(data); break;
    case 47: xmt.DecodeCmd47(data); break;
    case 48: xmt.DecodeCmd48(data, AnswerByteCount); break;
    case 89: xmt.DecodeCmd89(data); break;
    case 90: xmt.DecodeCmd90(data); break;
    case 136: case 137: xmt.DecodeCmd136(data); break;
    case 140: xmt.DecodeCmd140(data); break;
    case 143: case 144: xmt.DecodeCmd143(data); break;
    case 189: xmt.DecodeCmd189(data); break;
    case 190: xmt.DecodeCmd190(data); break;
    case 191: xmt.DecodeCmd191(data); break;
    case 192: case 193: xmt.DecodeCmd192(data); break;
    case 194: case 195: xmt.DecodeCmd194(data); break;
    case 196: xmt.DecodeCmd196(data); break;
    case 197: case 198: xmt.DecodeCmd197(data); break;
    case 200: xmt.DecodeCmd200(data); break;
    case 202: xmt.DecodeCmd202(data); break;
    case 204: xmt.DecodeCmd204(data); break;
    case 205: xmt.DecodeCmd205(data); break;
    case 206: xmt.DecodeCmd206(data); break;
    case 208: xmt.DecodeCmd208(data); break;
    case 210: xmt.DecodeCmd210(data); break;
    case 211: case 212: xmt.DecodeCmd211(data); break;
    case 213: case 214: xmt.DecodeCmd213(data); break;
    default: break;  // the caller reacts to LastCommand alone
  }
}
