// <windows.h> for the front end. Its DeleteFile macro would rename the
// Files method of that name in these files only, so it goes.
#pragma once

#include <windows.h>

#undef DeleteFile
