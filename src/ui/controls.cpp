#include "ui/controls.h"

#include "shell/assistant.h"
#include "storage/bytes.h"
#include "storage/text.h"
#include "ui/page_codec.h"
#include "ui/page_file.h"

namespace trelvan {

namespace {

const char* CollectionName(const Assistant& a, uint8_t source) {
  switch (source) {
    case kSourcePageFile: return a.controls.CurrentPageName;
    case kSourceCommon: return "TA Common";
    case kSourceButtons: return "TA Buttons";
    default: return nullptr;
  }
}

template <typename Control>
int HitBox(const Assistant& a, const Control* c) {
  if (!c) return 0;
  const int32_t px = a.shell.PointerEvent.x, py = a.shell.PointerEvent.y;
  return px >= c->x && px < c->x + c->w && py >= c->y && py < c->y + c->h;
}

template <typename Control>
void EraseBox(Assistant& a, const Control* c) {
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, c->x, c->y, c->w, c->h);
}

}  // namespace

int LoadImageControl(Assistant& a, ImageControl* slot, uint32_t k) {
  PageFile f;
  if (!OpenPageFile(a.storage, a.controls.CurrentPageName, &f)) return 0;
  return ReadImageRecord(PageFileReader(f), k, slot) ? 1 : 0;
}

int LoadTextControl(Assistant& a, TextControl* slot, uint32_t k) {
  PageFile f;
  if (!OpenPageFile(a.storage, a.controls.CurrentPageName, &f)) return 0;
  return ReadTextRecord(PageFileReader(f), k, slot) ? 1 : 0;
}

int DrawImageControl(Assistant& a, const ImageControl* c) {
  if (!c) return 0;
  const char* name = CollectionName(a, c->source);
  PageFile f;
  PictureLocation p;
  if (!name || !OpenPageFile(a.storage, name, &f)) return 0;
  const PageReader reader = PageFileReader(f);
  if (!FindPicture(reader, c->pictureIndex, &p)) return 0;
  uint8_t* row = a.controls.pictureRow;
  const uint32_t rowBytes = uint32_t{p.width} * 2;
  for (uint32_t j = 0; j < p.height; ++j) {
    reader.read(reader.source, p.pixels + uint64_t{rowBytes} * j, row, rowBytes);
    for (uint32_t i = 0; i < p.width; ++i) {
      a.frame.PenColour = ReadU16LE(row + 2 * i);
      PutPixel(a.frame, static_cast<uint16_t>(c->x + i), static_cast<uint16_t>(c->y + j));
    }
  }
  return 1;
}

void DrawTextControl(Assistant& a, const TextControl* c, const char* text) {
  if (!c) return;
  if (!(c->flags & kTextNoBackground)) {
    a.frame.PenColour = c->backColour;
    FillArea(a.frame, c->x, c->y, c->w, c->h);
  }
  a.frame.PenColour = c->textColour;
  DrawString(a.frame, c->font, c->x, c->y, text, c->w, static_cast<uint8_t>(c->flags & 0xFF));
}

void EraseControl(Assistant& a, const ImageControl* c) { EraseBox(a, c); }
void EraseControl(Assistant& a, const TextControl* c) { EraseBox(a, c); }
int HitTest(const Assistant& a, const ImageControl* c) { return HitBox(a, c); }
int HitTest(const Assistant& a, const TextControl* c) { return HitBox(a, c); }

ImageControl* NextImageSlot(Controls& c) {
  c.LastImageSlot = c.LastImageSlot + 1 >= kImageSlotCount ? 0 : c.LastImageSlot + 1;
  return &c.ImageSlots[c.LastImageSlot];
}

TextControl* NextTextSlot(Controls& c) {
  c.LastTextSlot = c.LastTextSlot + 1 >= kTextSlotCount ? 0 : c.LastTextSlot + 1;
  return &c.TextSlots[c.LastTextSlot];
}

PageLoader::PageLoader(Assistant& a, const char* pageFileName) : a_(a) {
  CopyText(pageFileName, a.controls.CurrentPageName, kPageNameCapacity);
}

ImageControl* PageLoader::Image() {
  ImageControl* slot = &a_.controls.ImageSlots[images_ % kImageSlotCount];
  LoadImageControl(a_, slot, static_cast<uint32_t>(images_));
  ++images_;
  return slot;
}

TextControl* PageLoader::Text() {
  TextControl* slot = &a_.controls.TextSlots[texts_ % kTextSlotCount];
  LoadTextControl(a_, slot, static_cast<uint32_t>(texts_));
  ++texts_;
  return slot;
}

void PageLoader::Finish() {
  a_.controls.LastImageSlot = images_ - 1;
  a_.controls.LastTextSlot = texts_ - 1;
}

}  // namespace trelvan
