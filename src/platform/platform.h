// The services of the operating system that the portable core uses, one
// small interface each. A front end (Win32, SDL2 on Linux, or the fake
// platform of the tests) implements every service in its own backend folder
// and hands the Assistant a Platform that refers to them. The core includes
// nothing of the system beyond the C++ standard library; everything it needs
// from outside passes through here.
//
// A new service is one header beside these, one file per backend, and one
// member below.
#pragma once

#include "platform/files.h"
#include "platform/instance.h"
#include "platform/window.h"

namespace trelvan {

struct Platform {
  Window& window;      /**< frame, message boxes, timer, quit */
  Files& files;        /**< files, folders, free space */
  Instance& instance;  /**< the single-instance lock */
};

}  // namespace trelvan
