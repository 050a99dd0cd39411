#include "store/profile_transfer.h"

#include <exception>
#include <optional>

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr const char* kProgramPath[] = {"Software", "Hexmoor", "Tarnwick"};

// One key of a file, placed: which profile, and the path below the profile.
struct PlacedKey {
  std::string profile;
  std::string below;  // "" for the profile key itself, else "D3D", "D3D\Sub", ...
  const RegFileKey* key;
};

std::vector<std::string> SplitKeyPath(const std::string& path, bool* emptyPart) {
  const std::vector<std::string> parts = SplitAtChar(WithoutTrailing(path, '\\'), '\\');
  *emptyPart = false;
  for (const std::string& part : parts) *emptyPart = *emptyPart || part.empty();
  return parts;
}

bool SameNoCase(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

// The profile a file key belongs to, or false when it is not a profile key.
bool PlaceKey(const RegFileKey& key, PlacedKey* placed) {
  bool emptyPart = false;
  const std::vector<std::string> parts = SplitKeyPath(key.path, &emptyPart);
  if (emptyPart || parts.size() < 5) return false;
  if (!SameNoCase(parts[0], "HKEY_CURRENT_USER") && !SameNoCase(parts[0], "HKCU")) return false;
  for (int i = 0; i < 3; ++i) {
    if (!SameNoCase(parts[static_cast<size_t>(i) + 1], kProgramPath[i])) return false;
  }
  if (!IsValidProfileName(parts[4])) return false;
  placed->profile = parts[4];
  placed->below.clear();
  for (size_t i = 5; i < parts.size(); ++i) {
    if (!placed->below.empty()) placed->below += '\\';
    placed->below += parts[i];
  }
  placed->key = &key;
  return true;
}

bool ProfileExists(RegistryHandle& programRegistry, const std::string& profile) {
  return programRegistry.KeyExists(ProfileKeyPath(profile));
}

}  // namespace

void ExportTree(RegistryHandle& programRegistry, const std::string& path,
                const std::string& filePath, const TextCompare& compare, RegFile* file) {
  RegFileKey key;
  key.path = filePath;
  std::vector<std::string> children;
  {
    ScopedKey open(programRegistry, path, false);
    if (!open) return;
    for (const std::string& name : programRegistry.GetValueNames()) {
      RegFileValue value;
      value.name = name;
      if (programRegistry.ReadRaw(name, &value.value)) key.values.push_back(value);
    }
    children = programRegistry.GetKeyNames();
  }
  SortNoCase(children, compare);
  file->keys.push_back(key);
  for (const std::string& child : children) {
    // The adopted shortcuts are files of this machine, not part of a profile
    // another machine could use.
    if (AsciiUpper(child) == AsciiUpper(kAdoptedLinksKey)) continue;
    ExportTree(programRegistry, path + "\\" + child, filePath + "\\" + child, compare, file);
  }
}

namespace {

// One change the import made, so a failed import can take it back.
struct Change {
  std::string path;
  bool keyCreated = false;  // else a value: `name` with its former state
  std::string name;
  bool hadValue = false;
  RawValue former;
};

// Whether a key exists: a refused open is no answer. Taken for "missing",
// it would log the key as created, and taking the import back would delete
// a profile that was there before.
bool KeyFound(RegistryHandle& programRegistry, const std::string& path) {
  ScopedKey probe(programRegistry, path, false);
  if (probe.Refused()) throw RegistryError("Cannot open the key '" + path + "'");
  return static_cast<bool>(probe);
}

// A value's state before the import changes it; a read that fails ends the
// import, since a value taken for absent would be deleted when taking back.
Change Before(RegistryHandle& programRegistry, const std::string& path, const std::string& name) {
  Change change{path, false, name, false, {}};
  if (std::optional<RawValue> former = programRegistry.ReadValue(name)) {
    change.hadValue = true;
    change.former = *former;
  }
  return change;
}

// Writes placed keys, logging each change; throws the registry's error on
// a refused write. With `exact`, a key's values that the file does not name
// go: a switch is off by being absent, so merging would keep it on.
void WriteKeys(RegistryHandle& programRegistry, const std::vector<PlacedKey>& keys,
               const std::string& asName, bool exact, std::vector<Change>* log) {
  for (const PlacedKey& placed : keys) {
    const std::string profile = asName.empty() ? placed.profile : asName;
    // Each missing key from the profile's down is logged as created.
    std::string path = ProfileKeyPath(profile);
    bool emptyPart = false;
    const std::vector<std::string> below =
        placed.below.empty() ? std::vector<std::string>() : SplitKeyPath(placed.below, &emptyPart);
    for (size_t i = 0; i <= below.size(); ++i) {
      if (i > 0) path += "\\" + below[i - 1];
      if (!KeyFound(programRegistry, path)) log->push_back(Change{path, true, "", false, {}});
    }
    ScopedKey open(programRegistry, path, true);
    if (!open) throw RegistryError("Cannot create the key '" + path + "'");
    // A list the registry refuses would keep every switch on and call it done.
    std::vector<std::string> present;
    if (exact && !programRegistry.ListValueNames(&present)) {
      throw RegistryError("Cannot list the values of '" + path + "'");
    }
    for (const std::string& name : present) {
      bool named = false;
      for (const RegFileValue& value : placed.key->values) named = named || SameNoCase(value.name, name);
      if (named) continue;
      const Change change = Before(programRegistry, path, name);
      if (!programRegistry.DeleteValue(name)) throw RegistryError::SetFailed(name);
      log->push_back(change);
    }
    for (const RegFileValue& value : placed.key->values) {
      const Change change = Before(programRegistry, path, value.name);
      // A refused write changed nothing, so only done writes are logged.
      if (value.remove) {
        programRegistry.DeleteValue(value.name);
      } else {
        programRegistry.WriteRaw(value.name, value.value);
      }
      log->push_back(change);
    }
  }
}

// Takes the logged changes back, last first. Each step on its own: one that
// fails leaves the later ones still to be done. False when one could not be.
bool RollBack(RegistryHandle& programRegistry, const std::vector<Change>& log) {
  bool ok = true;
  for (auto it = log.rbegin(); it != log.rend(); ++it) {
    try {
      ScopedKey open(programRegistry, it->path, false);
      if (it->keyCreated) {
        if (open.Refused() || (open && !programRegistry.DeleteKey(it->path))) ok = false;
        continue;
      }
      if (!open) {
        // A key that is gone lost nothing only when the value was not there before.
        if (open.Refused() || it->hadValue) ok = false;
        continue;
      }
      if (it->hadValue) {
        programRegistry.WriteRaw(it->name, it->former);
      } else if (programRegistry.ValueExists(it->name)) {
        programRegistry.DeleteValue(it->name);
      }
    } catch (const std::exception&) {
      ok = false;
    }
  }
  return ok;
}

}  // namespace

bool IsValidProfileName(const std::string& name) {
  if (name.empty() || FindChar(name, '\\') != std::string::npos) return false;
  const auto isEdge = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  return !isEdge(name.front()) && !isEdge(name.back());
}

bool ExportProfiles(RegistryHandle& programRegistry, const std::vector<std::string>& names,
                    const TextCompare& compare, RegFile* file, std::string* error) {
  RegFile out;
  for (const std::string& name : names) {
    if (!IsValidProfileName(name) || !ProfileExists(programRegistry, name)) {
      *error = "No profile named '" + name + "'";
      return false;
    }
    ExportTree(programRegistry, ProfileKeyPath(name),
               std::string(kProgramKeyInFiles) + "\\" + name, compare, &out);
  }
  *file = out;
  return true;
}

bool ImportProfiles(RegistryHandle& programRegistry, const RegFile& file,
                    const ImportOptions& options, std::vector<std::string>* imported,
                    std::string* error) {
  // Everything is checked before anything is written.
  std::vector<PlacedKey> keys;
  std::vector<std::string> profiles;
  for (const RegFileKey& key : file.keys) {
    if (key.remove) {
      *error = "refused: the file deletes the key [" + key.path + "]; nothing was written";
      return false;
    }
    PlacedKey placed;
    if (!PlaceKey(key, &placed)) {
      *error = "refused: the file writes the key [" + key.path +
               "], which is not a Tarnwick profile; nothing was written";
      return false;
    }
    keys.push_back(placed);
    bool known = false;
    for (const std::string& p : profiles) known = known || SameNoCase(p, placed.profile);
    if (!known) profiles.push_back(placed.profile);
  }
  if (profiles.empty()) {
    *error = "the file holds no profile";
    return false;
  }
  if (!options.asName.empty()) {
    if (profiles.size() != 1) {
      *error = "--as needs a file with one profile; this one has " +
               std::to_string(profiles.size());
      return false;
    }
    if (!IsValidProfileName(options.asName)) {
      *error = "'" + options.asName + "' cannot be a profile name";
      return false;
    }
    profiles[0] = options.asName;
  }
  if (options.settingsOnly) {
    if (options.asName.empty() || !ProfileExists(programRegistry, options.asName)) {
      *error = "No profile named '" + options.asName + "'; nothing was written";
      return false;
    }
    std::vector<PlacedKey> settings;
    for (const PlacedKey& placed : keys) {
      if (SameNoCase(placed.below, "D3D") || SameNoCase(placed.below, "Glide")) {
        settings.push_back(placed);
      }
    }
    if (settings.empty()) {
      *error = "the file holds no D3D or Glide settings";
      return false;
    }
    keys = settings;
  }
  for (const std::string& profile : profiles) {
    if (!options.replace && !options.settingsOnly && ProfileExists(programRegistry, profile)) {
      *error = "a profile named '" + profile +
               "' exists; add --replace to write over it. Nothing was written";
      return false;
    }
  }

  std::vector<Change> log;
  try {
    WriteKeys(programRegistry, keys, options.asName, options.settingsOnly, &log);
  } catch (const std::exception& failure) {
    const bool restored = RollBack(programRegistry, log);
    *error = std::string(failure.what()) +
             (restored ? "; the profiles were left as they were"
                       : "; the profiles could not all be put back as they were");
    return false;
  }
  *imported = profiles;
  return true;
}

}  // namespace tw
