#include "ui/controls.h"

#include "storage/bytes.h"
#include "storage/text.h"
#include "ui/page_codec.h"
#include "ui/page_file.h"

namespace trelvan {

namespace {

const char* CollectionName(const Controls& controls, uint8_t source) {
  switch (source) {
    case kSourcePageFile: return controls.CurrentPageName;
    case kSourceCommon: return "TA Common";
    case kSourceButtons: return "TA Buttons";
    default: return nullptr;
  }
}

template <typename Control>
int HitBox(const PointerEventRecord& pointer, const Control* c) {
  if (!c) return 0;
  const int32_t px = pointer.x, py = pointer.y;
  return px >= c->x && px < c->x + c->w && py >= c->y && py < c->y + c->h;
}

template <typename Control>
void EraseBox(FrameBuffer& frame, const Control* c) {
  frame.PenColour = 0xFFFF;
  FillArea(frame, c->x, c->y, c->w, c->h);
}

}  // namespace

bool LoadImageControl(const Controls& controls, const Storage& s, ImageControl* slot, uint32_t k) {
  PageFile f;
  if (!OpenPageFile(s, controls.CurrentPageName, &f)) return false;
  return ReadImageRecord(PageFileReader(f), k, slot);
}

bool LoadTextControl(const Controls& controls, const Storage& s, TextControl* slot, uint32_t k) {
  PageFile f;
  if (!OpenPageFile(s, controls.CurrentPageName, &f)) return false;
  return ReadTextRecord(PageFileReader(f), k, slot);
}

bool DrawImageControl(Controls& controls, FrameBuffer& frame, const Storage& s,
                     const ImageControl* c) {
  if (!c) return false;
  const char* name = CollectionName(controls, c->source);
  PageFile f;
  PictureLocation p;
  if (!name || !OpenPageFile(s, name, &f)) return false;
  const PageReader reader = PageFileReader(f);
  if (!FindPicture(reader, c->pictureIndex, &p)) return false;
  uint8_t* row = controls.pictureRow;
  const uint32_t rowBytes = uint32_t{p.width} * 2;
  for (uint32_t j = 0; j < p.height; ++j) {
    reader.read(reader.source, p.pixels + uint64_t{rowBytes} * j, row, rowBytes);
    for (uint32_t i = 0; i < p.width; ++i) {
      frame.PenColour = ReadU16LE(row + 2 * i);
      PutPixel(frame, static_cast<uint16_t>(c->x + i), static_cast<uint16_t>(c->y + j));
    }
  }
  return true;
}

void DrawTextControl(FrameBuffer& frame, const TextControl* c, const char* text) {
  if (!c) return;
  if (!(c->flags & kTextNoBackground)) {
    frame.PenColour = c->backColour;
    FillArea(frame, c->x, c->y, c->w, c->h);
  }
  frame.PenColour = c->textColour;
  DrawString(frame, c->font, c->x, c->y, text, c->w, static_cast<uint8_t>(c->flags & 0xFF));
}

void FitText(uint8_t font, const char* text, int32_t width, char* out, uint16_t capacity) {
  if (capacity == 0) return;
  const bool whole = CopyText(text, out, capacity) == TextLength(text) + 1;
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(out);
  if (whole && TextWidth(font, bytes) <= width) return;
  static const uint8_t kDots[] = "...";
  const int32_t room = width - TextWidth(font, kDots);
  for (uint16_t n = TextLength(out);; --n) {  // the longest start that fits beside the dots
    out[n] = 0;
    if (n == 0 || (n + 4 <= capacity && out[n - 1] != ' ' && TextWidth(font, bytes) <= room)) break;
  }
  if (TextLength(out) + 4u <= capacity) AppendText("...", out);
}

void DrawFittedText(FrameBuffer& frame, const TextControl* c, const char* text) {
  if (!c) return;
  char fitted[kTextScanLimit];
  FitText(c->font, text, c->w, fitted, sizeof fitted);
  DrawTextControl(frame, c, fitted);
}

void EraseControl(FrameBuffer& frame, const ImageControl* c) { EraseBox(frame, c); }
void EraseControl(FrameBuffer& frame, const TextControl* c) { EraseBox(frame, c); }

void DimControl(FrameBuffer& frame, const ImageControl* c) {
  if (!c) return;
  const uint32_t right = c->x + c->w < kFrameWidth ? c->x + c->w : kFrameWidth;
  const uint32_t bottom = c->y + c->h < kFrameHeight ? c->y + c->h : kFrameHeight;
  if (c->x >= right || c->y >= bottom) return;
  for (uint32_t x = c->x; x < right; ++x) {
    for (uint32_t y = c->y; y < bottom; ++y) {
      uint32_t& pixel = frame.pixels[x * kFrameHeight + y];
      uint32_t washed = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t channel = (pixel >> shift) & 0xFFu;
        washed |= ((channel + 2u * 255u) / 3u) << shift;
      }
      pixel = washed;
    }
  }
  GrowDirtyRect(frame, static_cast<int32_t>(c->x), static_cast<int32_t>(c->y));
  GrowDirtyRect(frame, static_cast<int32_t>(right - 1), static_cast<int32_t>(bottom - 1));
}
bool HitTest(const PointerEventRecord& pointer, const ImageControl* c) { return HitBox(pointer, c); }
bool HitTest(const PointerEventRecord& pointer, const TextControl* c) { return HitBox(pointer, c); }

int WheelOver(const PointerEventRecord& pointer, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
  const ImageControl box{x, y, w, h, 0, 0};
  return pointer.state == kPointerWheel && HitBox(pointer, &box) ? pointer.wheel : 0;
}

int WheelOver(const PointerEventRecord& pointer, const ImageControl* c) {
  return c ? WheelOver(pointer, c->x, c->y, c->w, c->h) : 0;
}

ImageControl* NextImageSlot(Controls& c) {
  c.LastImageSlot = c.LastImageSlot + 1 >= kImageSlotCount ? 0 : c.LastImageSlot + 1;
  return &c.ImageSlots[c.LastImageSlot];
}

TextControl* NextTextSlot(Controls& c) {
  c.LastTextSlot = c.LastTextSlot + 1 >= kTextSlotCount ? 0 : c.LastTextSlot + 1;
  return &c.TextSlots[c.LastTextSlot];
}

PageLoader::PageLoader(Controls& controls, const Storage& s, const PageRecord& page)
    : controls_(controls), storage_(s) {
  CopyText(page.fileName, controls.CurrentPageName, kPageNameCapacity);
}

ImageControl* PageLoader::Image() {
  ImageControl* slot = &controls_.ImageSlots[images_ % kImageSlotCount];
  LoadImageControl(controls_, storage_, slot, static_cast<uint32_t>(images_));
  ++images_;
  return slot;
}

TextControl* PageLoader::Text() {
  TextControl* slot = &controls_.TextSlots[texts_ % kTextSlotCount];
  LoadTextControl(controls_, storage_, slot, static_cast<uint32_t>(texts_));
  ++texts_;
  return slot;
}

void PageLoader::Finish() {
  controls_.LastImageSlot = images_ - 1;
  controls_.LastTextSlot = texts_ - 1;
}

}  // namespace trelvan
