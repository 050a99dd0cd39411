// A display with a mode list set by the test. Switching really changes the
// current desktop, so a scan after a switch finds the new mode; a stored
// switch is remembered as the display's own mode, which a registry restore
// returns to.
#pragma once

#include <utility>
#include <vector>

#include "platform/display.h"

namespace tw {

class FakeDisplay : public Display {
 public:
  FakeDisplay() = default;
  explicit FakeDisplay(std::vector<DisplayMode> modes) : modes_(std::move(modes)) {}

  bool EnumMode(int number, DisplayMode* mode) override;
  DesktopMode Current() override { return current_; }
  long ChangeTo(int number, bool store) override;
  long RestoreRegistryMode() override;

  void SetModes(std::vector<DisplayMode> modes) { modes_ = std::move(modes); }
  void SetCurrent(const DesktopMode& desktop) { current_ = desktop; }
  // The result of the following ChangeTo calls; success moves the desktop.
  void SetChangeResult(long code) { changeResult_ = code; }
  // One mode the monitor will not take (kBadMode); -1: none. Going back to
  // another mode still works.
  void RefuseMode(int number) { refusedMode_ = number; }
  // Mode numbers ChangeTo was called with, in order.
  const std::vector<int>& ChangeCalls() const { return changeCalls_; }
  int RegistryRestores() const { return registryRestores_; }
  // The mode number last stored as the display's own; -1 while none was.
  int StoredMode() const { return storedMode_; }

 private:
  std::vector<DisplayMode> modes_;
  DesktopMode current_;
  long changeResult_ = disp_change::kSuccessful;
  int refusedMode_ = -1;
  std::vector<int> changeCalls_;
  int registryRestores_ = 0;
  int storedMode_ = -1;
  DesktopMode stored_;
  bool storedKnown_ = false;
};

}  // namespace tw
