// The limit Tarnwick's footprint is measured against: the least a tray
// program can be. A hidden window, one notification-area icon, a message
// loop, nothing else. Built by the same compiler with the same runtime
// options as tarnwick.exe.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1;
constexpr UINT kIconId = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: {
      NOTIFYICONDATAA icon = {};
      icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
      icon.hWnd = window;
      icon.uID = kIconId;
      Shell_NotifyIconA(NIM_DELETE, &icon);
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "MinimalTray";
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowA("MinimalTray", "Minimal tray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  if (!window) return 1;

  NOTIFYICONDATAA icon = {};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window;
  icon.uID = kIconId;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpynA(icon.szTip, "Minimal tray", sizeof icon.szTip);
  if (!Shell_NotifyIconA(NIM_ADD, &icon)) return 1;

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
