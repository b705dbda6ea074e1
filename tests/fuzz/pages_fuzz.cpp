// Fuzz target: page files and the picture collections "TA Common" and
// "TA Buttons" from the input, stored and then loaded into every control
// slot, drawn, erased and hit-tested as a page does. Drawing stays inside
// the frame's pixels.
//
// One input: a flags byte (bit 0: the page file has no FileHeader), then
// the page file's data, "TA Common" and "TA Buttons", each after a 16-bit
// length (the last takes what is left).
#include "fuzz_common.h"
#include "ui/controls.h"
#include "ui/frame_buffer.h"
#include "ui/page_codec.h"

namespace trelvan::fuzz {
namespace {

constexpr char kPageName[] = "TA Fuzz";

// Page data of `images` image and `texts` text controls over one picture of
// w x h pixels, written by the codec the resource compiler uses.
Bytes PageData(uint16_t images, uint16_t texts, uint16_t w, uint16_t h, uint8_t source) {
  const std::vector<uint16_t> pixels(size_t{w} * h, 0x1234);
  const PagePicture picture = {w, h, pixels.data()};
  std::vector<ImageControl> image(images);
  std::vector<TextControl> text(texts);
  for (uint16_t i = 0; i < images; ++i) {
    image[i] = {uint16_t(i * 37 % 800), uint16_t(i * 53 % 600), w, h, source, 0};
  }
  for (uint16_t i = 0; i < texts; ++i) {
    text[i] = {uint16_t(i * 41 % 800), uint16_t(i * 29 % 600), 200, 30, uint8_t(i % 3),
               uint16_t(i % 2 ? kTextCentred : kTextNoBackground), 0x001F, 0xFFFF};
  }
  const PageContent content = {&picture, 1, image.data(), images, text.data(), texts};
  Bytes data(PageDataSize(content));
  data.resize(EncodePageData(content, data.data(), static_cast<uint32_t>(data.size())));
  return data;
}

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const Bytes page = PageData(12, 5, 40, 30, kSourcePageFile);
  seeds.Add("page", EncodeParts(0, {page}));
  seeds.Add("collections", EncodeParts(0, {PageData(8, 2, 4, 3, kSourceCommon),
                                      PageData(0, 0, 90, 20, 0), PageData(0, 0, 7, 7, 0)}));
  seeds.Add("buttons", EncodeParts(0, {PageData(78, 20, 16, 16, kSourceButtons), {}, page}));
  seeds.Add("edges", EncodeParts(0, {PageData(3, 3, 800, 2, kSourcePageFile)}));
  seeds.Add("no-header", EncodeParts(1, {page}));
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::vector<Bytes> parts = DecodeParts(data, size, 3);

  Storage& s = Remounted(ErasedStorage());
  StoreWhole(s, (data[0] & 1) ? parts[0] : WithHeader(kPageName, "Page", parts[0]));
  StoreWhole(s, WithHeader("TA Common", "Pictures", parts[1]));
  StoreWhole(s, WithHeader("TA Buttons", "Pictures", parts[2]));

  static Controls& controls = *new Controls;
  static FrameBuffer& frame = *new FrameBuffer;
  controls = Controls{};
  frame.width = kFrameWidth;
  frame.height = kFrameHeight;
  frame.FrameDirty = 0;
  const PageRecord page = {kPageName, "Fuzz", nullptr};
  PageLoader loader(controls, s, page);
  for (int i = 0; i < kImageSlotCount; ++i) loader.Image();
  for (int i = 0; i < kTextSlotCount; ++i) loader.Text();
  loader.Finish();
  // Every slot is loaded (records past a short table read whatever follows);
  // a few first and last ones are drawn, tested and erased.
  PointerEventRecord pointer = {kPointerPressed, 0, 0, 0, 1, 0};
  for (int i = 0; i < kImageSlotCount; i = i == 3 ? kImageSlotCount - 2 : i + 1) {
    const ImageControl* c = &controls.ImageSlots[i];
    DrawImageControl(controls, frame, s, c);
    pointer.x = c->x + c->w / 2;
    pointer.y = c->y + c->h / 2;
    HitTest(pointer, c);
    EraseControl(frame, c);
  }
  for (int i = 0; i < kTextSlotCount; i = i == 3 ? kTextSlotCount - 2 : i + 1) {
    const TextControl* c = &controls.TextSlots[i];
    DrawTextControl(frame, c, "Fuzz gy ~|{} 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJ");
    HitTest(pointer, c);
    EraseControl(frame, c);
  }
  // Records far past any table.
  ImageControl image;
  TextControl text;
  LoadImageControl(controls, s, &image, 0xFFFFFFFFu);
  LoadTextControl(controls, s, &text, 0x80000000u);
  static const std::vector<uint32_t> zero(sizeof frame.blit / sizeof frame.blit[0]);
  if (std::memcmp(frame.blit, zero.data(), sizeof frame.blit) != 0) {
    Fail("drawing wrote past the frame's pixels");
  }
  return 0;
}

}  // namespace trelvan::fuzz
