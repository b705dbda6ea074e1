// The HID service: the one handheld device, found by vendor and product id,
// moving one report at a time with a bounded wait.
#pragma once

#include <cstdint>

namespace trelvan {

// How a report transfer ended.
enum HidWait : int {
  kHidDone = 0,       /**< completed within the wait */
  kHidTimedOut = 1,   /**< the wait ran out (or was abandoned): the transfer is still pending */
  kHidFailed = 2,     /**< the transfer could not start or failed */
};

class Hid {
 public:
  virtual ~Hid() = default;

  // Finds and opens the first present device with these ids and reads its
  // report lengths; false when none is present.
  virtual bool Open(uint16_t vendor, uint16_t product, uint16_t* inputReportLength,
                    uint16_t* outputReportLength) = 0;
  // Writes an output report of `length` bytes, waiting up to `waitMs`.
  virtual HidWait Write(const uint8_t* report, uint16_t length, uint32_t waitMs) = 0;
  // Reads an input report of `length` bytes, waiting up to `waitMs`.
  virtual HidWait Read(uint8_t* report, uint16_t length, uint32_t waitMs) = 0;
  // Cancels the pending transfer on the device.
  virtual void Cancel() = 0;
  virtual void Close() = 0;
};

}  // namespace trelvan
