// The stored window position ("Left", "Top" in the program key): written by
// the editor when it closes, used to place the editor and the about box.
#pragma once

#include <cstdint>
#include <optional>

#include "store/registry_handle.h"

namespace tw {

struct StoredPosition {
  std::optional<int32_t> left;
  std::optional<int32_t> top;
};

// Each edge that is stored; a value of the wrong type raises the registry error.
StoredPosition ReadStoredPosition(RegistryHandle& programRegistry);

}  // namespace tw
