#include "driver/driver_access.h"

#include "store/registry_error.h"

namespace tw {

namespace {

// No driver setting or record has this name: deleting it changes nothing
// where writing is allowed, and is refused, like any write, where not.
constexpr char kProbeName[] = "Tarnwick write probe";

}  // namespace

bool DriverDenied(RegistryHandle& driverRegistry, const std::string& driverKey) {
  bool refused = false;
  for (const char* group : {"", "D3D", "Glide"}) {
    ScopedKey key(driverRegistry, driverKey + group, false);
    if (key.Refused()) {
      refused = true;
      continue;
    }
    if (!key) continue;  // a group made by the first write, as the key's rights allow
    try {
      driverRegistry.DeleteValue(kProbeName);
      return false;  // one key this account may write: its rights allow the driver
    } catch (const RegistryError&) {
      refused = true;
    }
  }
  return refused;
}

std::string DriverLockedNotice(bool administratorCan, const std::string& profile) {
  std::string text = "This account may not change the driver's settings";
  text += administratorCan ? "; an administrator account can." : ".";
  if (!profile.empty()) {
    text += " \"" + profile + "\" starts with the driver's settings as they are.";
  }
  return text;
}

}  // namespace tw
