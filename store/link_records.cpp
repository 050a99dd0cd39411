#include "store/link_records.h"

#include <cstdlib>

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr int kMaxEntry = 65535;

// The registry values of a link's record that hold what the link was, in
// the order they are written: between its "File" and its "Tarnwick".
struct TextValue {
  const char* name;
  std::string LinkFields::*field;
};
constexpr TextValue kTextValues[] = {
    {"Target", &LinkFields::target},
    {"Arguments", &LinkFields::arguments},
    {"Directory", &LinkFields::workingDirectory},
    {"Icon", &LinkFields::iconFile},
};
struct NumberValue {
  const char* name;
  int LinkFields::*field;
};
constexpr NumberValue kNumberValues[] = {
    {"Icon Index", &LinkFields::iconIndex},
    {"Show", &LinkFields::showCommand},
};

// The number of `place`'s last entry; 0 when it has none.
int LastEntry(RegistryHandle& reg, const std::string& place) {
  ScopedKey key(reg, place, false);
  std::vector<std::string> names;
  if (key.Refused() || (key && !reg.ListKeyNames(&names))) throw RegistryError::GetFailed(place);
  int last = 0;
  for (const std::string& name : names) {
    const long number = std::strtol(name.c_str(), nullptr, 10);
    // Only this program numbers the entries; a stray name is not one of them.
    if (number > last && number <= kMaxEntry) last = static_cast<int>(number);
  }
  return last;
}

}  // namespace

std::vector<AdoptedLink> ReadRecords(RegistryHandle& reg, const std::string& place,
                                     const std::string& profile) {
  const int last = LastEntry(reg, place);
  // By number, the order they were written; the registry lists subkeys in its own.
  std::vector<AdoptedLink> links;
  for (int number = 1; number <= last; ++number) {
    AdoptedLink link;
    link.entry = JoinKeyPath(place, std::to_string(number));
    ScopedKey key(reg, link.entry, false);
    if (key.Refused()) throw RegistryError::GetFailed(link.entry);
    if (!key) continue;
    link.file = reg.ReadString("File");
    for (const TextValue& value : kTextValues) link.original.*value.field = reg.ReadString(value.name);
    for (const NumberValue& value : kNumberValues) {
      if (reg.HasInteger(value.name)) link.original.*value.field = reg.ReadInteger(value.name);
    }
    link.tarnwick = reg.ReadString("Tarnwick");
    link.profile = profile.empty() ? reg.ReadString("Profile") : profile;
    links.push_back(link);
  }
  return links;
}

std::string NewRecord(RegistryHandle& reg, const std::string& place) {
  // The number is taken by creating its key: of two processes numbering at
  // once (two accounts adopting all users' links), the system tells one
  // that it made the key, and the other moves on to the next number.
  for (int number = LastEntry(reg, place) + 1; number <= kMaxEntry; ++number) {
    const std::string entry = JoinKeyPath(place, std::to_string(number));
    if (reg.CreateNewKey(entry)) return entry;
  }
  throw RegistryError::SetFailed(place);
}

void WriteRecord(RegistryHandle& reg, const std::string& entry, const AdoptedLink& link,
                 bool withProfile) {
  ScopedKey key(reg, entry, true);
  reg.WriteString("File", link.file);
  for (const TextValue& value : kTextValues) reg.WriteString(value.name, link.original.*value.field);
  for (const NumberValue& value : kNumberValues) {
    reg.WriteInteger(value.name, link.original.*value.field);
  }
  if (withProfile) reg.WriteString("Profile", link.profile);
  reg.WriteString("Tarnwick", link.tarnwick);
}

void DeleteRecord(RegistryHandle& reg, const std::string& entry) {
  const std::string place = entry.substr(0, FindLastChar(entry, "\\"));
  if (!reg.DeleteKey(entry) && reg.KeyExists(entry)) throw RegistryError::SetFailed(entry);
  bool empty;
  {
    ScopedKey key(reg, place, false);
    std::vector<std::string> names;
    empty = key && reg.ListKeyNames(&names) && names.empty();
  }
  if (empty) reg.DeleteKey(place);
}

std::optional<LinkFields> SharedLinkOriginal(RegistryHandle& machine, const std::string& profile) {
  for (const AdoptedLink& link : ReadRecords(machine, kSharedLinksKey, std::string())) {
    if (!link.tarnwick.empty() && AsciiUpper(link.profile) == AsciiUpper(profile)) {
      return link.original;
    }
  }
  return std::nullopt;
}

}  // namespace tw
