#include "link/ftdi_link.h"

#include <cstring>

namespace trelvan {

void FtdiLoadLibrary(CFtdiUsb& f, Platform& p) {
  if (f.libraryReady) return;
  f.library = p.libraries.Load(kFtdiLibraryName);
  if (!f.library) return;
#define TRELVAN_D2XX_FETCH(name, parameters)                                          \
  f.name = reinterpret_cast<decltype(f.name)>(p.libraries.Function(f.library, #name)); \
  if (!f.name) {                                                                      \
    p.window.ShowMessageBox("Error: Can't Find " #name);                              \
    return;                                                                           \
  }
  TRELVAN_D2XX_FUNCTIONS(TRELVAN_D2XX_FETCH)
#undef TRELVAN_D2XX_FETCH
  f.libraryReady = 1;
}

int FtdiOpen(CFtdiUsb& f) {
  if (f.FT_Open(0, &f.handle) != kFtOk || f.FT_ResetDevice(f.handle) != kFtOk ||
      f.FT_Purge(f.handle, kFtPurgeTransmit) != kFtOk ||
      f.FT_Purge(f.handle, kFtPurgeReceive) != kFtOk ||
      f.FT_SetBaudRate(f.handle, kFtdiBaudRate) != kFtOk ||
      f.FT_SetDataCharacteristics(f.handle, 8, 0, 0) != kFtOk ||
      f.FT_SetTimeouts(f.handle, kFtdiTimeoutMs, kFtdiTimeoutMs) != kFtOk) {
    return 0;
  }
  f.frame.frameIndex = 0;
  return 1;
}

int FtdiPoll(CFtdiUsb& f, Platform& p) {
  if (!f.libraryReady) return 0;
  uint32_t count = 0;
  if (f.FT_ListDevices(&count, nullptr, kFtListNumberOnly) == kFtOk) {
    if (count == 0) f.deviceOpened = 0;
    f.deviceCount = static_cast<int32_t>(count);
  } else {
    f.deviceCount = -1;
  }
  if (f.deviceCount < 1) return 0;
  if (!f.deviceOpened) {
    FtdiOpen(f);
    f.deviceOpened = 1;
  }
  uint32_t waiting = 0;
  if (f.FT_GetQueueStatus(f.handle, &waiting) != kFtOk) {
    FtdiOpen(f);
    return 0;
  }
  if (waiting == 0) return 0;
  uint8_t bytes[kSerialReadCapacity];
  const uint32_t wanted = waiting < sizeof bytes ? waiting : sizeof bytes;
  uint32_t read = 0;
  if (f.FT_Read(f.handle, bytes, wanted, &read) != kFtOk) return 0;
  if (read > wanted) read = wanted;
  if (read < wanted) p.window.ShowMessageBox("ERROR - \tBytesReceived != BytesRead\n");
  return static_cast<int>(AppendSerialBytes(f.frame, bytes, read));
}

uint32_t FtdiCopyFrame(const CFtdiUsb& f, uint8_t* out) { return CopySerialFrame(f.frame, out); }

int FtdiWrite(CFtdiUsb& f, const uint8_t* bytes, uint32_t length) {
  if (!f.libraryReady) return 0;
  uint8_t copy[kSerialFrameCapacity + 1];
  if (length > sizeof copy) return 0;
  std::memcpy(copy, bytes, length);
  uint32_t written = 0;
  return f.FT_Write(f.handle, copy, length, &written) == kFtOk && written == length ? 1 : 0;
}

}  // namespace trelvan
