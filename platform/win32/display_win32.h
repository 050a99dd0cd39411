// The primary display through the Win32 display-settings calls.
#pragma once

#include <windows.h>

#include "platform/display.h"

namespace tw {

class Win32Display : public Display {
 public:
  // `window`: whose drawing surface tells the colour depth; null (or until
  // SetWindow) means the screen's.
  explicit Win32Display(HWND window = nullptr) : window_(window) {}
  void SetWindow(HWND window) { window_ = window; }

  bool EnumMode(int number, DisplayMode* mode) override;
  DesktopMode Current() override;
  long ChangeTo(int number, bool store) override;
  long RestoreRegistryMode() override;

 private:
  HWND window_;
};

}  // namespace tw
