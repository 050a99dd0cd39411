#include "platform/fake/fake_display.h"

#include <cstddef>

namespace tw {

bool FakeDisplay::EnumMode(int number, DisplayMode* mode) {
  if (number < 0 || static_cast<size_t>(number) >= modes_.size()) return false;
  *mode = modes_[static_cast<size_t>(number)];
  return true;
}

long FakeDisplay::ChangeTo(int number, bool store) {
  changeCalls_.push_back(number);
  if (number >= 0 && number == refusedMode_) return disp_change::kBadMode;
  if (changeResult_ == disp_change::kSuccessful && number >= 0 &&
      static_cast<size_t>(number) < modes_.size()) {
    // Until something is stored, the desktop before the first switch is
    // the display's stored mode.
    if (!storedKnown_) stored_ = current_;
    storedKnown_ = true;
    const DisplayMode& mode = modes_[static_cast<size_t>(number)];
    current_ = {static_cast<int>(mode.width), static_cast<int>(mode.height),
                static_cast<int>(mode.bitsPerPel), static_cast<int>(mode.frequency)};
    if (store) {
      storedMode_ = number;
      stored_ = current_;
    }
  }
  return changeResult_;
}

long FakeDisplay::RestoreRegistryMode() {
  ++registryRestores_;
  if (changeResult_ == disp_change::kSuccessful && storedKnown_) current_ = stored_;
  return changeResult_;
}

}  // namespace tw
