#include <string>
#include <vector>

#include "shell/startup.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr const char* kWin98DisplayClass = "System\\CurrentControlSet\\Services\\Class\\Display\\";
constexpr const char* kWin2000Service = "System\\CurrentControlSet\\Services\\3dfxvs\\";
constexpr const char* kDriverDescValue = "DriverDesc";
constexpr const char* kAdapterStringValue = "Hardwareinformation.Adapterstring";

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  std::string::size_type i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

void Log(StartupView* log, const std::string& line) {
  if (log != nullptr) log->AddLogLine(line);
}

// The direct subkeys of `base` in the order the system sorts names, or
// nothing when the key cannot be opened. The search only reads: creating the
// layout it looks for would leave an empty "Class" or "3dfxvs" entry in the
// machine's service list on every start without a card of that layout.
bool SortedSubkeys(RegistryHandle& registry, const std::string& base, const TextCompare& compare,
                   std::vector<std::string>& names) {
  ScopedKey key(registry, base, false);
  if (!key) return false;
  names = registry.GetKeyNames();
  SortNoCase(names, compare);
  return true;
}

// The description of an open adapter key. A description that cannot be read
// as text is no description: one odd adapter entry must not end the search.
std::string ReadDescription(RegistryHandle& registry, bool& present) {
  present = false;
  if (!registry.ValueExists(kDriverDescValue)) return std::string();
  try {
    std::string description = registry.ReadString(kDriverDescValue);
    present = true;
    return description;
  } catch (const RegistryError&) {
    return std::string();
  }
}

// Windows 95/98: adapters numbered below the display class, each with a
// description.
bool SearchWin98Layout(RegistryHandle& registry, const TextCompare& compare, std::string& found,
                       StartupView* log) {
  Log(log, "[Windows 95/98 check]");
  const std::string base = kWin98DisplayClass;
  std::vector<std::string> names;
  if (!SortedSubkeys(registry, base, compare, names)) return false;
  for (const std::string& name : names) {
    ScopedKey key(registry, base + name, false);
    Log(log, "OpenKey: " + base + name);
    bool present = false;
    const std::string description = ReadDescription(registry, present);
    if (!present) continue;
    Log(log, "DriverDescription: " + description);
    if (IsVoodooDescription(description)) {
      Log(log, "Voodoo found");
      found = base + name + "\\";
      return true;
    }
  }
  return false;
}

// Windows 2000: the driver's service key with one "DEVICE" subkey per
// installed adapter.
bool SearchWin2000Layout(RegistryHandle& registry, const TextCompare& compare, std::string& found,
                         StartupView* log) {
  Log(log, "[Windows 2000 check]");
  const std::string base = kWin2000Service;
  std::vector<std::string> names;
  if (!SortedSubkeys(registry, base, compare, names)) return false;
  for (const std::string& name : names) {
    if (!StartsWithNoCase(name, "DEVICE")) continue;
    ScopedKey key(registry, base + name, false);
    Log(log, "OpenKey: " + base + name);
    if (registry.ValueExists(kAdapterStringValue)) {
      Log(log, "3Dfx driver found");
      found = base + name + "\\";
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsVoodooDescription(const std::string& description) {
  // "VOODOO" followed by the model digit; a missing or non-digit seventh
  // character names no model and is simply no match.
  if (StartsWithNoCase(description, "VOODOO")) {
    if (description.size() >= 7 && description[6] >= '4' && description[6] <= '9') return true;
  }
  return StartsWithNoCase(description, "OMEGA");
}

bool FindDriverKey(RegistryHandle& driverRegistry, const TextCompare& compare,
                   std::string& driverKey, StartupView* log) {
  return SearchWin98Layout(driverRegistry, compare, driverKey, log) ||
         SearchWin2000Layout(driverRegistry, compare, driverKey, log);
}

bool DetectVoodoo(RegistryHandle& driverRegistry, RegistryHandle& programRegistry,
                  RegistryHandle& startupRegistry, const TextCompare& compare,
                  StartupState& state, StartupView* log) {
  std::string found;
  if (!FindDriverKey(driverRegistry, compare, found, log)) {
    state.noCard = true;
    return false;
  }
  state.driverKey = found;
  state.noCard = false;
  {
    ScopedKey key(startupRegistry, kRunKey, true);
    state.startupChecked = startupRegistry.ValueExists(kRunValue);
  }
  {
    ScopedKey key(programRegistry, kProgramKey, true);
    // A wrong-typed value reads as missing: the default is written over it,
    // so a hand-edited registry cannot end every start.
    if (programRegistry.HasInteger(kReloadSettingsValue)) {
      state.reloadChecked = programRegistry.ReadBool(kReloadSettingsValue);
    } else {
      state.reloadChecked = true;
      programRegistry.WriteBool(kReloadSettingsValue, true);
    }
  }
  ConvertPreviousLodValue(driverRegistry, state.driverKey);
  return true;
}

}  // namespace tw
