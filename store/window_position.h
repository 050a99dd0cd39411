// The stored window position ("Left", "Top" in the program key): written by
// the editor when it closes, used to place the editor and the about box.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/controls.h"
#include "store/registry_handle.h"

namespace tw {

struct StoredPosition {
  std::optional<int32_t> left;
  std::optional<int32_t> top;
};

// Each edge that is stored; a value of the wrong type raises the registry error.
StoredPosition ReadStoredPosition(RegistryHandle& programRegistry);

// Where a window asked to open at `window` is shown. A stored place may lie
// off a desktop that has since become smaller (Tarnwick switches modes
// itself): the whole window is brought inside the work area when it fits,
// otherwise its top-left corner, so its caption can still be reached.
Bounds FitIntoWorkArea(const Bounds& window, const Bounds& workArea);

}  // namespace tw
