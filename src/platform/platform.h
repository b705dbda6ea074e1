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

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/hid.h"
#include "platform/instance.h"
#include "platform/libraries.h"
#include "platform/processes.h"
#include "platform/settings.h"
#include "platform/threads.h"
#include "platform/udp.h"
#include "platform/window.h"

namespace trelvan {

struct Platform {
  Window& window;      /**< frame, message boxes, timer, quit */
  Files& files;        /**< files, folders, free space */
  Instance& instance;  /**< the single-instance lock */
  Udp& udp;            /**< datagram sockets, the local address */
  Threads& threads;    /**< the receive threads */
  Processes& processes;  /**< is the simulator running */
  Hid& hid;            /**< the handheld's USB HID device */
  Libraries& libraries;  /**< the serial driver library */
  Settings& settings;  /**< server address and ports */
  Audio& audio;        /**< plays sounds on the PC */
};

}  // namespace trelvan
