#include "platform/win32/ui_win32.h"

#include "platform/error_report.h"

namespace tw {

void Win32UserInterface::Notice(const std::string& text) {
  MessageBoxA(window_, text.c_str(), kApplicationTitle, MB_OK);
}

void Win32UserInterface::ErrorReport(const std::string& text) {
  MessageBoxA(window_, ErrorReportText(text).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

void Win32UserInterface::PostToMainWindow(unsigned message) {
  PostMessageA(window_, message, 0, 0);
}

void Win32Timer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  // A running timer takes the new interval at once, as a re-armed one would.
  if (enabled_) enabled_ = SetTimer(window_, id_, interval_, nullptr) != 0;
}

void Win32Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (enabled) {
    enabled_ = SetTimer(window_, id_, interval_, nullptr) != 0;
  } else {
    KillTimer(window_, id_);
    enabled_ = false;
  }
}

}  // namespace tw
