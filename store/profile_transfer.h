// Profiles as registry files, for sharing: export a profile's key tree, and
// import one that touches nothing but profile keys under the program's key.
#pragma once

#include <string>
#include <vector>

#include "platform/text_compare.h"
#include "store/reg_file.h"
#include "store/registry_handle.h"

namespace tw {

// The program key as a .reg file names it.
constexpr const char* kProgramKeyInFiles = "HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick";

// Each named profile's key and everything below it, parents before
// children, subkeys in the given order. False, with a message, when a name
// has no profile; `file` is then untouched.
bool ExportProfiles(RegistryHandle& programRegistry, const std::vector<std::string>& names,
                    const TextCompare& compare, RegFile* file, std::string* error);

// Appends the key at `path` and everything below it in file form, named
// `filePath` there: the key's values, then each subkey, sorted. Nothing
// when the key does not exist.
void ExportTree(RegistryHandle& registry, const std::string& path, const std::string& filePath,
                const TextCompare& compare, RegFile* file);

struct ImportOptions {
  std::string asName;    // import the file's one profile under this name
  bool replace = false;  // a profile that exists may be written over
  // With asName: only the file's D3D and Glide keys, into the existing
  // profile asName, whose program, folder and other launch data stay.
  bool settingsOnly = false;
};

// Merges the file's profiles into the registry: values the file sets are
// written, values it deletes are deleted, every other value is kept. The
// whole file is checked first: a key that is not a profile key, a key
// deletion, a profile that exists without `replace`, or a bad --as name
// writes nothing; so does --settings-only for a profile that does not exist.
// A write the registry refuses (or an open or read it fails, which would
// leave the state before unknown) puts the touched profiles back as they
// were: each change is taken back, last first, a failed step not stopping
// the others. On success `imported` holds the profile names written.
bool ImportProfiles(RegistryHandle& programRegistry, const RegFile& file,
                    const ImportOptions& options, std::vector<std::string>* imported,
                    std::string* error);

// Whether a name can be a profile: a key name the menus and the command line
// can carry (not empty, no backslash, no blanks or control characters at
// either end).
bool IsValidProfileName(const std::string& name);

}  // namespace tw
