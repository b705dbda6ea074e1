#include "platform/linux/hidapi_hid.h"

#include <hidapi.h>

namespace trelvan {

namespace {
// hidraw does not tell the report lengths; the handheld's reports are a
// report id and 64 bytes each way.
constexpr uint16_t kReportLength = 65;
}  // namespace

HidapiHid::~HidapiHid() { Close(); }

bool HidapiHid::Open(uint16_t vendor, uint16_t product, uint16_t* inputReportLength,
                     uint16_t* outputReportLength) {
  Close();
  if (hid_init() != 0) return false;
  hid_device_info* list = hid_enumerate(vendor, product);
  for (hid_device_info* d = list; d && !device_; d = d->next) {
    if (d->vendor_id == vendor && d->product_id == product) device_ = hid_open_path(d->path);
  }
  hid_free_enumeration(list);
  if (!device_) return false;
  *inputReportLength = kReportLength;
  *outputReportLength = kReportLength;
  return true;
}

HidWait HidapiHid::Write(const uint8_t* report, uint16_t length, uint32_t) {
  if (!device_) return kHidFailed;
  return hid_write(device_, report, length) < 0 ? kHidFailed : kHidDone;
}

HidWait HidapiHid::Read(uint8_t* report, uint16_t length, uint32_t waitMs) {
  if (!device_ || length < 1) return kHidFailed;
  // hidapi leaves out the id of an unnumbered report: put it back in front.
  report[0] = 0;
  const int n = hid_read_timeout(device_, report + 1, length - 1u, static_cast<int>(waitMs));
  if (n < 0) return kHidFailed;
  return n == 0 ? kHidTimedOut : kHidDone;
}

void HidapiHid::Close() {
  if (device_) hid_close(device_);
  device_ = nullptr;
}

}  // namespace trelvan
