#include "store/window_position.h"

#include "store/profile_store.h"

namespace tw {

StoredPosition ReadStoredPosition(RegistryHandle& programRegistry) {
  StoredPosition position;
  ScopedKey key(programRegistry, kProgramKey, true);
  if (!key) return position;
  if (programRegistry.ValueExists("Left")) position.left = programRegistry.ReadInteger("Left");
  if (programRegistry.ValueExists("Top")) position.top = programRegistry.ReadInteger("Top");
  return position;
}

namespace {

int FitSpan(int start, int length, int areaStart, int areaLength) {
  const int last = areaStart + areaLength - (length < areaLength ? length : areaLength);
  return start > last ? last : (start < areaStart ? areaStart : start);
}

}  // namespace

Bounds FitIntoWorkArea(const Bounds& window, const Bounds& workArea) {
  Bounds shown = window;
  shown.left = FitSpan(window.left, window.width, workArea.left, workArea.width);
  shown.top = FitSpan(window.top, window.height, workArea.top, workArea.height);
  return shown;
}

}  // namespace tw
