#include "comm/HidBackend.h"

#include <hidapi.h>

#include <mutex>

namespace {

// hidapi keeps its last global error in one static string that enumeration and open rewrite;
// those calls are made one at a time.
std::mutex& LibraryMutex() {
  static std::mutex m;
  return m;
}

class HidapiDevice : public HidDevice {
public:
  explicit HidapiDevice(hid_device* dev) : dev_(dev) {}
  ~HidapiDevice() override { hid_close(dev_); }

  bool GetManufacturerString(std::wstring& s) override { return Text(hid_get_manufacturer_string, s); }
  bool GetProductString(std::wstring& s) override { return Text(hid_get_product_string, s); }
  bool GetSerialNumberString(std::wstring& s) override { return Text(hid_get_serial_number_string, s); }

  // This hidapi gives no report descriptor: the caller takes the modem's lengths.
  bool GetReportLengths(int&, int&) override { return false; }

  int ReadReport(std::uint8_t* buf, int len, int timeoutMs) override {
    if (len < 2) return -1;
    // The modem's reports are not numbered: hidapi gives the bytes after the id.
    buf[0] = 0;
    const int r = hid_read_timeout(dev_, buf + 1, static_cast<size_t>(len - 1), timeoutMs);
    if (r < 0) return -1;
    return r == 0 ? 0 : r + 1;
  }

  int WriteReport(const std::uint8_t* buf, int len) override {
    const int r = hid_write(dev_, buf, static_cast<size_t>(len));
    return r < 0 ? -1 : r;
  }

private:
  bool Text(int (*get)(hid_device*, wchar_t*, size_t), std::wstring& s) {
    wchar_t buf[257] = {};
    if (get(dev_, buf, 257) != 0) return false;
    s = buf;
    return true;
  }

  hid_device* dev_;
};

class HidapiBackend : public HidBackend {
public:
  // hidraw lists the devices that are present only.
  std::vector<std::string> Enumerate(std::uint16_t vendorId, std::uint16_t productId, bool) override {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    std::vector<std::string> paths;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = list; d != nullptr; d = d->next)
      if (d->path != nullptr && d->vendor_id == vendorId && d->product_id == productId) paths.emplace_back(d->path);
    hid_free_enumeration(list);
    return paths;
  }

  std::unique_ptr<HidDevice> OpenPath(const std::string& path) override {
    if (path.empty()) return nullptr;
    std::lock_guard<std::mutex> lock(LibraryMutex());
    hid_device* dev = hid_open_path(path.c_str());
    if (dev == nullptr) return nullptr;
    return std::make_unique<HidapiDevice>(dev);
  }
};

}  // namespace

std::shared_ptr<HidBackend> MakeHidBackend() { return std::make_shared<HidapiBackend>(); }
