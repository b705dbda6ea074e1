#include "media/picture_manager_page.h"

#include <initializer_list>

#include "media/conversions.h"
#include "media/manager_lists.h"
#include "media/media.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "ui/stored_picture.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {

namespace {

constexpr const char* kNameInUse = "Select a different file name - Name already in use";
// Texts 1 to 6.
constexpr const char* kTexts[] = {"File Format: BMP",   "Width: 480 Pixels", "Height: 180 Pixels",
                                  "Color Data: 24 Bits Per Pixel", "Picture Files", "on this computer"};

void PictureManagerInit(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  PageLoader load(a.ui.controls, a.storage, kPictureManagerRecord.page);
  for (int i = 0; i < kPictureImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kPictureTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  LayOutMediaRows(m.rows, RowLayout{115, 170, 288, 40, kSourceCommon, 30, 330, 50, kSourceCommon, 35});
  FillPictureList(media.pictures, a.storage);
}

void DrawList(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  DrawMediaList(a, media.pictures, m.rows, m.image[kPictureListFrame], m.image[kPictureNextListPage],
                m.image[kPicturePreviousListPage]);
}

void RefreshList(PageContext& a, Media& media) {
  FillPictureList(media.pictures, a.storage);
  DrawList(a, media);
}

void PictureManagerDraw(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  for (int i = kPictureFormat; i <= kPictureFilesLabelEnd; ++i) {
    DrawTextControl(a.frame, m.text[i], kTexts[i - kPictureFormat]);
  }
  StartMediaList(media.pictures);
  RefreshList(a, media);
}

// Back from Select File: the chosen BMP becomes a picture, or the reason
// it does not is shown.
void PictureManagerTimer(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  if (TakeDeleteRow(a, media.pictures)) RefreshList(a, media);
  if (!m.selectionExpected) return;
  m.selectionExpected = 0;
  const char* path = nullptr;
  if (TakeSelectedFile(a, &path) != kCallConfirmed) {
    RefreshList(a, media);
    return;
  }
  char name[kMediaNameCapacity];
  PictureNameFromPath(path, a.platform.files.PathSeparator(), name);
  const char* message = nullptr;
  if (StorageFindFile(a.storage, name) >= 0) {
    message = kNameInUse;
  } else {
    const int result = ConvertPicture(a.platform.files, a.storage, path, name, media.bmp);
    if (result >= kStoreNoSpace) {
      message = StoreResultText(result);
    } else if (result != kPictureDone) {
      message = PictureResultText(result);
    }
  }
  RefreshList(a, media);
  if (message) ShowManagerMessage(a, message, kPictureManagerPage);
}

void PictureManagerPointer(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  MediaList& list = media.pictures;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, m.image[kPictureAdd])) {
    m.selectionExpected = 1;
    RequestSelectFile(a, ".bmp", kPictureManagerPage);
  }
  for (int r = 0; r < kMediaListRows; ++r) {
    if (!list.inUse[r]) continue;
    if (HitTest(pointer, &m.rows[r].first)) {
      return AskDeleteRow(a, list, r, true, kPictureManagerPage);
    } else if (HitTest(pointer, &m.rows[r].second)) {
      DrawStoragePicture(a.storage, a.frame, static_cast<int16_t>(StorageFindFile(a.storage, list.names[r])),
                         kShownPictureX, kShownPictureY);
    }
  }
  if (PageMediaList(list, list.listPage, pointer, m.image[kPictureNextListPage],
                    m.image[kPicturePreviousListPage])) {
    RefreshList(a, media);
  }
  if (HitTest(pointer, m.image[kPictureExit])) a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kPictureFixedImages[] = {kPictureShownFrame, kPictureAddPanel, kPictureExit, kPictureAdd, kEndOfRoles};

const PageUnit<PageContext, Media> kPictureManagerRecord = {
    {
        "TA PictureManager",  // page file
        "Picture Manager",  // title
        kPictureFixedImages,  // fixed images
    },
    PictureManagerInit,  // init
    PictureManagerTimer,  // timer
    PictureManagerPointer,  // pointer
    PictureManagerDraw,  // draw
};

}  // namespace trelvan
