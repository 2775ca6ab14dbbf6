#pragma once

// HID devices behind a small interface, so that the USB units carry no platform code. The
// back-end built here uses hidapi (hidraw); the tests use an in-process fake modem.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One open HID device. Reads and writes happen on one thread at a time.
class HidDevice {
public:
  virtual ~HidDevice() = default;

  // The device's strings; false when it does not give them.
  virtual bool GetManufacturerString(std::wstring& s) = 0;
  virtual bool GetProductString(std::wstring& s) = 0;
  virtual bool GetSerialNumberString(std::wstring& s) = 0;
  // Input and output report lengths in bytes, report id included; false when the device
  // does not say.
  virtual bool GetReportLengths(int& input, int& output) = 0;

  // Waits at most timeoutMs for one input report and stores it in buf with the report id in
  // byte 0. Gives its length, 0 when none came in time, -1 when the device failed or is gone.
  virtual int ReadReport(std::uint8_t* buf, int len, int timeoutMs) = 0;
  // Writes one output report (report id in byte 0); gives the bytes written, -1 on failure.
  virtual int WriteReport(const std::uint8_t* buf, int len) = 0;
};

class HidBackend {
public:
  virtual ~HidBackend() = default;

  // Paths of the devices with these ids; with includeAbsent also those that are registered
  // but not plugged in, where the platform knows them.
  virtual std::vector<std::string> Enumerate(std::uint16_t vendorId, std::uint16_t productId, bool includeAbsent) = 0;
  // Opens the device at path; null when it does not open (absent, or not permitted).
  virtual std::unique_ptr<HidDevice> OpenPath(const std::string& path) = 0;
};

// The hidapi (hidraw) back-end.
std::shared_ptr<HidBackend> MakeHidBackend();
