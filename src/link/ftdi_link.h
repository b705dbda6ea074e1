// The serial link through the driver library, loaded at run time: opening
// the first converter at 57,600 baud, 8N1, and exchanging length-prefixed
// frames with the handheld.
#pragma once

#include <cstdint>

#include "link/d2xx_functions.h"
#include "link/serial_frames.h"
#include "platform/platform.h"

namespace trelvan {

constexpr char kFtdiLibraryName[] = "Ftd2xx.dll";
constexpr uint32_t kFtdiBaudRate = 57600;
constexpr uint32_t kFtdiTimeoutMs = 5000;

class CFtdiUsb {
 public:
  virtual ~CFtdiUsb() = default;

  void* library = nullptr;
#define TRELVAN_D2XX_POINTER(name, parameters) FtStatus(TRELVAN_LIBRARY_CALL* name) parameters = nullptr;
  TRELVAN_D2XX_FUNCTIONS(TRELVAN_D2XX_POINTER)
#undef TRELVAN_D2XX_POINTER
  uint32_t libraryReady = 0;  /**< 1 when all 12 functions were found */
  uint32_t deviceOpened = 0;  /**< 1 once an open was tried for the present device */
  int32_t deviceCount = 0;    /**< devices listed at the last poll; -1 when listing failed */
  FtHandle handle = nullptr;
  SerialFrame frame{};
};

// Loads the library and fetches the functions in order; the first one
// missing is named in a message box. A missing library is silent.
void FtdiLoadLibrary(CFtdiUsb& f, Platform& p);
// Opens and sets up device 0; 1 on success.
int FtdiOpen(CFtdiUsb& f);
// Lists the devices, opens one when needed and reads the waiting bytes: the
// length of a frame they complete, else 0.
int FtdiPoll(CFtdiUsb& f, Platform& p);
uint32_t FtdiCopyFrame(const CFtdiUsb& f, uint8_t* out);
// 1 when all bytes were written.
int FtdiWrite(CFtdiUsb& f, const uint8_t* bytes, uint32_t length);

}  // namespace trelvan
