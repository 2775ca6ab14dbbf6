#include "app/core/DeriveDrift.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/core/DisplayFormat.h"

std::optional<TDriftReadings> ReadDriftFields(const TDriftTexts& texts, int* badField) {
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  std::array<float, 10> v{};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto value = StrToFloat(texts[i], comma);
    if (!value) {
      if (badField) *badField = static_cast<int>(i);
      return std::nullopt;
    }
    v[i] = static_cast<float>(*value);
  }
  TDriftReadings r;
  r.Ta = v[0];
  r.Te = v[1];
  r.Acq.Za = v[2];
  r.Acq.Ze = v[3];
  r.Acq.PEa = v[4];
  r.Acq.PEe = v[5];
  r.Out.Za = v[6];
  r.Out.Ze = v[7];
  r.Out.PEa = v[8];
  r.Out.PEe = v[9];
  return r;
}

namespace {

// An intermediate that does not fit a single makes the coefficient meaningless.
constexpr float Overflow = std::numeric_limits<float>::quiet_NaN();

}  // namespace

double DriftSpanRatio(const TDriftGroup& group) {
  const long double span = static_cast<long double>(group.PEe) - group.Ze;
  return static_cast<double>((static_cast<long double>(group.PEa) - group.Za) / span);
}

float DriftGain(float g0, float dT, double g) {
  if (g0 == 0) return DriftNoCoefficient;
  const float a = static_cast<float>(2.0L / g0);
  const float l = static_cast<float>((1.0L - (1.0L - static_cast<long double>(dT) * a) * g) / dT);
  if (!std::isfinite(a) || !std::isfinite(l)) return Overflow;
  return l == 0 ? DriftInfiniteCoefficient : static_cast<float>(2.0L / l);
}

// The zero uses the full-scale readings, as the device's correction expects.
float DriftZero(float z0, float dT, double g, float PEa, float PEe) {
  if (z0 == 0) return DriftNoCoefficient;
  const float b = static_cast<float>(2.0L / z0);
  const float l = static_cast<float>(((static_cast<long double>(dT) * b + PEe) * g - PEa) / dT);
  if (!std::isfinite(b) || !std::isfinite(l)) return Overflow;
  return l == 0 ? DriftInfiniteCoefficient : static_cast<float>(2.0L / l);
}

namespace {

bool Compute(TDriftGroup& group, float dT) {
  if (group.PEa == group.Za || group.PEe == group.Ze) return false;
  const double g = DriftSpanRatio(group);
  group.Gc = DriftGain(group.G, dT, g);
  group.Zc = DriftZero(group.Z, dT, g, group.PEa, group.PEe);
  return std::isfinite(group.Gc) && std::isfinite(group.Zc);
}

}  // namespace

std::optional<TDriftResult> ComputeDrift(float Ta, float Te, const TDriftGroup& acq, const TDriftGroup& out) {
  TDriftResult r;
  r.dT = static_cast<float>(static_cast<long double>(Te) - Ta);
  if (r.dT == 0 || !std::isfinite(r.dT)) return std::nullopt;
  r.Acq = acq;
  r.Out = out;
  if (!Compute(r.Acq, r.dT) || !Compute(r.Out, r.dT)) return std::nullopt;
  return r;
}

std::optional<std::array<float, 4>> DriftPresetCoefficients(TDriftPreset preset) {
  switch (preset) {
    case TDriftPreset::AD293: return std::array<float, 4>{1500.0f, 100000.0f, DriftInfiniteCoefficient, -80000.0f};
    case TDriftPreset::LT2078: return std::array<float, 4>{400.0f, 11210.0f, 6000.0f, -41000.0f};
    case TDriftPreset::None: break;
  }
  return std::nullopt;
}

std::string DriftCoefficientText(float value, const TFormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // 18 significant digits of the exact value, then the fourth one rounded half away from zero.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17e", static_cast<double>(std::fabs(value)));
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  int exponent = std::atoi(p + 1);
  int mantissa = std::atoi(digits.substr(0, 4).c_str());
  if (digits[4] >= '5') ++mantissa;
  if (mantissa >= 10000) {
    mantissa /= 10;
    ++exponent;
  }
  if (value == 0) exponent = 0;
  std::string text = value < 0 ? "-" : "";
  text += static_cast<char>('0' + mantissa / 1000);
  text += fs.DecimalSeparator;
  const std::string fraction = std::to_string(mantissa % 1000);
  text += std::string(3 - fraction.size(), '0') + fraction;
  text += " E";
  if (exponent < 0) text += '-';
  const std::string e = std::to_string(std::abs(exponent));
  text += e.size() < 2 ? "0" + e : e;
  return text;
}
