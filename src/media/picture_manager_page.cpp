#include "media/picture_manager_page.h"

#include <initializer_list>

#include "media/conversions.h"
#include "media/manager_lists.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {

namespace {

constexpr const char* kNameInUse = "Select a different file name - Name already in use";
// Texts 1 to 6.
constexpr const char* kTexts[] = {"File Format: BMP",   "Width: 480 Pixels", "Height: 180 Pixels",
                                  "Color Data: 24 Bits Per Pixel", "Picture Files", "on this computer"};

void PictureManagerInit(Assistant& a) {
  PictureManagerPage& m = a.media.picturePage;
  PageLoader load(a.ui.controls, a.storage, kPictureManagerRecord);
  for (int i = 0; i < kPictureImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kPictureTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  LayOutMediaRows(m.rows, RowLayout{115, 170, 288, 40, kSourceCommon, 30, 330, 50, kSourceCommon, 35});
  FillPictureList(a.media.pictures, a.storage);
  a.ui.pages.initialised[kPictureManagerPage] = 1;
}

void DrawList(Assistant& a) {
  PictureManagerPage& m = a.media.picturePage;
  DrawMediaList(a, a.media.pictures, m.rows, m.image[kPictureListFrame], m.image[kPictureNextListPage],
                m.image[kPicturePreviousListPage]);
}

void RefreshList(Assistant& a) {
  FillPictureList(a.media.pictures, a.storage);
  DrawList(a);
}

void PictureManagerDraw(Assistant& a, int full) {
  PictureManagerPage& m = a.media.picturePage;
  if (full) PictureManagerInit(a);
  DrawPageFrame(a, kPictureManagerRecord, m.image[kPictureFrame], m.text[kPictureTitle]);
  for (int i : {kPictureShownFrame, kPictureAddPanel, kPictureExit, kPictureAdd}) {
    DrawImage(a, m.image[i]);
  }
  for (int i = kPictureFormat; i <= kPictureFilesLabelEnd; ++i) {
    DrawTextControl(a.frame, m.text[i], kTexts[i - kPictureFormat]);
  }
  if (full) a.media.pictures.listPage = 0;
  RefreshList(a);
}

// Back from Select File: the chosen BMP becomes a picture, or the reason
// it does not is shown.
void PictureManagerTimer(Assistant& a) {
  PictureManagerPage& m = a.media.picturePage;
  if (!m.selectionExpected) return;
  m.selectionExpected = 0;
  const char* path = nullptr;
  if (TakeSelectedFile(a, &path) != kCallConfirmed) {
    RefreshList(a);
    return;
  }
  char name[kMediaNameCapacity];
  PictureNameFromPath(path, a.platform.files.PathSeparator(), name);
  const char* message = nullptr;
  if (StorageFindFile(a.storage, name) >= 0) {
    message = kNameInUse;
  } else {
    const int result = ConvertPicture(a.platform.files, a.storage, path, name, a.media.bmp);
    if (result >= kStoreNoSpace) {
      message = StoreResultText(result);
    } else if (result != kPictureDone) {
      message = PictureResultText(result);
    }
  }
  RefreshList(a);
  if (message) ShowManagerMessage(a, message, kPictureManagerPage);
}

void PictureManagerPointer(Assistant& a) {
  PictureManagerPage& m = a.media.picturePage;
  MediaList& list = a.media.pictures;
  const PointerEventRecord& pointer = a.shell.PointerEvent;
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, m.image[kPictureAdd])) {
    m.selectionExpected = 1;
    RequestSelectFile(a, ".bmp", kPictureManagerPage);
  }
  for (int r = 0; r < kMediaListRows; ++r) {
    if (!list.inUse[r]) continue;
    if (HitTest(pointer, &m.rows[r].first)) {
      list.inUse[r] = 0;
      StorageDeleteNamedFile(a.storage, list.names[r]);
      RefreshList(a);
    } else if (HitTest(pointer, &m.rows[r].second)) {
      DrawStoragePicture(a.storage, a.frame, static_cast<int16_t>(StorageFindFile(a.storage, list.names[r])),
                         kShownPictureX, kShownPictureY);
    }
  }
  if (PageMediaList(list, list.listPage, pointer, m.image[kPictureNextListPage],
                    m.image[kPicturePreviousListPage])) {
    RefreshList(a);
  }
  if (HitTest(pointer, m.image[kPictureExit])) a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace

const PageHandlers kPictureManagerRecord = {
    kPictureManagerPage,   "TA PictureManager", "Picture Manager",      PictureManagerInit,
    PictureManagerTimer,   PictureManagerPointer, PictureManagerDraw};

}  // namespace trelvan
