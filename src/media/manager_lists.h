// What the three manager pages share: their 17-row lists of stored files
// with one or two buttons a row, the paging buttons and the messages.
#pragma once

#include <cstdint>

#include "media/media.h"

namespace trelvan {

struct PageContext;

// Lays out row r at y 112 + 21 r: the name at nameX, the first button at
// firstX (firstW wide) and the second at secondX (secondW wide, 0: none).
struct RowLayout {
  uint16_t nameX, nameW;
  uint16_t firstX, firstW;
  uint8_t firstSource;
  uint16_t firstPicture;
  uint16_t secondX, secondW;
  uint8_t secondSource;
  uint16_t secondPicture;
};
void LayOutMediaRows(MediaRow* rows, const RowLayout& layout);

// The list frame, then each row in use (name in black, its buttons), then
// the next and previous buttons where there is somewhere to go.
void DrawMediaList(PageContext& a, const MediaList& list, const MediaRow* rows, const ImageControl* frame,
                   const ImageControl* next, const ImageControl* previous);

// Paging by the next and previous buttons, or by the wheel over the list's
// frame: whether the list page changed.
bool PageMediaList(const MediaList& list, uint16_t& listPage, const PointerEventRecord& pointer,
                   const ImageControl* next, const ImageControl* previous, const ImageControl* frame);

// A row's delete control: asks "Delete <name>?" first; for pictures and
// sounds (`namesUsers`) the question names the projects that use the file.
void AskDeleteRow(PageContext& a, MediaList& list, int row, bool namesUsers, int32_t page);
// For the page's timer: deletes the file the user said Yes to. True when
// the list changed.
bool TakeDeleteRow(PageContext& a, MediaList& list);
// On each entry the list starts at its first page, but not when the page
// comes back from a delete question.
void StartMediaList(MediaList& list);

// A message on the information page, returning to `page`.
void ShowManagerMessage(PageContext& a, const char* text, int32_t page);

}  // namespace trelvan
