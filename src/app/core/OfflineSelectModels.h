#pragma once

// The transmitter models that offline mode can simulate, in the order the choice lists them.

#include <cstdint>
#include <span>

struct TOfflineModel {
  const char* Name;
  std::uint8_t DeviceType;  // what the model's TXmt.DeviceType becomes
  bool TakesPV;             // the PV bar's position becomes the model's PV
  bool SetsPVRange;         // the PV bar takes the range below when the model is chosen
  int PVMin, PVMax, PVTickFrequency;
};

std::span<const TOfflineModel> OfflineModels();
// The row of a list index; null outside the list (-1: nothing chosen).
const TOfflineModel* OfflineModelAt(int index);
