// The HID service on Windows: SetupAPI finds the device interface, HID
// reads its attributes and capabilities, and reports move by overlapped
// file I/O with one manual-reset event.
#pragma once

#include "platform/hid.h"
#include "platform/win32/win32_windows.h"

namespace trelvan {

class Win32Hid : public Hid {
 public:
  ~Win32Hid() override { Close(); }
  bool Open(uint16_t vendor, uint16_t product, uint16_t* inputReportLength,
            uint16_t* outputReportLength) override;
  HidWait Write(const uint8_t* report, uint16_t length, uint32_t waitMs) override;
  HidWait Read(uint8_t* report, uint16_t length, uint32_t waitMs) override;
  void Cancel() override;
  void Close() override;

 private:
  HidWait Wait(BOOL started, uint32_t waitMs);
  HANDLE device_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  OVERLAPPED overlapped_{};
};

}  // namespace trelvan
