# Shared by the mingw-w64 toolchain files; TRELVAN_MINGW_TRIPLE is set by
# the including file. The compiler variant with the win32 thread model is
# taken when it exists (no winpthread to link), else the posix one, else the
# plain name.
set(CMAKE_SYSTEM_NAME Windows)
if(TRELVAN_MINGW_TRIPLE MATCHES "^i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
else()
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()

foreach(variant -win32 -posix "")
  if(EXISTS /usr/bin/${TRELVAN_MINGW_TRIPLE}-g++${variant})
    set(CMAKE_CXX_COMPILER /usr/bin/${TRELVAN_MINGW_TRIPLE}-g++${variant})
    set(CMAKE_C_COMPILER /usr/bin/${TRELVAN_MINGW_TRIPLE}-gcc${variant})
    break()
  endif()
endforeach()
set(CMAKE_RC_COMPILER /usr/bin/${TRELVAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRELVAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in: the program is one file with no DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
