// The one interface between the portable core and the operating system.
//
// A front end (Win32, SDL2 on Linux, or the fake platform of the tests)
// derives from Platform, fills in the services it offers and hands the object
// to the Assistant. The core includes nothing of the system beyond the C++
// standard library; everything it needs from outside passes through here.
#pragma once

#include <cstdint>

namespace trelvan {

// A folder entry as the directory search returns it.
struct FolderEntry {
  char name[256];   /**< file or folder name, zero-terminated */
  uint8_t folder;   /**< 1: a folder */
  uint8_t hidden;   /**< 1: hidden or system attribute */
};

constexpr int kNoFile = -1;  // returned by the open calls on failure

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- display -----------------------------------------------------------
  // Copies a finished 800 x 600 frame (rows from the top, 4 bytes a pixel:
  // blue, green, red, 0) to the window.
  virtual void PresentFrame(const uint8_t* bgr0, int width, int height) = 0;
  // Marks a client rectangle (right and bottom exclusive) for repainting.
  virtual void InvalidateRect(int left, int top, int right, int bottom) = 0;

  // ---- message box -------------------------------------------------------
  // A modal message with the caption "Message".
  virtual void ShowMessageBox(const char* text) = 0;

  // ---- message loop --------------------------------------------------------
  virtual void StopTimer() = 0;         // the 10 ms timer, id 1
  virtual void Sleep(uint32_t ms) = 0;
  virtual void PostQuit(int code) = 0;  // ends the message loop

  // ---- files ---------------------------------------------------------------
  // Paths are native: the core joins them with PathSeparator().
  virtual char PathSeparator() const = 0;
  virtual const char* DataFolder() const = 0;  // no trailing separator
  virtual int OpenRead(const char* path) = 0;   // kNoFile on failure
  virtual int OpenWrite(const char* path) = 0;  // creates or truncates
  virtual uint32_t ReadFile(int file, void* out, uint32_t count) = 0;
  virtual uint32_t WriteFile(int file, const void* data, uint32_t count) = 0;
  virtual bool FlushFile(int file) = 0;  // through to the disk
  virtual bool CloseFile(int file) = 0;
  virtual bool FileSize(int file, uint32_t* size) = 0;
  virtual bool DeleteFile(const char* path) = 0;
  virtual bool RenameFile(const char* from, const char* to) = 0;  // replaces `to`
  // Lists `folder`: at most `capacity` entries whose names match `pattern`
  // ("*" and "?" wildcards), in the order of the directory search.
  virtual uint16_t ListFolder(const char* folder, const char* pattern,
                              FolderEntry* out, uint16_t capacity) = 0;
  // Free space of the data folder's disk in whole MiB; 0 when unknown.
  virtual uint32_t DiskFreeMegabytes() = 0;

  // ---- single instance -----------------------------------------------------
  // Claims the lock `name` for the rest of this process. False when another
  // running copy of the program holds it.
  virtual bool AcquireSingleInstance(const char* name) = 0;
};

}  // namespace trelvan
