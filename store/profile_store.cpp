#include "store/profile_store.h"

#include "platform/ansi_text.h"
#include "store/registry_error.h"
#include "store/setting_catalogue.h"

namespace tw {

namespace {

constexpr const char* kD3DSubkey = "D3D";
constexpr const char* kGlideSubkey = "Glide";

// The level-of-detail bias of each group: the setting whose texts the older
// decimal form and the older single previous value belong to.
struct LodSetting {
  const char* subkey;
  const char* valueName;
};
constexpr LodSetting kLodSettings[] = {
    {kD3DSubkey, "SSTH3_LOD_BIAS"},
    {kGlideSubkey, "FX_GLIDE_LOD_BIAS"},
};

// "-1.50" -> "-1", "0.75" -> "0"; texts of one or two characters stay. A
// signed positive text keeps its sign with its digit ("+1.00" -> "+1"), which
// reads as that number; cut to the sign alone it would read as no number.
std::string ShortenLodText(const std::string& text) {
  if (text.size() <= 2) return text;
  return text.substr(0, text[0] == '-' || text[0] == '+' ? 2 : 1);
}

}  // namespace

std::string ProfileKeyPath(const std::string& profile) { return kProgramKey + profile; }

std::string JoinKeyPath(const std::string& key, const std::string& subkey) {
  // One backslash between the two, however many the key already ends with:
  // an empty part inside a path is not a key name every registry accepts.
  return WithoutTrailing(key, '\\') + "\\" + subkey;
}

std::string ProfileGroupPath(const std::string& profile, const char* subkey) {
  return JoinKeyPath(ProfileKeyPath(profile), subkey);
}

std::string DriverGroupPath(const std::string& driverKey, const char* subkey) {
  return JoinKeyPath(driverKey, subkey);
}

void SortNoCase(std::vector<std::string>& names, const TextCompare& compare) {
  // An insertion sort: stable like the library's, whose merging paths cost
  // the exe about 2 KB, and quick enough for the few names of a key.
  for (size_t i = 1; i < names.size(); ++i) {
    for (size_t j = i; j > 0 && compare.CompareNoCase(names[j], names[j - 1]) < 0; --j) {
      names[j].swap(names[j - 1]);
    }
  }
}

std::vector<std::string> ListProfiles(RegistryHandle& programRegistry, const TextCompare& compare) {
  std::vector<std::string> names;
  {
    ScopedKey key(programRegistry, kProgramKey, true);
    if (!key) return names;
    names = programRegistry.GetKeyNames();
  }
  SortNoCase(names, compare);
  return names;
}

void ConvertLegacyLodBias(RegistryHandle& programRegistry, const std::string& profile) {
  for (const LodSetting& lod : kLodSettings) {
    // A group that does not exist holds nothing to convert; creating it would
    // bring back part of a profile whose removal the registry refused half-way.
    ScopedKey key(programRegistry, ProfileGroupPath(profile, lod.subkey), false);
    if (!key) continue;
    const std::string text = programRegistry.ReadString(lod.valueName);
    const std::string shortened = ShortenLodText(text);
    if (shortened != text) programRegistry.WriteString(lod.valueName, shortened);
  }
}

void ConvertPreviousLodValue(RegistryHandle& driverRegistry, const std::string& driverKey) {
  // Without a driver key the paths would land at the root of the machine key.
  if (RegistryHandle::NormalizePath(driverKey).empty()) return;
  for (const LodSetting& lod : kLodSettings) {
    // A group that does not exist holds nothing to convert, and creating it
    // here would fail for a limited user; one the registry refuses might.
    ScopedKey key(driverRegistry, DriverGroupPath(driverKey, lod.subkey), false);
    if (key.Refused()) throw RegistryError::SetFailed(kPreviousLodValue);
    if (!key) continue;
    // Only a text can be converted; anything else is not the old value and
    // stays, rather than ending every start with a type error.
    if (!driverRegistry.HasString(kPreviousLodValue)) continue;
    const std::string text = driverRegistry.ReadString(kPreviousLodValue);
    // Written before the old value goes, so a refused write loses nothing.
    driverRegistry.WriteString(std::string(kPrevPrefix) + lod.valueName, text);
    driverRegistry.DeleteValue(kPreviousLodValue);
  }
}

void RemoveStore(RegistryHandle& programRegistry) {
  ScopedKey maker(programRegistry, kMakerKey, true);
  if (!maker) return;
  if (programRegistry.KeyExists(kProgramKey)) programRegistry.DeleteKey(kProgramKey);
}

void RemoveProfile(RegistryHandle& programRegistry, const std::string& profile) {
  // An empty name would name the program key itself and take every profile.
  if (RegistryHandle::NormalizePath(profile).empty()) return;
  const std::string path = ProfileKeyPath(profile);
  if (!programRegistry.DeleteKey(path) && programRegistry.KeyExists(path)) {
    throw RegistryError::SetFailed(profile);
  }
}

}  // namespace tw
