// The tray icon's tip: what Tarnwick is doing, at a glance.
#pragma once

#include <string>

namespace tw {

// The longest tip the first form of the icon record holds (64 bytes with
// the terminating NUL).
constexpr std::string::size_type kTrayTipLength = 63;

// "Tarnwick" while nothing is watched, "Tarnwick - NAME is running" while a
// watch runs; a name too long for the tip is shortened with "...", so the
// sentence still ends.
std::string TrayTip(const std::string& watchedProfile);

}  // namespace tw
