// The Linux entry point: the SDL2 window, its events turned into the shell's
// messages, and the 10 ms timer.
#include <SDL.h>

#include <memory>

#include "platform/linux/sdl_keys.h"
#include "platform/linux/sdl_platform.h"
#include "shell/assistant.h"

using namespace trelvan;

namespace {

void HandleEvent(Assistant& a, SdlPlatform& platform, const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      // As a window's lParam: the low 16 bits of each coordinate, unsigned.
      MainWindowMessage(a, Message::MouseMove, 0, static_cast<uint16_t>(e.motion.x),
                        static_cast<uint16_t>(e.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      Message m;
      if (e.button.button == SDL_BUTTON_LEFT) {
        m = down ? Message::LeftButtonDown : Message::LeftButtonUp;
      } else if (e.button.button == SDL_BUTTON_RIGHT) {
        m = down ? Message::RightButtonDown : Message::RightButtonUp;
      } else {
        break;
      }
      if (e.button.clicks > 1 && down) break;  // double-clicks are not handled
      MainWindowMessage(a, m, 0, static_cast<uint16_t>(e.button.x),
                        static_cast<uint16_t>(e.button.y));
      break;
    }
    case SDL_MOUSEWHEEL:
      MainWindowMessage(a, Message::MouseWheel, 0, 0, 0);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const uint32_t vk = VirtualKeyFromSdl(e.key.keysym.sym);
      if (vk == 0) break;
      MainWindowMessage(a, e.type == SDL_KEYDOWN ? Message::KeyDown : Message::KeyUp, vk, 0, 0);
      break;
    }
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        MainWindowMessage(a, Message::Paint, 0, 0, 0);
      }
      break;
    case SDL_QUIT:
      MainWindowMessage(a, Message::Destroy, 0, 0, 0);
      break;
    default:
      if (platform.TakeTimerEvent(e)) MainWindowMessage(a, Message::Timer, 0, 0, 0);
      break;
  }
}

}  // namespace

int main(int, char**) {
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return 0;
  SDL_Window* window = SDL_CreateWindow("Trelvan Assistant", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, 800, 600, SDL_WINDOW_SHOWN);
  if (!window) {
    SDL_Quit();
    return 0;
  }
  int code = 0;
  {
    SdlPlatform platform(LinuxDataFolder(), window);
    auto assistant = std::make_unique<Assistant>(platform);
    Assistant& a = *assistant;
    MainWindowCreated(a);
    platform.StartTimer();
    SDL_Event e;
    while (!platform.QuitPosted(&code) && SDL_WaitEvent(&e)) {
      HandleEvent(a, platform, e);
      if (platform.TakeRepaint()) MainWindowMessage(a, Message::Paint, 0, 0, 0);
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return code;
}
