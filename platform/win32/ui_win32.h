// Message boxes, the exit-watch timer and posted messages on the real main
// window.
#pragma once

#include <windows.h>

#include "platform/ui.h"

namespace tw {

constexpr const char* kApplicationTitle = "Tarnwick";

class Win32UserInterface : public UserInterface {
 public:
  void SetMainWindow(HWND window) { window_ = window; }
  void Notice(const std::string& text) override;
  void ErrorReport(const std::string& text) override;
  void PostToMainWindow(unsigned message) override;

 private:
  HWND window_ = nullptr;
};

// A window timer of the main window; ticks arrive as WM_TIMER with its id.
class Win32Timer : public Timer {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  explicit Win32Timer(unsigned interval, UINT_PTR id = kTimerId) : id_(id), interval_(interval) {}
  UINT_PTR Id() const { return id_; }
  void SetWindow(HWND window) { window_ = window; }
  void SetInterval(unsigned milliseconds) override;
  unsigned Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_;
  unsigned interval_;
  bool enabled_ = false;
};

}  // namespace tw
