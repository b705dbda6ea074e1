# Cross-compiling the 32-bit Windows program with Debian's mingw-w64 (i686).
set(TRELVAN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
