// A display with a mode list set by the test. Switching really changes the
// current desktop, so a scan after a switch finds the new mode.
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
  long ChangeTo(int number) override;
  long RestoreRegistryMode() override {
    ++registryRestores_;
    return changeResult_;
  }

  void SetModes(std::vector<DisplayMode> modes) { modes_ = std::move(modes); }
  void SetCurrent(const DesktopMode& desktop) { current_ = desktop; }
  // The result of the following ChangeTo calls; success moves the desktop.
  void SetChangeResult(long code) { changeResult_ = code; }
  // Mode numbers ChangeTo was called with, in order.
  const std::vector<int>& ChangeCalls() const { return changeCalls_; }
  int RegistryRestores() const { return registryRestores_; }

 private:
  std::vector<DisplayMode> modes_;
  DesktopMode current_;
  long changeResult_ = disp_change::kSuccessful;
  std::vector<int> changeCalls_;
  int registryRestores_ = 0;
};

}  // namespace tw
