// The HID service on Linux: hidapi's hidraw backend. Reports keep the
// Windows layout (byte 0 the report id) both ways.
#pragma once

#include "platform/hid.h"

struct hid_device_;

namespace trelvan {

class HidapiHid : public Hid {
 public:
  ~HidapiHid() override;
  bool Open(uint16_t vendor, uint16_t product, uint16_t* inputReportLength,
            uint16_t* outputReportLength) override;
  HidWait Write(const uint8_t* report, uint16_t length, uint32_t waitMs) override;
  HidWait Read(uint8_t* report, uint16_t length, uint32_t waitMs) override;
  void Cancel() override {}
  void Close() override;

 private:
  hid_device_* device_ = nullptr;
};

}  // namespace trelvan
