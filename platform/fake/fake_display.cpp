#include "platform/fake/fake_display.h"

#include <cstddef>

namespace tw {

bool FakeDisplay::EnumMode(int number, DisplayMode* mode) {
  if (number < 0 || static_cast<size_t>(number) >= modes_.size()) return false;
  *mode = modes_[static_cast<size_t>(number)];
  return true;
}

long FakeDisplay::ChangeTo(int number) {
  changeCalls_.push_back(number);
  if (changeResult_ == disp_change::kSuccessful && number >= 0 &&
      static_cast<size_t>(number) < modes_.size()) {
    const DisplayMode& mode = modes_[static_cast<size_t>(number)];
    current_.width = static_cast<int>(mode.width);
    current_.height = static_cast<int>(mode.height);
    current_.bitsPerPixel = static_cast<int>(mode.bitsPerPel);
  }
  return changeResult_;
}

}  // namespace tw
