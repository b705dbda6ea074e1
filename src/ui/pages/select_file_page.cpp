#include "ui/pages/select_file_page.h"

#include "ui/page_context.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/pages.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {

namespace {

constexpr const char* kLastPathName = "SelectFileLastPath";

constexpr uint16_t kFolderRowsX = 90;
constexpr uint16_t kFileRowsX = 454;
constexpr uint16_t kRowsTop = 125;
constexpr uint16_t kRowHeight = 21;
constexpr uint16_t kRowWidth = 274;
constexpr uint16_t kFolderNameWidth = 274;
constexpr uint16_t kFileNameWidth = 234;
constexpr uint16_t kPathMost = kSelectedPathCapacity - 1;

// One of the two lists with the controls that belong to it.
struct ListView {
  ImageControl* background;
  TextControl* label;       /**< drawn again on the background, which may lie under it */
  const char* labelText;
  ImageControl* previous;
  ImageControl* next;
  char (*names)[kSelectedPathCapacity];
  uint16_t count;
  uint16_t page;
  SelectFileRow* rows;
  uint16_t nameWidth;
};

ListView FolderListView(SelectFilePage& f) {
  return ListView{f.image[kSelectFileFolderFrame], f.text[kSelectFileFolderLabel], "Directory",
                  f.image[kSelectFileFolderPrevious], f.image[kSelectFileFolderNext],
                  f.FolderNames, f.FolderCount, f.FolderPage, f.FolderRows, kFolderNameWidth};
}

ListView FileListView(SelectFilePage& f) {
  return ListView{f.image[kSelectFileFileFrame], f.text[kSelectFileFileLabel], "File",
                  f.image[kSelectFileFilePrevious], f.image[kSelectFileFileNext],
                  f.FileNames, f.FileCount, f.FilePage, f.FileRows, kFileNameWidth};
}

void LayOutRows(SelectFileRow* rows, uint16_t x) {
  for (int i = 0; i < kSelectRows; ++i) {
    SelectFileRow& r = rows[i];
    r.x = x;
    r.y = static_cast<uint16_t>(kRowsTop + kRowHeight * i);
    r.w = kRowWidth;
    r.h = kRowHeight;
    r.inUse = 0;
    r.name[0] = 0;
  }
}

int RowHit(const PageContext& a, const SelectFileRow& r) {
  const int32_t px = a.input.PointerEvent.x, py = a.input.PointerEvent.y;
  return r.inUse && px >= r.x && px < r.x + r.w && py >= r.y && py < r.y + r.h;
}

// A block control that is offered is drawn; one that is not is wiped, so an
// arrow of the block or folder shown before does not stay on the screen.
void ShowBlockControl(PageContext& a, const ImageControl* control, int offered) {
  if (!control) return;
  if (offered) {
    DrawImage(a, control);
  } else {
    EraseControl(a.frame, control);
  }
}

void DrawList(PageContext& a, const ListView& v) {
  DrawImage(a, v.background);
  DrawTextControl(a.frame, v.label, v.labelText);
  for (int i = 0; i < kSelectRows; ++i) v.rows[i].inUse = 0;
  a.frame.PenColour = 0x0000;
  for (int i = 0; i < kSelectRows; ++i) {
    const uint32_t index = uint32_t{kSelectRows} * v.page + static_cast<uint32_t>(i);
    if (index >= v.count) break;
    SelectFileRow& r = v.rows[i];
    CopyText(v.names[index], r.name, kSelectRowNameCapacity);
    EndOnWholeCharacter(r.name);
    r.inUse = 1;
    char fitted[kSelectRowNameCapacity];
    FitText(0, r.name, v.nameWidth, fitted, sizeof fitted);
    DrawString(a.frame, 0, r.x, r.y, fitted, v.nameWidth, 0);
  }
  ShowBlockControl(a, v.previous, v.page > 0);
  ShowBlockControl(a, v.next, uint32_t{kSelectRows} * (v.page + 1u) < v.count);
}

// 1 when `name` ends in one of the extensions of the list (separated by
// blanks), compared exactly.
int EndsInExtension(const char* name, const char* extensions) {
  const uint16_t length = TextLength(name);
  for (const char* e = extensions; *e;) {
    while (*e == ' ') ++e;
    uint16_t n = 0;
    while (e[n] && e[n] != ' ') ++n;
    bool same = n > 0 && length >= n;
    for (uint16_t i = 0; same && i < n; ++i) same = name[length - n + i] == e[i];
    if (same) return 1;
    e += n;
  }
  return 0;
}

int IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// The lowest position where the separator that ends the root may stand:
// "C:\" ends at 2, "/" at 0.
uint16_t RootEnd(const char* root) { return static_cast<uint16_t>(TextLength(root) - 1); }

// Where the page opens when it knows no folder (the home folder on Linux);
// the root when that is gone too.
void OpenAtStart(PageContext& a) {
  Files& files = a.platform.files;
  PathInfo info;
  const bool start = files.PathAttributes(files.StartFolder(), &info) && info.folder &&
                     TextLength(files.StartFolder()) < kSelectedPathCapacity;
  CopyText(start ? files.StartFolder() : files.RootFolder(), a.ui.selectFile.SelectedPath,
           kSelectedPathCapacity);
}

// "SelectFileLastPath" into SelectedPath; the start folder when none is stored.
void ReadLastPath(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  Storage& s = a.storage;
  RunStorageToIdle(s);
  const int index = StorageFindFile(s, kLastPathName);
  if (index < 0) {
    OpenAtStart(a);
    return;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  uint8_t bytes[kSelectedPathCapacity] = {};
  const uint16_t start = StorageHeaderLength(s, i);
  const uint32_t size = StorageFileSize(s, i);
  const uint32_t available = size > start ? size - start : 0;
  StorageReadData(s, i, start, bytes,
                  available < kSelectedPathCapacity ? available : uint32_t{kSelectedPathCapacity});
  bytes[kPathMost] = 0;  // a damaged record still gives a terminated path
  CopyText(reinterpret_cast<const char*>(bytes), f.SelectedPath, kSelectedPathCapacity);
  if (f.SelectedPath[0] == 0) OpenAtStart(a);
}

// A folder that is gone, or a path remembered on another system, opens the
// start folder instead of an empty list the user cannot leave.
void OpenAtStartUnlessAFolder(PageContext& a) {
  PathInfo info;
  if (!a.platform.files.PathAttributes(a.ui.selectFile.SelectedPath, &info) || !info.folder) {
    OpenAtStart(a);
  }
}

void ShowPath(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  DrawImage(a, f.image[kSelectFilePathFrame]);
  DrawTextControl(a.frame, f.text[kSelectFilePathLine], f.SelectedPath);
}

// Above every root: the drives in the folder list, no files. A click on one
// opens its root.
void ShowDrives(PageContext& a) {
  static_assert(kDriveRootCapacity == kSelectedPathCapacity, "a drive's root is a folder name of the list");
  SelectFilePage& f = a.ui.selectFile;
  f.FolderCount = a.platform.files.ListDrives(f.FolderNames, kSelectListCapacity);
  f.FileCount = 0;
  f.FolderPage = f.FilePage = 0;
  f.showingDrives = 1;
  DrawImage(a, f.image[kSelectFilePathFrame]);
  DrawTextControl(a.frame, f.text[kSelectFilePathLine], "Drives");
  DrawList(a, FolderListView(f));
  DrawList(a, FileListView(f));
}

// Up one folder; at a drive's root, up to the drives where the system has them.
void UpOneFolder(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  if (f.showingDrives) return;
  const char separator = a.platform.files.PathSeparator();
  const int32_t length = TextLength(f.SelectedPath);
  for (int32_t at = length - 2; at >= RootEnd(a.platform.files.RootFolder()); --at) {
    if (f.SelectedPath[at] == separator) {
      f.SelectedPath[at + 1] = 0;
      SaveLastPath(a);
      ListFolder(a);
      return;
    }
  }
  char drive[1][kDriveRootCapacity];
  if (a.platform.files.ListDrives(drive, 1) > 0) ShowDrives(a);  // the drives, from a drive's root
}

// A typed path: a folder opens (its separator added where it lacks one), a
// file of the caller's kind is chosen; anything else is said.
void GoToTypedPath(PageContext& a, const char* typed) {
  SelectFilePage& f = a.ui.selectFile;
  Files& files = a.platform.files;
  char folder[kSelectedPathCapacity + 1];
  CopyText(typed, folder, kSelectedPathCapacity);
  const uint16_t n = TextLength(folder);
  if (n > 0 && folder[n - 1] != files.PathSeparator()) {
    folder[n] = files.PathSeparator();
    folder[n + 1] = 0;
  }
  PathInfo info;
  if (TextLength(folder) < kSelectedPathCapacity && files.PathAttributes(folder, &info) && info.folder) {
    CopyText(folder, f.SelectedPath, kSelectedPathCapacity);
    SaveLastPath(a);
    ListFolder(a);
  } else if (files.PathAttributes(typed, &info) && !info.folder && EndsInExtension(typed, f.SelectFileExtension)) {
    CopyText(typed, f.SelectedPath, kSelectedPathCapacity);
    ReturnToCaller(a.ui.pages, f.answer, kCallConfirmed, f.SelectFileReturnPage);
  } else {
    char text[kMessageTextCapacity];
    FormatText(text, "No folder, nor a file of the kind asked for, is at that path. Type a whole path, from %s on.",
               files.RootFolder());
    RequestInformation(a, text, 0, kSelectFilePage);
  }
}

// SelectedPath followed by `name` and, for a folder, the separator; nothing
// changes when that would pass 127 characters.
int AppendToPath(PageContext& a, const char* name, int folder) {
  SelectFilePage& f = a.ui.selectFile;
  const uint32_t length = TextLength(f.SelectedPath);
  const uint32_t added = TextLength(name) + (folder ? 1u : 0u);
  if (length + added > kPathMost) return 0;
  AppendText(name, f.SelectedPath);
  if (folder) {
    const char separator[2] = {a.platform.files.PathSeparator(), 0};
    AppendText(separator, f.SelectedPath);
  }
  return 1;
}

// A list's next (forward) or previous block, where there is one; 1 when it moved.
int TurnBlock(uint16_t& page, uint16_t count, bool forward) {
  if (forward ? kSelectRows * (page + 1) >= count : page == 0) return 0;
  page = static_cast<uint16_t>(forward ? page + 1 : page - 1);
  return 1;
}

int RowIndex(const PageContext& a, const SelectFileRow* rows) {
  for (int i = 0; i < kSelectRows; ++i) {
    if (RowHit(a, rows[i])) return i;
  }
  return -1;
}

}  // namespace

void SaveLastPath(PageContext& a) {
  StorageWriteRecord(a.storage, kLastPathName, "", "Text", "1.00",
                     reinterpret_cast<const uint8_t*>(a.ui.selectFile.SelectedPath),
                     kSelectedPathCapacity);
}

void ListFolder(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  f.showingDrives = 0;
  f.FolderCount = f.FileCount = 0;
  f.FolderPage = f.FilePage = 0;
  OpenAtStartUnlessAFolder(a);
  ShowPath(a);
  const uint16_t found =
      a.platform.files.ListFolder(f.SelectedPath, "*", f.entries, kSelectListCapacity);
  for (uint16_t k = 0; k < found && k < kSelectListCapacity; ++k) {
    FolderEntry& e = f.entries[k];
    e.name[sizeof e.name - 1] = 0;
    // A name too long to be kept whole could only be kept cut, naming
    // another file: it is not listed.
    if (IsDotEntry(e.name) || TextLength(e.name) >= kSelectedPathCapacity) continue;
    if (e.folder) {
      if (!e.hidden && f.FolderCount < kSelectListCapacity) {
        CopyText(e.name, f.FolderNames[f.FolderCount++], kSelectedPathCapacity);
      }
    } else if (EndsInExtension(e.name, f.SelectFileExtension) &&
               f.FileCount < kSelectListCapacity) {
      CopyText(e.name, f.FileNames[f.FileCount++], kSelectedPathCapacity);
    }
  }
  DrawList(a, FolderListView(f));
  DrawList(a, FileListView(f));
}

void RequestSelectFile(PageContext& a, const char* extension, uint8_t returnPage) {
  SelectFilePage& f = a.ui.selectFile;
  CopyText(extension, f.SelectFileExtension, kSelectFileExtensionCapacity);
  f.SelectFileReturnPage = returnPage;
  f.answer = kCallNone;
  a.ui.pages.CurrentPage = kSelectFilePage;
}

CallResult TakeSelectedFile(PageContext& a, const char** path) {
  SelectFilePage& f = a.ui.selectFile;
  const CallResult result = TakeAnswer(f.answer);
  if (result == kCallConfirmed && path) *path = f.SelectedPath;
  return result;
}

static void SelectFileInit(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  PageLoader load(a.ui.controls, a.storage, kSelectFileRecord.page);
  f.image[kSelectFileTitleBar] = load.Image();
  f.text[kSelectFileTitle] = load.Text();
  f.image[kSelectFileFolderFrame] = load.Image();
  f.image[kSelectFileFileFrame] = load.Image();
  f.text[kSelectFileFolderLabel] = load.Text();
  f.text[kSelectFileFileLabel] = load.Text();
  for (int i = kSelectFileCancel; i <= kSelectFileUpFolder; ++i) f.image[i] = load.Image();
  for (int i = kSelectFilePathLabel; i <= kSelectFileHintSecondLine; ++i) f.text[i] = load.Text();
  for (int i = kSelectFileFolderNext; i <= kSelectFileFileNext; ++i) f.image[i] = load.Image();
  f.text[kSelectFilePathLine] = load.Text();
  f.text[kSelectFilePathHintFirstLine] = load.Text();
  f.text[kSelectFilePathHintSecondLine] = load.Text();
  load.Finish();
  LayOutRows(f.FolderRows, kFolderRowsX);
  LayOutRows(f.FileRows, kFileRowsX);
  f.FolderCount = f.FileCount = 0;
  f.FolderPage = f.FilePage = 0;
  ReadLastPath(a);
  f.SelectFileResult = kSelectFileChosen;
}

// Back from the keyboard with a typed path.
static void SelectFileTimer(PageContext& a) {
  if (a.ui.keyboards.TextRequested && RequestTagIs(a, kTypedPathTag) && TakeConfirmedText(a)) {
    GoToTypedPath(a, a.ui.keyboards.alpha.EnteredText);
  }
}

static void SelectFileDraw(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  DrawTextControl(a.frame, f.text[kSelectFileFolderLabel], "Directory");
  DrawTextControl(a.frame, f.text[kSelectFileFileLabel], "File");
  DrawTextControl(a.frame, f.text[kSelectFilePathLabel], "Path");
  DrawTextControl(a.frame, f.text[kSelectFileHintFirstLine], "Click on File Name");
  DrawTextControl(a.frame, f.text[kSelectFileHintSecondLine], "to Select");
  DrawTextControl(a.frame, f.text[kSelectFilePathHintFirstLine], "Click on the Path");
  DrawTextControl(a.frame, f.text[kSelectFilePathHintSecondLine], "to type one");
  ListFolder(a);
}

static void SelectFilePointer(PageContext& a) {
  SelectFilePage& f = a.ui.selectFile;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  const int folders = WheelOver(pointer, f.image[kSelectFileFolderFrame]);
  const int files = WheelOver(pointer, f.image[kSelectFileFileFrame]);
  if (folders && TurnBlock(f.FolderPage, f.FolderCount, folders < 0)) DrawList(a, FolderListView(f));
  if (files && TurnBlock(f.FilePage, f.FileCount, files < 0)) DrawList(a, FileListView(f));
  if (pointer.state != kPointerPressed) return;
  if (HitTest(a.input.PointerEvent, f.image[kSelectFileCancel])) {
    f.SelectFileResult = kSelectFileCancelled;
    ReturnToCaller(a.ui.pages, f.answer, kCallCancelled, f.SelectFileReturnPage);
    return;
  }
  if (HitTest(a.input.PointerEvent, f.image[kSelectFileUpFolder])) {
    UpOneFolder(a);
    return;
  }
  if (HitTest(pointer, f.image[kSelectFilePathFrame]) || HitTest(pointer, f.text[kSelectFilePathLine])) {
    RequestTextFrom(a, kTypedPathTag, kSelectedPathCapacity - 1, 1, kSelectFilePage,
                    f.showingDrives ? "" : f.SelectedPath);
    return;
  }
  const int folderRow = RowIndex(a, f.FolderRows);
  if (folderRow >= 0 && f.showingDrives) {
    CopyText(f.FolderNames[kSelectRows * f.FolderPage + folderRow], f.SelectedPath, kSelectedPathCapacity);
    SaveLastPath(a);
    ListFolder(a);
    return;
  }
  if (folderRow >= 0) {
    if (AppendToPath(a, f.FolderNames[kSelectRows * f.FolderPage + folderRow], 1)) {
      SaveLastPath(a);
      ListFolder(a);
    }
    return;
  }
  const bool folderNext = HitTest(pointer, f.image[kSelectFileFolderNext]);
  if (folderNext || HitTest(pointer, f.image[kSelectFileFolderPrevious])) {
    if (TurnBlock(f.FolderPage, f.FolderCount, folderNext)) DrawList(a, FolderListView(f));
    return;
  }
  const int fileRow = RowIndex(a, f.FileRows);
  if (fileRow >= 0) {
    if (AppendToPath(a, f.FileNames[kSelectRows * f.FilePage + fileRow], 0)) {
      ReturnToCaller(a.ui.pages, f.answer, kCallConfirmed, f.SelectFileReturnPage);
    }
    return;
  }
  const bool fileNext = HitTest(pointer, f.image[kSelectFileFileNext]);
  if ((fileNext || HitTest(pointer, f.image[kSelectFileFilePrevious])) &&
      TurnBlock(f.FilePage, f.FileCount, fileNext)) {
    DrawList(a, FileListView(f));
  }
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kSelectFileFixedImages[] = {kSelectFileCancel, kSelectFilePathFrame, kSelectFileUpFolder, kEndOfRoles};

const PageUnit<PageContext> kSelectFileRecord = {
    {
        "TA SelectFile",  // page file
        "Select File",  // title
        kSelectFileFixedImages,  // fixed images
    },
    SelectFileInit,  // init
    SelectFileTimer,  // timer
    SelectFilePointer,  // pointer
    SelectFileDraw,  // draw
};

}  // namespace trelvan
