// The program's registry layout and the operations on it.
#pragma once

#include <string>
#include <vector>

#include "platform/text_compare.h"
#include "store/registry_handle.h"

namespace tw {

constexpr const char* kProgramKey = "\\Software\\Hexmoor\\Tarnwick\\";
constexpr const char* kMakerKey = "\\Software\\Hexmoor\\";
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kUserDefaultProfile = "User Default";
constexpr const char* kPreviousLodValue = "Previous LOD value";
// A profile's subkey recording its adopted shortcuts (store/link_adoption.h).
constexpr const char* kAdoptedLinksKey = "Adopted Shortcuts";
// Records of adopted shortcuts that could not be put back when their profile
// went: outside the program key, so that removing Tarnwick's settings keeps
// the only way back for those links.
constexpr const char* kKeptLinksKey = "\\Software\\Hexmoor\\Tarnwick Adopted Shortcuts\\";

// Values of the program key.
constexpr const char* kVoodooTypeValue = "VoodooType";
constexpr const char* kReloadSettingsValue = "Reload settings";
constexpr const char* kRunValue = "Tarnwick";

// Paths from the handle's root.
std::string JoinKeyPath(const std::string& key, const std::string& subkey);
std::string ProfileKeyPath(const std::string& profile);
std::string ProfileGroupPath(const std::string& profile, const char* subkey);  // "D3D" / "Glide"
std::string DriverGroupPath(const std::string& driverKey, const char* subkey);

// Profile key names in the locale's case-insensitive order; "User Default"
// included when it exists. Empty when the program key cannot be opened.
std::vector<std::string> ListProfiles(RegistryHandle& programRegistry, const TextCompare& compare);

// Sorts names the way the system's case-insensitive comparison orders them.
void SortNoCase(std::vector<std::string>& names, const TextCompare& compare);

// Shortens an older decimal level-of-detail text in one profile.
void ConvertLegacyLodBias(RegistryHandle& programRegistry, const std::string& profile);

// Moves an older "Previous LOD value" of each driver group into the "Prev "
// value of that group's level-of-detail setting.
void ConvertPreviousLodValue(RegistryHandle& driverRegistry, const std::string& driverKey);

// Deletes "\Software\Hexmoor\Tarnwick\" with everything below; keeps the maker key.
void RemoveStore(RegistryHandle& programRegistry);

// Deletes one profile's key with its subkeys. A key the registry will not
// let go raises "Failed to set data for '%s'" with the profile's name.
void RemoveProfile(RegistryHandle& programRegistry, const std::string& profile);

}  // namespace tw
