#include <string>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

#include "shell/startup.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr const char* kWin98DisplayClass = "System\\CurrentControlSet\\Services\\Class\\Display\\";
constexpr const char* kWin2000Service = "System\\CurrentControlSet\\Services\\3dfxvs\\";
constexpr const char* kPciDevices = "Enum\\PCI\\";
constexpr const char* kDriverDescValue = "DriverDesc";
constexpr const char* kAdapterStringValue = "Hardwareinformation.Adapterstring";
constexpr const char* kDeviceNodes = "Config Manager\\Enum\\";
constexpr const char* kHardwareKeyValue = "HardWareKey";
// The PCI identities of the chip on every Voodoo4 and Voodoo5 board: vendor
// 121A, device 0009 (the driver's setup also lists 000B). Voodoo3 (0005) and
// Banshee (0003) are older chips this program does not support.
constexpr const char* kVsa100Devices[] = {"VEN_121A&DEV_0009", "VEN_121A&DEV_000B"};

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsWithNoCase(const std::string& text, const char* prefix, std::string::size_type at = 0) {
  std::string::size_type i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (at + i >= text.size()) return false;
    char c = text[at + i];
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

// A text value of the open key. One that cannot be read as text counts as
// absent: one odd entry must not end the search.
bool ReadText(RegistryHandle& registry, const char* name, std::string& text) {
  RawValue raw;
  if (!registry.ReadRaw(name, &raw) || !RegistryHandle::IsText(raw)) return false;
  text = RegistryHandle::TextOf(raw);
  return true;
}

// The miniport stores the adapter's name as UTF-16 in a binary value; its
// letters are plain ASCII, anything else is kept as "?".
std::string AdapterStringText(const RawValue& raw) {
  if (RegistryHandle::IsText(raw)) return RegistryHandle::TextOf(raw);
  std::string text;
  for (std::string::size_type i = 0; i + 1 < raw.bytes.size(); i += 2) {
    const unsigned unit = static_cast<unsigned char>(raw.bytes[i]) |
                          static_cast<unsigned>(static_cast<unsigned char>(raw.bytes[i + 1])) << 8;
    if (unit == 0) break;
    text += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return text;
}

// A device key ("VEN_121A&DEV_0009&SUBSYS_...") or an instance path below
// it. Windows 95 names the device by vendor and device alone
// ("VEN_121A&DEV_0009\BUS_01&..."), so the identity may end at either.
bool IsVsa100Device(const std::string& deviceKey) {
  for (const char* id : kVsa100Devices) {
    const std::string::size_type length = std::char_traits<char>::length(id);
    if (StartsWithNoCase(deviceKey, id) &&
        (deviceKey.size() == length || deviceKey[length] == '&' || deviceKey[length] == '\\')) {
      return true;
    }
  }
  return false;
}

// A VSA-100 instance of Windows 98/ME's PCI list: its device key, its
// instance below that, and its own description.
struct PciInstance {
  std::string device;
  std::string instance;
  std::string description;
  std::string Path() const { return kPciDevices + device + "\\" + instance; }
};

// The VSA-100 instance whose "Driver" value ("Display\0001") binds it to the
// display adapter `adapter`. Only reads: the list is the system's own.
bool FindPciDevice(RegistryHandle& registry, const TextCompare& compare, const std::string& adapter,
                   PciInstance& found) {
  const std::string wanted = AsciiLower("Display\\" + adapter);
  std::vector<std::string> devices;
  if (!SortedSubkeys(registry, kPciDevices, compare, devices)) return false;
  for (const std::string& name : devices) {
    if (!IsVsa100Device(name)) continue;
    const std::string base = kPciDevices + name + "\\";
    std::vector<std::string> instances;
    if (!SortedSubkeys(registry, base, compare, instances)) continue;
    for (const std::string& instance : instances) {
      ScopedKey key(registry, base + instance, false);
      std::string driver;
      if (!ReadText(registry, "Driver", driver)) continue;
      if (AsciiLower(WithoutTrailing(driver, '\\')) != wanted) continue;
      found.device = name;
      found.instance = instance;
      ReadText(registry, "DeviceDesc", found.description);
      return true;
    }
  }
  return false;
}

// Windows 9x lists the device nodes present this boot under HKEY_DYN_DATA,
// each naming its instance below HKLM\Enum ("PCI\VEN_121A&DEV_0009&...\BUS_01&
// DEV_00&FUNC_00"). A board moved to another slot leaves its old instance
// (and the adapter bound to it) behind; only the present one is the card.
// The VSA-100 instances listed, as "enum\pci\..." in lower case.
std::vector<std::string> PresentVoodooInstances(RegistryHandle& registry) {
  RegistryHandle nodes(registry.Backend(), RootKey::DynData);
  std::vector<std::string> present;
  std::vector<std::string> names;
  {
    ScopedKey key(nodes, kDeviceNodes, false);
    if (!key || !nodes.ListKeyNames(&names)) return present;
  }
  for (const std::string& name : names) {
    ScopedKey key(nodes, kDeviceNodes + name, false);
    std::string hardware;
    if (!ReadText(nodes, kHardwareKeyValue, hardware)) continue;
    hardware = WithoutTrailing(hardware, '\\');
    if (StartsWithNoCase(hardware, "PCI\\") && IsVsa100Device(hardware.substr(4))) {
      present.push_back(AsciiLower("Enum\\" + hardware));
    }
  }
  return present;
}

// Windows 95/98/ME: adapters numbered below the display class. One matches
// by its description, or by the PCI device bound to it: the driver's own
// setup names every board alike, without its model. When the device nodes
// of this boot name a VSA-100, the first match bound to a present one wins
// over a match left behind by a board that moved; otherwise (no list, as in
// an emulator, or none naming the card) the first match wins.
bool SearchWin98Layout(RegistryHandle& registry, const TextCompare& compare, DriverEntry& found,
                       StartupView* log) {
  Log(log, "[Windows 95/98 check]");
  const std::string base = kWin98DisplayClass;
  std::vector<std::string> names;
  if (!SortedSubkeys(registry, base, compare, names)) return false;
  const std::vector<std::string> present = PresentVoodooInstances(registry);
  DriverEntry first;
  for (const std::string& name : names) {
    std::string description;
    bool hasDescription = false;
    {
      ScopedKey key(registry, base + name, false);
      Log(log, "OpenKey: " + base + name);
      hasDescription = ReadText(registry, kDriverDescValue, description);
    }
    if (hasDescription) Log(log, "DriverDescription: " + description);
    const bool byDescription = hasDescription && IsVoodooDescription(description);
    PciInstance pci;
    // The PCI list is read for a description match only where presence counts.
    const bool bound = (!byDescription || !present.empty()) &&
                       FindPciDevice(registry, compare, name, pci);
    if (byDescription) {
      Log(log, "Matched by its description");
    } else if (bound) {
      Log(log, "Matched by its PCI device: " + std::string(kPciDevices) + pci.device);
    } else {
      continue;
    }
    DriverEntry entry;
    entry.key = base + name + "\\";
    entry.model = CardModelNamedIn(description);
    if (entry.model == 0) entry.model = CardModelNamedIn(pci.description);
    bool live = present.empty();
    for (const std::string& instance : present) {
      live = live || (bound && instance == AsciiLower(pci.Path()));
    }
    if (live) {
      if (!present.empty()) Log(log, "Present this boot: " + pci.Path());
      Log(log, "Voodoo found");
      found = entry;
      return true;
    }
    Log(log, "Passed over " + entry.key + ": not present this boot");
    if (first.key.empty()) first = entry;
  }
  if (first.key.empty()) return false;
  Log(log, "None present this boot, so the first match: " + first.key);
  Log(log, "Voodoo found");
  found = first;
  return true;
}

// Windows 2000/XP: the driver's service key with one "DEVICE" subkey per
// installed adapter.
bool SearchWin2000Layout(RegistryHandle& registry, const TextCompare& compare, DriverEntry& found,
                         StartupView* log) {
  Log(log, "[Windows 2000 check]");
  const std::string base = kWin2000Service;
  std::vector<std::string> names;
  if (!SortedSubkeys(registry, base, compare, names)) return false;
  for (const std::string& name : names) {
    if (!StartsWithNoCase(name, "DEVICE")) continue;
    ScopedKey key(registry, base + name, false);
    Log(log, "OpenKey: " + base + name);
    RawValue adapter;
    if (registry.ReadRaw(kAdapterStringValue, &adapter)) {
      Log(log, "3Dfx driver found");
      found.key = base + name + "\\";
      found.model = CardModelNamedIn(AdapterStringText(adapter));
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsVoodooDescription(const std::string& description) {
  // "VOODOO" followed by the model digit at the start; a missing or non-digit
  // seventh character names no model and is simply no match.
  if (StartsWithNoCase(description, "VOODOO")) {
    if (description.size() >= 7 && description[6] >= '4' && description[6] <= '9') return true;
  }
  if (StartsWithNoCase(description, "OMEGA")) return true;
  // Elsewhere as a word, with or without a blank before the digit: "3dfx
  // Voodoo5 5500 AGP", "... For Voodoo 5 5500 AGP".
  for (std::string::size_type at = 0; at < description.size(); ++at) {
    if (at > 0 && IsAsciiLetterOrDigit(description[at - 1])) continue;
    if (!StartsWithNoCase(description, "VOODOO", at)) continue;
    std::string::size_type digit = at + 6;
    if (digit < description.size() && description[digit] == ' ') ++digit;
    if (digit >= description.size() || description[digit] < '4' || description[digit] > '9') continue;
    if (digit + 1 == description.size() || !IsAsciiLetterOrDigit(description[digit + 1])) return true;
  }
  return false;
}

int CardModelNamedIn(const std::string& description) {
  static const struct {
    const char* text;
    int model;
  } kModels[] = {{"4500", 4500}, {"5500", 5500}, {"6000", 6000}};
  for (const auto& entry : kModels) {
    if (description.find(entry.text) != std::string::npos) return entry.model;
  }
  return 0;
}

bool FindDriverKey(RegistryHandle& driverRegistry, const TextCompare& compare, DriverEntry& found,
                   StartupView* log) {
  return SearchWin98Layout(driverRegistry, compare, found, log) ||
         SearchWin2000Layout(driverRegistry, compare, found, log);
}

bool FindDriverKey(RegistryHandle& driverRegistry, const TextCompare& compare,
                   std::string& driverKey, StartupView* log) {
  DriverEntry found;
  if (!FindDriverKey(driverRegistry, compare, found, log)) return false;
  driverKey = found.key;
  return true;
}

bool DetectVoodoo(RegistryHandle& driverRegistry, RegistryHandle& programRegistry,
                  RegistryHandle& startupRegistry, const TextCompare& compare,
                  StartupState& state, StartupView* log) {
  DriverEntry found;
  if (!FindDriverKey(driverRegistry, compare, found, log)) {
    state.noCard = true;
    return false;
  }
  state.driverKey = found.key;
  state.namedModel = found.model;
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
