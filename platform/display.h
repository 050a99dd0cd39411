// The primary display's modes: enumeration, the current desktop, switching.
#pragma once

#include <cstdint>

namespace tw {

struct DisplayMode {
  uint32_t bitsPerPel = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frequency = 0;
};

struct DesktopMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int frequency = 0;  // refresh rate in Hz; 0 or 1 where the driver does not say
};

// ChangeDisplaySettingsA result codes.
namespace disp_change {
constexpr long kSuccessful = 0;
constexpr long kRestart = 1;
constexpr long kFailed = -1;
constexpr long kBadMode = -2;
constexpr long kNotUpdated = -3;
constexpr long kBadFlags = -4;
constexpr long kBadParam = -5;
}  // namespace disp_change

class Display {
 public:
  virtual ~Display() = default;
  // Fills `mode` with enumerated mode `number`; false past the last mode.
  virtual bool EnumMode(int number, DisplayMode* mode) = 0;
  // Screen size and colour depth of the desktop as it is now.
  virtual DesktopMode Current() = 0;
  // Switches to enumerated mode `number`; with `store` it also becomes the
  // display's stored mode (CDS_UPDATEREGISTRY). Returns the disp_change code.
  // Only called for a number that EnumMode has just accepted.
  virtual long ChangeTo(int number, bool store) = 0;
  // Back to the mode stored in the registry as the display's own; returns
  // the disp_change code.
  virtual long RestoreRegistryMode() = 0;
};

}  // namespace tw
