#include "platform/win32/display_win32.h"

namespace tw {

namespace {

// Negative numbers are the system's "current" and "registry" pseudo-modes,
// never positions in the enumeration.
bool EnumDevMode(int number, DEVMODEA* devmode) {
  if (number < 0) return false;
  ZeroMemory(devmode, sizeof *devmode);
  devmode->dmSize = sizeof *devmode;
  return EnumDisplaySettingsA(nullptr, static_cast<DWORD>(number), devmode) != FALSE;
}

}  // namespace

bool Win32Display::EnumMode(int number, DisplayMode* mode) {
  DEVMODEA devmode;
  if (!EnumDevMode(number, &devmode)) return false;
  mode->bitsPerPel = devmode.dmBitsPerPel;
  mode->width = devmode.dmPelsWidth;
  mode->height = devmode.dmPelsHeight;
  mode->frequency = devmode.dmDisplayFrequency;
  return true;
}

DesktopMode Win32Display::Current() {
  DesktopMode desktop;
  desktop.width = GetSystemMetrics(SM_CXSCREEN);
  desktop.height = GetSystemMetrics(SM_CYSCREEN);
  // GetDC(null) is the screen's DC, which serves when the window is gone.
  HWND window = window_ != nullptr && IsWindow(window_) ? window_ : nullptr;
  HDC dc = GetDC(window);
  if (dc != nullptr) {
    desktop.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(window, dc);
  }
  DEVMODEA devmode;
  ZeroMemory(&devmode, sizeof devmode);
  devmode.dmSize = sizeof devmode;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &devmode)) {
    desktop.frequency = static_cast<int>(devmode.dmDisplayFrequency);
  }
  return desktop;
}

long Win32Display::ChangeTo(int number, bool store) {
  DEVMODEA devmode;
  if (!EnumDevMode(number, &devmode)) return DISP_CHANGE_BADMODE;
  return ChangeDisplaySettingsA(&devmode, store ? CDS_UPDATEREGISTRY : 0);
}

long Win32Display::RestoreRegistryMode() { return ChangeDisplaySettingsA(nullptr, 0); }

}  // namespace tw
