#include "app/core/StatusXTValues.h"

#include "app/core/DisplayFormat.h"

TStatusNumbersCheck CheckStatusNumbers(const std::string& lowPowerDuration, const std::string& cpuFrequency) {
  TStatusNumbersCheck check;
  const std::optional<std::int32_t> lowPower = StrToInt(lowPowerDuration);
  if (!lowPower) {
    check.Result = TStatusNumbersResult::NotANumber;
    check.BadText = lowPowerDuration;
    return check;
  }
  const std::optional<std::int32_t> cpu = StrToInt(cpuFrequency);
  if (!cpu) {
    check.Result = TStatusNumbersResult::NotANumber;
    check.BadText = cpuFrequency;
    return check;
  }
  if (*lowPower < 0 || *lowPower > MaxLowPowerDuration || *cpu < 0 || *cpu > MaxCpuFrequency) {
    check.Result = TStatusNumbersResult::OutOfRange;
    return check;
  }
  check.LowPowerDuration = static_cast<std::uint8_t>(*lowPower);
  check.CpuFrequency = static_cast<std::uint8_t>(*cpu);
  return check;
}
