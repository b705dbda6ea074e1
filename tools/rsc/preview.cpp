#include "preview.h"

#include <memory>
#include <string>

#include "ui/frame_buffer.h"

namespace rsc {

namespace {

using trelvan::FrameBuffer;

std::unique_ptr<FrameBuffer> NewFrame() {
  std::unique_ptr<FrameBuffer> f(new FrameBuffer());
  f->width = trelvan::kFrameWidth;
  f->height = trelvan::kFrameHeight;
  f->PenColour = 0xFFFF;
  trelvan::FillArea(*f, 0, 0, trelvan::kFrameWidth, trelvan::kFrameHeight);
  return f;
}

void DrawPicture(FrameBuffer& f, const Canvas& c, int x, int y) {
  for (int j = 0; j < c.h; ++j) {
    for (int i = 0; i < c.w; ++i) {
      f.PenColour = ToColour16(c.px[j * c.w + i]);
      trelvan::PutPixel(f, x + i, y + j);
    }
  }
}

void DrawImage(FrameBuffer& f, const trelvan::ImageControl& c, const Layout& page,
               const Layout* common, const Layout* buttons) {
  const Layout* from = c.source == trelvan::kSourcePageFile ? &page
                       : c.source == trelvan::kSourceCommon ? common
                                                            : buttons;
  if (!from || c.pictureIndex >= from->pictures.size()) return;
  DrawPicture(f, from->pictures[c.pictureIndex].canvas, c.x, c.y);
}

void DrawText(FrameBuffer& f, const trelvan::TextControl& c, const std::string& caption) {
  if (!(c.flags & trelvan::kTextNoBackground)) {
    f.PenColour = c.backColour;
    trelvan::FillArea(f, c.x, c.y, c.w, c.h);
  }
  f.PenColour = c.textColour;
  trelvan::DrawString(f, c.font, c.x, c.y, caption.c_str(), c.w, static_cast<uint8_t>(c.flags));
}

void ToImage(const FrameBuffer& f, trelvan::RgbImage* out) {
  out->width = trelvan::kFrameWidth;
  out->height = trelvan::kFrameHeight;
  out->rgb.resize(static_cast<size_t>(out->width) * out->height * 3);
  for (int y = 0; y < out->height; ++y) {
    for (int x = 0; x < out->width; ++x) {
      const uint32_t p = f.pixels[x * trelvan::kFrameHeight + y];
      uint8_t* o = &out->rgb[(static_cast<size_t>(y) * out->width + x) * 3];
      o[0] = static_cast<uint8_t>(p);
      o[1] = static_cast<uint8_t>(p >> 8);
      o[2] = static_cast<uint8_t>(p >> 16);
    }
  }
}

// "Row {n}" with {n} replaced by k + 1.
std::string Numbered(const std::string& text, int k) {
  std::string s = text;
  const size_t at = s.find("{n}");
  if (at != std::string::npos) s.replace(at, 3, std::to_string(k + 1));
  return s;
}

}  // namespace

void RenderPage(const Layout& page, const Layout* common, const Layout* buttons,
                trelvan::RgbImage* out) {
  std::unique_ptr<FrameBuffer> f = NewFrame();
  for (const ImageRecord& r : page.images) {
    if (!r.hidden) DrawImage(*f, r.control, page, common, buttons);
  }
  for (const TextRecord& r : page.texts) {
    if (!r.hidden) DrawText(*f, r.control, r.sample);
  }
  for (const Sample& s : page.samples) {
    for (int k = 0; k < s.count; ++k) {
      const int dx = s.dx * (k % s.columns), dy = s.dy * (k / s.columns);
      if (s.isImage) {
        trelvan::ImageControl c = s.image.control;
        c.x = static_cast<uint16_t>(c.x + dx);
        c.y = static_cast<uint16_t>(c.y + dy);
        if (c.source == trelvan::kSourceButtons) c.pictureIndex = static_cast<uint16_t>(c.pictureIndex + k);
        DrawImage(*f, c, page, common, buttons);
      } else {
        const TextRecord& r = s.text;
        trelvan::TextControl c = r.control;
        c.x = static_cast<uint16_t>(c.x + dx);
        c.y = static_cast<uint16_t>(c.y + dy);
        std::string caption = Numbered(r.sample, k);
        if (r.each) caption = k < static_cast<int>(r.sample.size()) ? r.sample.substr(k, 1) : "";
        DrawText(*f, c, caption);
      }
    }
  }
  ToImage(*f, out);
}

void RenderSheet(const Layout& file, trelvan::RgbImage* out) {
  std::unique_ptr<FrameBuffer> f = NewFrame();
  // cells as wide as the widest picture (at least 60), packed in rows
  int cellW = 60, cellH = 20;
  for (const Picture& p : file.pictures) {
    if (p.canvas.w > cellW) cellW = p.canvas.w;
    if (p.canvas.h > cellH) cellH = p.canvas.h;
  }
  cellW += 12;
  cellH += 20;
  const int columns = cellW < 790 ? 790 / cellW : 1;
  f->PenColour = 0xE73C;  // light grey behind each cell shows the picture's edges
  for (size_t k = 0; k < file.pictures.size(); ++k) {
    const int x = 6 + static_cast<int>(k % columns) * cellW;
    const int y = 6 + static_cast<int>(k / columns) * cellH;
    const Canvas& c = file.pictures[k].canvas;
    f->PenColour = 0xE73C;
    trelvan::FillArea(*f, static_cast<uint16_t>(x - 1), static_cast<uint16_t>(y - 1),
                      static_cast<uint16_t>(c.w + 2), static_cast<uint16_t>(c.h + 2));
    DrawPicture(*f, c, x, y);
    f->PenColour = 0x0000;
    const std::string label = std::to_string(k);
    trelvan::DrawString(*f, 1, static_cast<uint16_t>(x), y + c.h + 2, label.c_str(), 0, 0);
  }
  ToImage(*f, out);
}

}  // namespace rsc
