// Whether this account may change the driver's settings. On 2000/XP the
// driver's key belongs to the machine: a limited account reads it but may
// not write it. Runs then start their games with the driver as it is, and
// the tray and the live editor say so before anything fails.
#pragma once

#include <string>

#include "store/registry_handle.h"

namespace tw {

// Whether the system denies this account every key of the driver: an
// account's rights, rather than one key or value that refuses. Only asks
// the system; changes nothing.
bool DriverDenied(RegistryHandle& driverRegistry, const std::string& driverKey);

// The notice; `administratorCan` on 2000/XP. With a profile's name, for its
// run, which starts the game all the same.
std::string DriverLockedNotice(bool administratorCan, const std::string& profile = std::string());

}  // namespace tw
