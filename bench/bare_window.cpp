// The start bench's floor: the least an SDL program does before its first
// frame on this display. The same SDL settings as the program (the window
// surface as shared memory, made hidden and then shown, the timer), one fill
// and one present; it writes "first frame" on standard error then and waits
// to be killed. No storage, no pages: what it takes is SDL's and the X
// server's share of the program's start.
//
// With "--loaded" it writes "first frame" as soon as main() runs: the time
// the dynamic loader takes to bring in SDL and the libraries it needs.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/linux/sdl_window.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--loaded") == 0) {
    std::fprintf(stderr, "first frame\n");
    for (;;) SDL_Delay(1000);
  }
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (trelvan::InitSdlWithoutCompose(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("bare window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        800, 600, SDL_WINDOW_HIDDEN);
  if (!window) return 1;
  SDL_ShowWindow(window);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return 1;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x20, 0x40, 0x60));
  SDL_UpdateWindowSurface(window);
  std::fprintf(stderr, "first frame\n");
  for (;;) SDL_Delay(1000);
}
