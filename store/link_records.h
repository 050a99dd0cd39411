// The records of adopted links in the registry: numbered entries under a
// place (a profile's "Adopted Shortcuts", the kept place of a user's
// records, the machine's place for all users' links), each holding the
// link's file, what it held before, and the Tarnwick it was pointed at.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/shell_links.h"
#include "store/registry_handle.h"

namespace tw {

// Under HKEY_LOCAL_MACHINE: what an adopted all-users link held, readable by
// every account, writable by whoever may rewrite such a link.
constexpr const char* kSharedLinksKey = "\\Software\\Hexmoor\\Tarnwick Shared Shortcuts\\";

// One adopted link as recorded: its file, what it held before, the Tarnwick
// executable it was pointed at, the profile it starts.
struct AdoptedLink {
  std::string file;
  LinkFields original;
  std::string tarnwick;
  std::string profile;
  std::string entry;  // the record's key
};

// The records of `place`, by number, the order they were written; each
// names `profile`, or the profile it holds itself when that is empty. A
// place the registry will not open or list raises, rather than pass for empty.
std::vector<AdoptedLink> ReadRecords(RegistryHandle& reg, const std::string& place,
                                     const std::string& profile);
// A new entry of `place`, after its last: its key, made now and made by
// this call alone.
std::string NewRecord(RegistryHandle& reg, const std::string& place);
// "Tarnwick" is written last: an entry without it was cut off before its
// link was changed. `withProfile`: the entry names its profile itself.
void WriteRecord(RegistryHandle& reg, const std::string& entry, const AdoptedLink& link,
                 bool withProfile);
// One entry goes; its place too once it surely holds no other.
void DeleteRecord(RegistryHandle& reg, const std::string& entry);

// What the all-users link adopted for `profile` held, for an account without
// that profile; none when no whole record names it.
std::optional<LinkFields> SharedLinkOriginal(RegistryHandle& machine, const std::string& profile);

}  // namespace tw
