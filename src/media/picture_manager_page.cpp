#include "media/picture_manager_page.h"

#include <initializer_list>

#include "media/conversions.h"
#include "media/manager_lists.h"
#include "media/media.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "storage/text.h"
#include "ui/stored_picture.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {

namespace {

constexpr const char* kNameInUse = "Select a different file name - Name already in use";
// The files Select File lists: cameras write their extensions in capitals.
constexpr const char* kPictureExtensions = ".bmp .png .jpg .jpeg .BMP .PNG .JPG .JPEG";
// Texts 1 to 4: what the page takes, or the fitted picture that waits.
constexpr const char* kTexts[] = {"File Format: BMP, PNG or JPEG", "Best Size: 480 x 180 Pixels",
                                  "Other Sizes: fitted and shown", "Color Data: any BMP depth"};
constexpr const char* kLabels[] = {"Picture Files", "on this computer"};  // texts 5 and 6

void PictureManagerInit(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  PageLoader load(a.ui.controls, a.storage, kPictureManagerRecord.page);
  for (int i = 0; i < kPictureImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kPictureTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  // delete last on the row, as in every manager
  LayOutMediaRows(m.rows, RowLayout{115, 170, 342, 40, kSourceCommon, 30, 288, 50, kSourceCommon, 35});
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

// The add panel: what the page takes and the add button, or the fitted
// picture's account with Store and Cancel.
void DrawAddPanel(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  DrawImage(a, m.image[kPictureAddPanel]);
  char lines[4][kMediaNameCapacity + 16];
  if (m.previewing) {
    const PictureInfo& info = m.previewInfo;
    static const char* const kCut[] = {"", " and cut at the sides", " and cut top and bottom"};
    FormatText(lines[0], "Fitted: %lu x %lu %s", static_cast<unsigned long>(info.width),
               static_cast<unsigned long>(info.height), info.kind);
    FormatText(lines[1], "%s%s", info.scaled ? "scaled" : "", info.scaled ? kCut[info.cut % 3] : kCut[info.cut % 3] + 5);
    FormatText(lines[2], "Store it as:");
    FormatText(lines[3], "%s", m.previewName);
  }
  for (int i = 0; i < 4; ++i) {
    DrawTextControl(a.frame, m.text[kPictureFormat + i], m.previewing ? lines[i] : kTexts[i]);
  }
  for (int i = 0; i < 2; ++i) DrawTextControl(a.frame, m.text[kPictureFilesLabel + i], kLabels[i]);
  if (m.previewing) {
    DrawImage(a, m.image[kPictureStore]);
    DrawImage(a, m.image[kPictureCancel]);
    DrawImage(a, m.image[kPictureShownFrame]);
    DrawPictureRecord(a.frame, media.previewRecord, kPictureRecordSize, kShownPictureX, kShownPictureY);
  } else {
    DrawImage(a, m.image[kPictureAdd]);
  }
}

void PictureManagerDraw(PageContext& a, Media& media) {
  DrawAddPanel(a, media);
  StartMediaList(media.pictures);
  RefreshList(a, media);
}

void EndPreview(PageContext& a, Media& media) {
  media.picturePage.previewing = 0;
  DrawImage(a, media.picturePage.image[kPictureShownFrame]);
  DrawAddPanel(a, media);
}

// Stores the fitted picture (or one that needed no fitting).
void StoreFitted(PageContext& a, Media& media, const char* name) {
  const int result = StorePicture(a.storage, name, media.previewRecord);
  RefreshList(a, media);
  if (result != kPictureDone) ShowManagerMessage(a, StoreResultText(result), kPictureManagerPage);
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
  if (StorageFindFile(a.storage, name) >= 0) {
    RefreshList(a, media);
    return ShowManagerMessage(a, kNameInUse, kPictureManagerPage);
  }
  PictureInfo info;
  const int result = ReadPicture(a.platform.files, path, media.pictureWork, media.previewRecord, &info);
  if (result != kPictureDone) {
    char message[kMessageTextCapacity];
    DescribePictureRefusal(result, info, message, sizeof message);
    RefreshList(a, media);
    return ShowManagerMessage(a, message, kPictureManagerPage);
  }
  if (!info.scaled && !info.cut) return StoreFitted(a, media, name);  // taken as it is
  // a fitted picture is shown first; Store or Cancel decides
  m.previewing = 1;
  m.previewInfo = info;
  CopyText(name, m.previewName, kMediaNameCapacity);
  DrawAddPanel(a, media);
}

void PictureManagerPointer(PageContext& a, Media& media) {
  PictureManagerPage& m = media.picturePage;
  MediaList& list = media.pictures;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (PageMediaList(list, list.listPage, pointer, m.image[kPictureNextListPage],
                    m.image[kPicturePreviousListPage], m.image[kPictureListFrame])) {
    return RefreshList(a, media);
  }
  if (pointer.state != kPointerPressed) return;
  if (m.previewing) {
    if (HitTest(pointer, m.image[kPictureStore])) {
      EndPreview(a, media);
      return StoreFitted(a, media, m.previewName);
    }
    if (HitTest(pointer, m.image[kPictureCancel])) return EndPreview(a, media);
  } else if (HitTest(pointer, m.image[kPictureAdd])) {
    m.selectionExpected = 1;
    RequestSelectFile(a, kPictureExtensions, kPictureManagerPage);
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
  if (HitTest(pointer, m.image[kPictureExit])) a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kPictureFixedImages[] = {kPictureShownFrame, kPictureExit, kEndOfRoles};

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
