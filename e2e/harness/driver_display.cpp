#include "harness/driver_display.h"

#include <utility>

#include "harness/wait.h"

namespace e2e {

namespace {

constexpr DWORD kSwitchTimeoutMs = 5000;
constexpr DWORD kWatchStartTimeoutMs = 5000;
constexpr char kWatchClass[] = "TarnwickE2EDisplayWatch";

bool SameMode(const ScreenMode& a, const DEVMODEA& b) {
  return a.width == b.dmPelsWidth && a.height == b.dmPelsHeight &&
         a.bitsPerPixel == b.dmBitsPerPel;
}

}  // namespace

ScreenMode CurrentScreenMode() {
  ScreenMode mode;
  mode.width = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
  mode.height = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
  if (HDC screen = GetDC(nullptr)) {
    mode.bitsPerPixel = static_cast<DWORD>(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
  }
  return mode;
}

std::optional<ScreenMode> StoredScreenMode() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &mode)) return std::nullopt;
  return ScreenMode{mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel};
}

std::optional<DWORD> FindModeNumber(DWORD width, DWORD height, DWORD bitsPerPixel) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number) {
    if (mode.dmPelsWidth == width && mode.dmPelsHeight == height &&
        mode.dmBitsPerPel == bitsPerPixel) {
      return number;
    }
  }
  return std::nullopt;
}

DesktopModeGuard::DesktopModeGuard() {
  saved_.dmSize = sizeof saved_;
  valid_ = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &saved_) != FALSE;
}

DesktopModeGuard::~DesktopModeGuard() { Restore(); }

bool DesktopModeGuard::Restore() {
  if (!valid_) return false;
  // Also when the size is right again: the registry may still hold the mode a
  // test switched to.
  DEVMODEA mode = saved_;
  if (ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY) != DISP_CHANGE_SUCCESSFUL) return false;
  return WaitUntil([&] { return SameMode(CurrentScreenMode(), saved_); }, kSwitchTimeoutMs);
}

DisplayChangeWatch::DisplayChangeWatch(std::function<bool()> probe) : probe_(std::move(probe)) {
  HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (created == nullptr) return;
  thread_ = std::thread(&DisplayChangeWatch::Run, this, created);
  WaitForSingleObject(created, kWatchStartTimeoutMs);
  CloseHandle(created);
}

DisplayChangeWatch::~DisplayChangeWatch() {
  if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
  if (thread_.joinable()) thread_.join();
}

std::vector<DisplayChangeWatch::Change> DisplayChangeWatch::Changes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return changes_;
}

void DisplayChangeWatch::Run(HANDLE created) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &DisplayChangeWatch::WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWatchClass;
  RegisterClassA(&wc);  // fails harmlessly when an earlier watch registered it
  // Top-level, not message-only: broadcasts reach only top-level windows.
  window_ = CreateWindowA(kWatchClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                          wc.hInstance, this);
  SetEvent(created);
  if (window_ == nullptr) return;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

LRESULT CALLBACK DisplayChangeWatch::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<DisplayChangeWatch*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_DISPLAYCHANGE:
      if (self != nullptr) {
        Change change;
        change.width = LOWORD(lParam);
        change.height = HIWORD(lParam);
        change.probe = self->probe_ ? self->probe_() : false;
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->changes_.push_back(change);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace e2e
