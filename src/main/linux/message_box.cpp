#include "main/linux/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/sdl_window.h"
#include "ui/fonts.h"
#include "ui/frame_buffer.h"

namespace trelvan {

namespace {

constexpr uint8_t kBoxFont = 0;
constexpr int kMargin = 16;
constexpr int kLineGap = 2;
constexpr int kMinWidth = 240;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr uint16_t kBlack = 0x0000;
constexpr uint16_t kGrey = 0xC618;  // Colour16 of a light grey

// The text's lines, tabs as blanks; as many as fit on the frame.
std::vector<std::string> Lines(const char* text, int lineHeight) {
  std::vector<std::string> lines(1);
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += *c == '\t' ? ' ' : *c;
    }
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  const size_t fit = (kFrameHeight - 3 * kMargin - kButtonHeight) / lineHeight;
  if (lines.size() > fit) lines.resize(fit);
  return lines;
}

struct Box {
  int width = kMinWidth;
  int height = 0;
  SDL_Rect button{};
};

// Draws the box into the frame's top left corner.
Box Draw(FrameBuffer& f, const std::vector<std::string>& lines, int lineHeight) {
  Box box;
  for (const std::string& line : lines) {
    const int w = TextWidth(kBoxFont, reinterpret_cast<const uint8_t*>(line.c_str()));
    box.width = std::max(box.width, std::min(w + 2 * kMargin, kFrameWidth));
  }
  box.height = kMargin + static_cast<int>(lines.size()) * lineHeight + kMargin + kButtonHeight + kMargin;
  box.button = {(box.width - kButtonWidth) / 2, box.height - kMargin - kButtonHeight, kButtonWidth,
                kButtonHeight};
  ClearFrameBuffer(f);
  f.PenColour = kBlack;
  for (size_t i = 0; i < lines.size(); ++i) {
    DrawString(f, kBoxFont, kMargin, kMargin + static_cast<int>(i) * lineHeight, lines[i].c_str(), 0, 0);
  }
  const SDL_Rect& b = box.button;
  FillArea(f, b.x, b.y, b.w, b.h);
  f.PenColour = kGrey;
  FillArea(f, b.x + 1, b.y + 1, b.w - 2, b.h - 2);
  f.PenColour = kBlack;
  const int fontHeight = FontTable(kBoxFont)[1];
  DrawString(f, kBoxFont, b.x, b.y + (b.h - fontHeight) / 2, "OK", b.w, kDrawCentred);
  return box;
}

// Copies the box from the frame (column-major, 0x00BBGGRR) to the window.
void Present(SDL_Window* window, const FrameBuffer& f, const Box& box) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return;
  std::vector<uint32_t> rows(static_cast<size_t>(box.width) * box.height);
  for (int y = 0; y < box.height; ++y) {
    for (int x = 0; x < box.width; ++x) rows[y * box.width + x] = f.pixels[x * kFrameHeight + y];
  }
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  SDL_ConvertPixels(box.width, box.height, SDL_PIXELFORMAT_BGR888, rows.data(), box.width * 4,
                    surface->format->format, surface->pixels, surface->pitch);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurface(window);
}

bool Inside(const SDL_Rect& r, int x, int y) {
  return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

}  // namespace

int RunMessageBoxIfAsked(int argc, char** argv) {
  if (argc != 5 || strcmp(argv[1], kMessageBoxSwitch) != 0) return -1;
  const char* text = argv[4];
  const int lineHeight = FontTable(kBoxFont)[1] + kLineGap;
  const std::vector<std::string> lines = Lines(text, lineHeight);
  std::unique_ptr<FrameBuffer> frame(new FrameBuffer{});
  frame->width = kFrameWidth;
  frame->height = kFrameHeight;
  const Box box = Draw(*frame, lines, lineHeight);

  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  ChooseVideoDrivers();
  SDL_Window* window = nullptr;
  if (InitSdlWithoutCompose(SDL_INIT_VIDEO) == 0) {
    window = SDL_CreateWindow("Message", atoi(argv[2]) - box.width / 2, atoi(argv[3]) - box.height / 2,
                              box.width, box.height, SDL_WINDOW_SHOWN);
  }
  if (!window) {
    fprintf(stderr, "The message could not be shown in a box (%s): %s\n", SDL_GetError(), text);
    SDL_Quit();
    return 1;
  }
  Present(window, *frame, box);
  bool pressed = false;  // the button went down inside it
  SDL_Keycode key = SDLK_UNKNOWN;  // the last key pressed
  bool open = true;
  SDL_Event e;
  while (open && SDL_WaitEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        open = false;
        break;
      case SDL_WINDOWEVENT:
        // Shown, exposed, moved, focused: each may have lost the drawing.
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          open = false;
        } else {
          Present(window, *frame, box);
        }
        break;
      // On the key's release, as the button's: the key's whole press
      // reaches this window.
      case SDL_KEYDOWN:
        key = e.key.keysym.sym;
        break;
      case SDL_KEYUP:
        if (e.key.keysym.sym == key && (key == SDLK_RETURN || key == SDLK_KP_ENTER ||
                                        key == SDLK_ESCAPE || key == SDLK_SPACE)) {
          open = false;
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        pressed = e.button.button == SDL_BUTTON_LEFT && Inside(box.button, e.button.x, e.button.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (pressed && Inside(box.button, e.button.x, e.button.y)) open = false;
        pressed = false;
        break;
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

}  // namespace trelvan
