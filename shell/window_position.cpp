#include "shell/window_position.h"

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

}  // namespace tw
