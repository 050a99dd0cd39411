// The desktop's display modes as the test process sees them, and putting the
// desktop back after a test switched it (a Wine virtual desktop really
// changes size, and keeps it for every later program of the prefix).
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace e2e {

struct ScreenMode {
  DWORD width = 0;
  DWORD height = 0;
  DWORD bitsPerPixel = 0;
};

// The desktop now: GetSystemMetrics and the screen's colour depth.
ScreenMode CurrentScreenMode();

// The display's stored mode (what Windows would boot into); none where
// nothing is stored.
std::optional<ScreenMode> StoredScreenMode();

// The number of the first enumerated mode with this size and depth.
std::optional<DWORD> FindModeNumber(DWORD width, DWORD height, DWORD bitsPerPixel);

// Remembers the current display mode and switches back to it (stored in the
// registry too, as the program under test stores its switches) when it goes.
class DesktopModeGuard {
 public:
  DesktopModeGuard();
  ~DesktopModeGuard();
  DesktopModeGuard(const DesktopModeGuard&) = delete;
  DesktopModeGuard& operator=(const DesktopModeGuard&) = delete;

  // Switches back now; false when the desktop does not return to the mode.
  bool Restore();

 private:
  DEVMODEA saved_ = {};
  bool valid_ = false;
};

// Listens for WM_DISPLAYCHANGE with a hidden top-level window on a thread of
// its own. The system sends that message to every top-level window while the
// program that switched still waits in ChangeDisplaySettings, so what `probe`
// finds in the handler is the state of things at the moment of the switch.
class DisplayChangeWatch {
 public:
  struct Change {
    DWORD width = 0;
    DWORD height = 0;
    bool probe = false;  // what `probe` answered then
  };

  explicit DisplayChangeWatch(std::function<bool()> probe);
  ~DisplayChangeWatch();
  DisplayChangeWatch(const DisplayChangeWatch&) = delete;
  DisplayChangeWatch& operator=(const DisplayChangeWatch&) = delete;

  bool Listening() const { return window_ != nullptr; }
  std::vector<Change> Changes() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run(HANDLE created);

  std::function<bool()> probe_;
  HWND window_ = nullptr;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<Change> changes_;
};

}  // namespace e2e
