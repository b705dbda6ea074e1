// The Select File page (page 15): the program's own browser for files on the
// PC. It lists the subfolders of the current folder and the files ending in
// the caller's extension, walks through folders, and returns the chosen
// file's full path. The current folder is kept in the storage file
// "SelectFileLastPath", so the browser opens where the user last was.
#pragma once

#include <cstdint>

#include "platform/files.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/select_file_roles.h"

namespace trelvan {

struct PageContext;


enum SelectFileResults : uint8_t { kSelectFileChosen = 0, kSelectFileCancelled = 1 };

// A list row: its box (hit testing), whether it shows a name, and the name shown.
struct SelectFileRow {
  uint16_t x, y, w, h;
  uint8_t inUse;                        /**< 1: shows a name and takes clicks */
  char name[kSelectRowNameCapacity];    /**< the listed name cut to 31 characters */
};

struct SelectFilePage {
  ImageControl* image[kSelectFileImageCount];
  TextControl* text[kSelectFileTextCount];

  char SelectFileExtension[kSelectFileExtensionCapacity];  /**< caller: ".wav", or several separated by blanks; case counts */
  uint8_t SelectFileReturnPage;                            /**< caller: page to return to */
  uint8_t SelectFileResult;        /**< kSelectFileChosen or kSelectFileCancelled */
  char SelectedPath[kSelectedPathCapacity];  /**< folder ending in the separator; then + file */
  uint8_t answer;                  /**< a CallResult for TakeSelectedFile */

  // The names are kept whole (up to 127 characters) so that a click appends
  // the real name; the rows show them cut to 31.
  char FolderNames[kSelectListCapacity][kSelectedPathCapacity];
  char FileNames[kSelectListCapacity][kSelectedPathCapacity];
  uint16_t FolderCount, FileCount;
  uint16_t FolderPage, FilePage;   /**< block of 16 names shown */
  SelectFileRow FolderRows[kSelectRows];
  SelectFileRow FileRows[kSelectRows];

  FolderEntry entries[kSelectListCapacity];  /**< the folder search's answer while listing */
  uint8_t showingDrives;           /**< 1: the folder list holds the drives, above every root */
};

constexpr const char* kTypedPathTag = "Path";


// Opens the browser for files ending in `extension` (".bmp", ".wav"),
// returning to returnPage.
void RequestSelectFile(PageContext& a, const char* extension, uint8_t returnPage);
// For the caller's timer handler, once after the page went back:
// kCallConfirmed with the chosen file's full path, or kCallCancelled.
CallResult TakeSelectedFile(PageContext& a, const char** path);

// Stores SelectedPath as "SelectFileLastPath", replacing the stored one.
void SaveLastPath(PageContext& a);
// Fills both lists for SelectedPath and draws them with the path line.
void ListFolder(PageContext& a);

// The page's handler record for the page table.
extern const PageUnit<PageContext> kSelectFileRecord;

}  // namespace trelvan
