# Cross-compiling the 64-bit Windows program with Debian's mingw-w64
# (x86_64); it exists so the Windows layer can run under Wine here.
set(TRELVAN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
