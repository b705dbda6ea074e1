#include "media/manager_lists.h"

#include "media/media.h"
#include "projects/project_file.h"
#include "storage/whole_file.h"
#include "ui/pages/information_page.h"

namespace trelvan {

namespace {
constexpr uint16_t kFirstRowY = 112;
constexpr uint16_t kRowPitch = 21;
}  // namespace

void LayOutMediaRows(MediaRow* rows, const RowLayout& l) {
  for (int r = 0; r < kMediaListRows; ++r) {
    const uint16_t y = static_cast<uint16_t>(kFirstRowY + kRowPitch * r);
    rows[r].name = TextControl{l.nameX, y, l.nameW, kRowPitch, 0, kTextNoBackground, 0x0000, 0xFFFF};
    rows[r].first = ImageControl{l.firstX, y, l.firstW, kRowPitch, l.firstSource, l.firstPicture};
    rows[r].second = ImageControl{l.secondX, y, l.secondW, kRowPitch, l.secondSource, l.secondPicture};
  }
}

void DrawMediaList(PageContext& a, const MediaList& list, const MediaRow* rows, const ImageControl* frame,
                   const ImageControl* next, const ImageControl* previous) {
  DrawImage(a, frame);
  for (int r = 0; r < kMediaListRows; ++r) {
    if (!list.inUse[r]) continue;
    DrawFittedText(a.frame, &rows[r].name, list.names[r]);
    DrawImage(a, &rows[r].first);
    if (rows[r].second.w) DrawImage(a, &rows[r].second);
  }
  if (next) EraseControl(a.frame, next);
  if (previous) EraseControl(a.frame, previous);
  if (MediaListHasNext(list)) DrawImage(a, next);
  if (MediaListHasPrevious(list)) DrawImage(a, previous);
}

bool PageMediaList(const MediaList& list, uint16_t& listPage, const PointerEventRecord& pointer,
                   const ImageControl* next, const ImageControl* previous, const ImageControl* frame) {
  const int turned = WheelOver(pointer, frame);
  const bool pressed = pointer.state == kPointerPressed;
  if ((turned < 0 || (pressed && HitTest(pointer, next))) && MediaListHasNext(list)) {
    ++listPage;
    return true;
  }
  if ((turned > 0 || (pressed && HitTest(pointer, previous))) && MediaListHasPrevious(list)) {
    --listPage;
    return true;
  }
  return false;
}

void AskDeleteRow(PageContext& a, MediaList& list, int row, bool namesUsers, int32_t page) {
  char users[kMessageTextCapacity] = "";
  if (namesUsers) ProjectsUsingFile(a.storage, list.names[row], users, sizeof users);
  AskDelete(a, list.deleteAsked, list.names[row], users, page);
}

bool TakeDeleteRow(PageContext& a, MediaList& list) {
  if (!TakeDeleteAnswer(a, list.deleteAsked)) return false;
  StorageDeleteNamedFile(a.storage, list.deleteAsked);
  list.deleteAsked[0] = 0;
  return true;
}

void StartMediaList(MediaList& list) {
  if (!list.deleteAsked[0]) list.listPage = 0;
}

void ShowManagerMessage(PageContext& a, const char* text, int32_t page) {
  RequestInformation(a, text, 0, page);
}

}  // namespace trelvan
