#pragma once

// The thermal drift correction: the zero and gain coefficients a transmitter needs so that
// readings taken at the adjustment temperature Ta and at the oven temperature Te agree, the
// two preset sets, and the way the coefficients are written on screen.

#include <array>
#include <optional>
#include <string>

#include "model/Format.h"

// One group of readings and coefficients (the acquisition, or the output current).
struct TDriftGroup {
  float Za = 0;   // zero reading at Ta
  float PEa = 0;  // full-scale reading at Ta
  float Ze = 0;   // zero reading at Te
  float PEe = 0;  // full-scale reading at Te
  float Z = 0;    // zero coefficient read from the transmitter
  float G = 0;    // gain coefficient read from the transmitter
  float Zc = 0;   // computed zero coefficient
  float Gc = 0;   // computed gain coefficient
};

// What a coefficient of 0 in the transmitter gives, and what stands for an infinite one.
constexpr float DriftNoCoefficient = 0.001f;         // bits 0x3A83126F
constexpr float DriftInfiniteCoefficient = 1.0e38f;  // bits 0x7E967699

// The ten fields of the window, in this order: Ta, Te, then zero at Ta, zero at Te, full
// scale at Ta, full scale at Te of the acquisition, then the same four of the output.
// Their masks hold a fixed ',' as the decimal separator.
using TDriftTexts = std::array<std::string, 10>;
struct TDriftReadings {
  float Ta = 0;
  float Te = 0;
  TDriftGroup Acq;  // Za, PEa, Ze, PEe only
  TDriftGroup Out;
};
// Empty when a field is not a number; badField then tells which (0..9).
std::optional<TDriftReadings> ReadDriftFields(const TDriftTexts& texts, int* badField = nullptr);

// g: the ratio of the spans at Ta and at Te, (PEa - Za) / (PEe - Ze).
double DriftSpanRatio(const TDriftGroup& group);
// The corrected gain from the transmitter's gain g0, and the corrected zero from its zero
// z0, for a temperature difference dT and the span ratio g. The quantities the device keeps
// as singles are rounded to single precision, the rest runs in extended precision. NaN when
// an intermediate single overflows.
float DriftGain(float g0, float dT, double g);
float DriftZero(float z0, float dT, double g, float PEa, float PEe);

// Zc and Gc of both groups from the readings and the transmitter's Z and G, which the
// groups carry in. Empty, nothing computed, when the temperatures are equal, when a group's
// full-scale and zero readings are equal at either temperature, or when a coefficient
// would not be a finite number.
struct TDriftResult {
  float dT = 0;
  TDriftGroup Acq;
  TDriftGroup Out;
};
std::optional<TDriftResult> ComputeDrift(float Ta, float Te, const TDriftGroup& acq, const TDriftGroup& out);

// The computed coefficients a preset gives: acquisition zero and gain, output zero and
// gain. Empty for no preset.
enum class TDriftPreset { None, AD293, LT2078 };
std::optional<std::array<float, 4>> DriftPresetCoefficients(TDriftPreset preset);

// A coefficient as the window shows it, "0.000 E-00": one digit, three decimals, a blank,
// "E" and the exponent with at least two digits and a sign only when negative, with the
// given decimal separator. Halves of the fourth significant digit round away from zero.
std::string DriftCoefficientText(float value, const TFormatSettings& fs);
