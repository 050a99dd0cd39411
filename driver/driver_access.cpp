#include "driver/driver_access.h"

#include "store/registry_error.h"

namespace tw {

namespace {

// No driver setting or record has this name: deleting it changes nothing
// where writing is allowed, and is refused, like any write, where not.
constexpr char kProbeName[] = "Tarnwick write probe";

// How many of the driver's keys (itself and its groups) this account may
// write, and how many the system refuses.
void ProbeDriverKeys(RegistryHandle& driverRegistry, const std::string& driverKey, int* writable,
                     int* refused) {
  *writable = *refused = 0;
  for (const char* group : {"", "D3D", "Glide"}) {
    ScopedKey key(driverRegistry, driverKey + group, false);
    if (key.Refused()) {
      ++*refused;
      continue;
    }
    if (!key) continue;  // a group made by the first write, as the key's rights allow
    try {
      driverRegistry.DeleteValue(kProbeName);
      ++*writable;
    } catch (const RegistryError&) {
      ++*refused;
    }
  }
}

}  // namespace

bool DriverWritable(RegistryHandle& driverRegistry, const std::string& driverKey) {
  int writable, refused;
  ProbeDriverKeys(driverRegistry, driverKey, &writable, &refused);
  return refused == 0;
}

bool DriverDenied(RegistryHandle& driverRegistry, const std::string& driverKey) {
  int writable, refused;
  ProbeDriverKeys(driverRegistry, driverKey, &writable, &refused);
  return writable == 0 && refused > 0;
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
