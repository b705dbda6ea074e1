// The Windows entry point: window class, main window, message loop, and the
// window procedure that turns window messages into the shell's messages.
#include "platform/win32/win32_windows.h"

#include <mmsystem.h>

#include <cstddef>
#include <new>

#include "main/win32/resource_ids.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_instance.h"
#include "platform/win32/win32_libraries.h"
#include "platform/win32/win32_mapped_file.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_threads.h"
#include "platform/win32/win32_udp.h"
#include "platform/win32/win32_window.h"
#include "shell/assistant.h"

using namespace trelvan;

namespace {

constexpr int kWindowClassNameLength = 100;
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;

// Where the storage image lies in the Assistant, which is no standard-layout
// type: offsetof is then conditionally supported, and GCC supports it for a
// type without virtual bases.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
constexpr size_t kImageOffset = offsetof(Assistant, storage.image);
#pragma GCC diagnostic pop
constexpr UINT_PTR kTimerId = 1;

// What the window procedure works on; it hangs on the window's user data
// from WM_NCCREATE until the loop has ended. The Assistant arrives once the
// window exists; messages before that get the default handling.
struct WindowContext {
  Assistant* assistant;
  Win32Window* window;
};

WindowContext* ContextOf(HWND window) {
  return reinterpret_cast<WindowContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The session ends (logging off, shutting down, restarting for updates):
// the process may be ended as soon as WM_ENDSESSION returns, so the exit
// sequence runs inside it, the save included, unless it has run already.
// Meanwhile Windows shows why the program holds the end up. The reason's
// functions are looked up, as systems before Vista lack them.
void EndWithSession(HWND window, WindowContext& context) {
  if (context.window->QuitPosted()) return;
  using BlockReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
  using BlockReasonDestroy = BOOL(WINAPI*)(HWND);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto create = reinterpret_cast<BlockReasonCreate>(reinterpret_cast<void (*)()>(
      GetProcAddress(user32, "ShutdownBlockReasonCreate")));
  const auto destroy = reinterpret_cast<BlockReasonDestroy>(reinterpret_cast<void (*)()>(
      GetProcAddress(user32, "ShutdownBlockReasonDestroy")));
  const bool blocking = create && destroy && create(window, L"Saving the storage");
  MainWindowMessage(*context.assistant, Message::Destroy, 0, 0, 0);
  if (blocking) destroy(window);
}

// Gives the window a client area of the scaled 800 x 600 frame, with its
// outer top-left corner at (left, top). The border's own size is whatever
// the window has beyond its client area; after a change of scale that is
// known only once the window has taken the system's suggested rectangle
// (`first`, or null), so the window takes that first.
void SizeWindow(HWND window, const Win32Window& service, int left, int top, const RECT* first) {
  constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
  if (first) {
    SetWindowPos(window, nullptr, first->left, first->top, first->right - first->left,
                 first->bottom - first->top, kPlace);
  }
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int dw = (outer.right - outer.left) - (client.right - client.left);
  const int dh = (outer.bottom - outer.top) - (client.bottom - client.top);
  SetWindowPos(window, nullptr, left, top, service.Scaled(kClientWidth) + dw,
               service.Scaled(kClientHeight) + dh, kPlace);
}

// The client area centred on the screen.
void SizeAndCentre(HWND window, const Win32Window& service) {
  SizeWindow(window, service, (GetSystemMetrics(SM_CXSCREEN) - service.Scaled(kClientWidth)) / 2,
             (GetSystemMetrics(SM_CYSCREEN) - service.Scaled(kClientHeight)) / 2, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  WindowContext* context = ContextOf(window);
  if (context && message == WM_DPICHANGED) {
    // Moved to a monitor of another scale, or the scale changed: the
    // suggested place, the frame at the new scale.
    context->window->SetScale(ScaleOfDpi(LOWORD(wParam)));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SizeWindow(window, *context->window, suggested->left, suggested->top, suggested);
    ::InvalidateRect(window, nullptr, FALSE);
    return 0;
  }
  if (!context || !context->assistant) return DefWindowProcW(window, message, wParam, lParam);
  Assistant& a = *context->assistant;
  // Coordinates as the low and high words of lParam, unsigned, mapped back
  // from the scaled window to the frame.
  const uint32_t x = static_cast<uint32_t>(context->window->FramePixel(LOWORD(lParam)));
  const uint32_t y = static_cast<uint32_t>(context->window->FramePixel(HIWORD(lParam)));
  const uint32_t key = static_cast<uint32_t>(wParam);
  switch (message) {
    case WM_MOUSEMOVE: MainWindowMessage(a, Message::MouseMove, 0, x, y); return 0;
    case WM_LBUTTONDOWN: MainWindowMessage(a, Message::LeftButtonDown, 0, x, y); return 0;
    case WM_RBUTTONDOWN: MainWindowMessage(a, Message::RightButtonDown, 0, x, y); return 0;
    case WM_LBUTTONUP: MainWindowMessage(a, Message::LeftButtonUp, 0, x, y); return 0;
    case WM_RBUTTONUP: MainWindowMessage(a, Message::RightButtonUp, 0, x, y); return 0;
    case WM_MOUSEWHEEL: {
      // The wheel's place is on the screen, its turn in 120ths of a notch.
      POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      ScreenToClient(window, &at);
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      if (at.x < 0 || at.y < 0) return 0;
      MainWindowMessage(a, Message::MouseWheel, static_cast<uint32_t>(notches),
                        static_cast<uint32_t>(context->window->FramePixel(at.x)),
                        static_cast<uint32_t>(context->window->FramePixel(at.y)));
      return 0;
    }
    case WM_KEYDOWN: MainWindowMessage(a, Message::KeyDown, key, 0, 0); return 0;
    case WM_KEYUP: MainWindowMessage(a, Message::KeyUp, key, 0, 0); return 0;
    case WM_TIMER: MainWindowMessage(a, Message::Timer, 0, 0, 0); return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      context->window->SetPaintContext(dc);
      MainWindowMessage(a, Message::Paint, 0, 0, 0);
      context->window->SetPaintContext(nullptr);
      EndPaint(window, &paint);
      return 0;
    }
    // The close button asks first when an editor holds unsaved work; the
    // loop's end destroys the window.
    case WM_CLOSE: MainWindowMessage(a, Message::Close, 0, 0, 0); return 0;
    case WM_DESTROY: MainWindowMessage(a, Message::Destroy, 0, 0, 0); return 0;
    // Yes at once, as Windows asks: another program may still cancel the
    // end, and the save waits for WM_ENDSESSION, which says it goes ahead.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wParam) EndWithSession(window, *context);
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

ATOM RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRELVAN));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = className;
  wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  return RegisterClassExW(&wc);
}

// The Windows equivalent of a failure to start: a message box, status 1.
int CannotStart(const wchar_t* text) {
  MessageBoxW(nullptr, text, L"Trelvan Assistant", MB_OK | MB_ICONERROR);
  return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // One of the program's own message boxes (Win32Window::ShowMessageBox).
  if (const int box = RunMessageBoxIfAsked(); box >= 0) return box;
  wchar_t className[kWindowClassNameLength + 1] = {};
  LoadStringW(instance, IDS_WINDOW_CLASS, className, kWindowClassNameLength);

  // The window first: without one the program does not run, and the data
  // folder stays untouched.
  Win32Window windowService;
  WindowContext context{nullptr, &windowService};
  RegisterMainWindowClass(instance, className);
  HWND window = CreateWindowExW(0, className, L"Trelvan Assistant",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance,
                                &context);
  if (!window) return CannotStart(L"Trelvan Assistant cannot open its window.");

  Win32Files files(WindowsDataFolder(), WindowsResourceFolder());
  Win32Instance instanceLock;
  Win32Udp udp;
  Win32Threads threads;
  Win32Processes processes;
  Win32Hid hid;
  Win32Libraries libraries;
  Win32Settings settings;
  Win32Audio audio;
  // The Assistant holds the 128 MB storage image: it lives in memory of its
  // own, the image in a range the storage file can be mapped over.
  MappableMemory memory(sizeof(Assistant), kImageOffset, kImageSize);
  if (!memory.get()) {
    DestroyWindow(window);
    return CannotStart(L"Trelvan Assistant does not have enough memory to start.");
  }
  Assistant* assistant = new (memory.get()) Assistant(Platform{
      windowService, files, instanceLock, udp, threads, processes, hid, libraries, settings,
      audio});
  context.assistant = assistant;
  windowService.SetWindow(window);
  windowService.SetScale(ScaleOfDpi(WindowDpi(window)));
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  SizeAndCentre(window, windowService);
  MainWindowCreated(*assistant);
  // At the system's default resolution of about 15.6 ms a 10 ms timer fires
  // about 64 times a second, and every transfer runs at two thirds of its
  // speed. The timer stays a window timer, so the tick keeps its thread and
  // its order (and runs on in modal loops); only the resolution is raised,
  // for the program's lifetime.
  const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  SetTimer(window, kTimerId, kTickMilliseconds, nullptr);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_TRELVAN));
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // When a page or the start-up ended the loop the window is still there:
  // detach it from the Assistant before it goes.
  if (IsWindow(window)) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    windowService.SetWindow(nullptr);
    DestroyWindow(window);
  }
  if (fineTimer) timeEndPeriod(1);
  assistant->~Assistant();
  return static_cast<int>(msg.wParam);
}
