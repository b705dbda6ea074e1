# stb_image (Debian's header-only libstb-dev) decodes PNG and JPEG pictures
# in one file of the core, for Linux and both mingw builds alike; its own
# code is compiled without our warnings.
find_path(TRELVAN_STB_DIR stb_image.h PATHS /usr/include/stb NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TRELVAN_STB_DIR)
  message(FATAL_ERROR "stb_image.h not found: install libstb-dev (scripts/install-deps.sh)")
endif()
function(trelvan_stb_source file)
  set_source_files_properties(${file} PROPERTIES INCLUDE_DIRECTORIES ${TRELVAN_STB_DIR} COMPILE_OPTIONS -w)
endfunction()
