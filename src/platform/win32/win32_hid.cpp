#include "platform/win32/win32_hid.h"

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <cstdlib>

namespace trelvan {

namespace {

// The first present HID interface with these ids, opened for overlapped
// reading and writing; INVALID_HANDLE_VALUE when none.
HANDLE FindDevice(uint16_t vendor, uint16_t product) {
  GUID guid;
  HidD_GetHidGuid(&guid);
  HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
  HANDLE found = INVALID_HANDLE_VALUE;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD i = 0; found == INVALID_HANDLE_VALUE &&
                    SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data);
       ++i) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(std::malloc(size));
    if (!detail) continue;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) {
      HANDLE h = CreateFileW(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        HIDD_ATTRIBUTES a{};
        a.Size = sizeof a;
        if (HidD_GetAttributes(h, &a) && a.VendorID == vendor && a.ProductID == product) {
          found = h;
        } else {
          CloseHandle(h);
        }
      }
    }
    std::free(detail);
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

}  // namespace

bool Win32Hid::Open(uint16_t vendor, uint16_t product, uint16_t* inputReportLength,
                    uint16_t* outputReportLength) {
  Close();
  device_ = FindDevice(vendor, product);
  if (device_ == INVALID_HANDLE_VALUE) return false;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  HIDP_CAPS caps{};
  if (HidD_GetPreparsedData(device_, &preparsed)) {
    HidP_GetCaps(preparsed, &caps);
    HidD_FreePreparsedData(preparsed);
  }
  *inputReportLength = caps.InputReportByteLength;
  *outputReportLength = caps.OutputReportByteLength;
  event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = event_;
  return true;
}

HidWait Win32Hid::Wait(BOOL started, uint32_t waitMs) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return kHidFailed;
  const DWORD r = WaitForSingleObject(event_, waitMs);
  if (r == WAIT_OBJECT_0) return kHidDone;
  if (r == WAIT_TIMEOUT || r == WAIT_ABANDONED) return kHidTimedOut;
  return kHidFailed;
}

HidWait Win32Hid::Write(const uint8_t* report, uint16_t length, uint32_t waitMs) {
  if (device_ == INVALID_HANDLE_VALUE) return kHidFailed;
  ResetEvent(event_);
  return Wait(WriteFile(device_, report, length, nullptr, &overlapped_), waitMs);
}

HidWait Win32Hid::Read(uint8_t* report, uint16_t length, uint32_t waitMs) {
  if (device_ == INVALID_HANDLE_VALUE) return kHidFailed;
  ResetEvent(event_);
  return Wait(ReadFile(device_, report, length, nullptr, &overlapped_), waitMs);
}

void Win32Hid::Cancel() {
  if (device_ != INVALID_HANDLE_VALUE) CancelIo(device_);
}

void Win32Hid::Close() {
  if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
  if (event_) CloseHandle(event_);
  device_ = INVALID_HANDLE_VALUE;
  event_ = nullptr;
}

}  // namespace trelvan
