// The 12 functions of the serial driver library the link uses, as one list
// in the order they are fetched: the loader and the stand-in library both
// expand it. X(name, parameters) with the parameters' types.
#pragma once

#include <cstdint>

#include "platform/library_call.h"

namespace trelvan {

using FtStatus = uint32_t;  // 0 (FT_OK) is success
using FtHandle = void*;
constexpr FtStatus kFtOk = 0;
constexpr uint32_t kFtListNumberOnly = 0x80000000;  // FT_ListDevices: the number of devices
constexpr uint32_t kFtPurgeReceive = 1;
constexpr uint32_t kFtPurgeTransmit = 2;

#define TRELVAN_D2XX_FUNCTIONS(X)                                      \
  X(FT_Write, (FtHandle, void*, uint32_t, uint32_t*))                  \
  X(FT_Read, (FtHandle, void*, uint32_t, uint32_t*))                   \
  X(FT_Open, (int, FtHandle*))                                         \
  X(FT_OpenEx, (void*, uint32_t, FtHandle*))                           \
  X(FT_ListDevices, (void*, void*, uint32_t))                          \
  X(FT_Close, (FtHandle))                                              \
  X(FT_ResetDevice, (FtHandle))                                        \
  X(FT_Purge, (FtHandle, uint32_t))                                    \
  X(FT_SetTimeouts, (FtHandle, uint32_t, uint32_t))                    \
  X(FT_GetQueueStatus, (FtHandle, uint32_t*))                          \
  X(FT_SetBaudRate, (FtHandle, uint32_t))                              \
  X(FT_SetDataCharacteristics, (FtHandle, uint8_t, uint8_t, uint8_t))

}  // namespace trelvan
