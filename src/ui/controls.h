// Controls: image controls showing one picture and text controls showing a
// string on an optional background, loaded from the current page file into
// two fixed pools of slots that all pages share.
#pragma once

#include <cstdint>

#include "ui/input.h"
#include "storage/storage.h"
#include "ui/frame_buffer.h"
#include "ui/limits.h"
#include "ui/pages.h"
namespace trelvan {


enum PictureSource : uint8_t {
  kSourcePageFile = 0,   /**< the current page file */
  kSourceCommon = 1,     /**< the collection "TA Common" */
  kSourceButtons = 2,    /**< the collection "TA Buttons" */
};

constexpr uint16_t kTextCentred = 2;        // flags bit 1: centred in w
constexpr uint16_t kTextNoBackground = 64;  // flags bit 6: only the glyphs

struct ImageControl {
  uint16_t x, y;           /**< top-left corner on the screen */
  uint16_t w, h;           /**< hit testing and erasing */
  uint8_t source;          /**< a PictureSource; others draw nothing */
  uint16_t pictureIndex;   /**< in that file's picture table */
};

struct TextControl {
  uint16_t x, y, w, h;     /**< the box; text starts at (x, y) */
  uint8_t font;            /**< 0, 1 or 2 */
  uint16_t flags;          /**< kTextCentred, kTextNoBackground */
  uint16_t textColour;     /**< Colour16 of the glyphs */
  uint16_t backColour;     /**< Colour16 of the box */
};

struct Controls {
  ImageControl ImageSlots[kImageSlotCount];
  TextControl TextSlots[kTextSlotCount];
  int32_t LastImageSlot = -1;  /**< last slot the current page's initialisation took */
  int32_t LastTextSlot = -1;
  char CurrentPageName[kPageNameCapacity];
  uint8_t pictureRow[kPictureRowCapacity * 2];  /**< one picture row while drawing */
};

// Record k of the current page file's tables into `slot`; false (slot untouched)
// when the page file or the whole record is missing.
bool LoadImageControl(const Controls& controls, const Storage& s, ImageControl* slot, uint32_t k);
bool LoadTextControl(const Controls& controls, const Storage& s, TextControl* slot, uint32_t k);

// Draws the control's picture whole at (x, y); false, drawing nothing, when the
// file, the picture or any of its rows is missing.
bool DrawImageControl(Controls& controls, FrameBuffer& frame, const Storage& s,
                     const ImageControl* control);
void DrawTextControl(FrameBuffer& frame, const TextControl* control, const char* text);
// `text` cut to `width` pixels in `font`, ending in "..." when cut, into
// `out` of `capacity` bytes.
void FitText(uint8_t font, const char* text, int32_t width, char* out, uint16_t capacity);
// DrawTextControl with the text fitted to the control's width: a long name
// in a list row stays inside its row.
void DrawFittedText(FrameBuffer& frame, const TextControl* control, const char* text);
// Fills the box white.
void EraseControl(FrameBuffer& frame, const ImageControl* control);
// The program's inactive look: the control as drawn, washed two thirds of
// the way to white, so it reads as there but not to be pressed now.
void DimControl(FrameBuffer& frame, const ImageControl* control);
void EraseControl(FrameBuffer& frame, const TextControl* control);
// Whether the control exists and the pointer lies inside its box.
bool HitTest(const PointerEventRecord& pointer, const ImageControl* control);
bool HitTest(const PointerEventRecord& pointer, const TextControl* control);
// The notches of a turn of the wheel over the box (above 0: up); 0 for any
// other event. Every list scrolls by it.
int WheelOver(const PointerEventRecord& pointer, uint16_t x, uint16_t y, uint16_t w, uint16_t h);
int WheelOver(const PointerEventRecord& pointer, const ImageControl* control);

// The slot after the last one taken, wrapping to 0 after the pool's end.
ImageControl* NextImageSlot(Controls& c);
TextControl* NextTextSlot(Controls& c);

// A page's initialisation: names the record's page file, then hands out slots from 0
// of each pool, loading record 0, 1, 2 ... of the matching table into each.
class PageLoader {
 public:
  PageLoader(Controls& controls, const Storage& s, const PageRecord& page);
  ImageControl* Image();
  TextControl* Text();
  // LastImageSlot and LastTextSlot become the last slots handed out.
  void Finish();

 private:
  Controls& controls_;
  const Storage& storage_;
  int32_t images_ = 0;
  int32_t texts_ = 0;
};

}  // namespace trelvan
