#include "driver/driver_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/profile_store.h"

namespace tw {

namespace {

constexpr SettingKind kGroups[] = {SettingKind::Direct3D, SettingKind::Glide};

std::string PrevName(const std::string& name) { return kPrevPrefix + name; }

std::string DriverGroup(const std::string& driverKey, SettingKind kind) {
  return DriverGroupPath(driverKey, SettingCatalogue::SubkeyName(kind));
}

std::string StoredGroup(const std::string& profile, SettingKind kind) {
  return ProfileGroupPath(profile, SettingCatalogue::SubkeyName(kind));
}

// What one group's gammas and switches are to become, in catalogue order.
struct GammaSwitchTargets {
  std::vector<std::string> gammas;
  std::vector<bool> switchesOn;
};

GammaSwitchTargets FactoryTargets(SettingKind kind) {
  GammaSwitchTargets targets;
  targets.gammas.assign(SettingCatalogue::GammaSettings(kind).size(), kGammaFallback);
  targets.switchesOn.assign(SettingCatalogue::SwitchSettings(kind).size(), false);
  return targets;
}

// The targets held by a stored group open on `stored`: a missing gamma is
// "1.30"; a switch is on when present, whatever its text.
GammaSwitchTargets StoredTargets(const SettingCatalogue& catalogue, RegistryHandle& stored,
                                 SettingKind kind) {
  GammaSwitchTargets targets;
  for (int n : SettingCatalogue::GammaSettings(kind)) {
    const std::string& name = catalogue.ValueName(kind, n);
    targets.gammas.push_back(stored.ValueExists(name) ? stored.ReadString(name)
                                                      : std::string(kGammaFallback));
  }
  for (int n : SettingCatalogue::SwitchSettings(kind)) {
    targets.switchesOn.push_back(stored.ValueExists(catalogue.ValueName(kind, n)));
  }
  return targets;
}

// A stored list text, or nothing when the value is missing.
std::optional<std::string> ReadOptional(RegistryHandle& key, const std::string& name) {
  if (!key.ValueExists(name)) return std::nullopt;
  return key.ReadString(name);
}

// Recording before a write, one rule per class.

// A gamma's text goes to its previous value unconditionally; `absentText`
// stands in for a gamma that does not exist.
void RecordGamma(RegistryHandle& driver, const std::string& name, const std::string& absentText) {
  const std::string current = driver.ValueExists(name) ? driver.ReadString(name) : absentText;
  driver.WriteString(PrevName(name), current);
}

// A switch records presence only: the fixed text when on, no previous value
// when off.
void RecordSwitch(RegistryHandle& driver, const std::string& name, const std::string& onText) {
  if (driver.ValueExists(name)) {
    driver.WriteString(PrevName(name), onText);
  } else if (driver.ValueExists(PrevName(name))) {
    driver.DeleteValue(PrevName(name));
  }
}

void SetSwitch(RegistryHandle& driver, const std::string& name, const std::string& onText,
               bool on) {
  if (on) {
    driver.WriteString(name, onText);
  } else if (driver.ValueExists(name)) {
    driver.DeleteValue(name);
  }
}

// Giving back, one rule per class.

// Only a recorded list value comes back; an empty current text is not worth
// keeping as the new previous value.
void GiveBackList(RegistryHandle& driver, const std::string& name) {
  const std::string prevName = PrevName(name);
  if (!driver.ValueExists(prevName)) return;
  const std::string previous = driver.ReadString(prevName);
  const std::string current = driver.ReadString(name);
  driver.WriteString(name, previous);
  if (!current.empty()) driver.WriteString(prevName, current);
}

void GiveBackGamma(RegistryHandle& driver, const std::string& name) {
  const std::string prevName = PrevName(name);
  const std::string previous =
      driver.ValueExists(prevName) ? driver.ReadString(prevName) : std::string(kGammaFallback);
  const std::string current = driver.ReadString(name);
  driver.WriteString(name, previous);
  driver.WriteString(prevName, current);
}

void GiveBackSwitch(RegistryHandle& driver, const std::string& name, const std::string& onText) {
  const std::string prevName = PrevName(name);
  const bool wasOn = driver.ValueExists(prevName);
  const bool isOn = driver.ValueExists(name);
  if (wasOn == isOn) return;
  if (wasOn) {
    driver.WriteString(name, onText);
    driver.DeleteValue(prevName);
  } else {
    driver.DeleteValue(name);
    driver.WriteString(prevName, onText);
  }
}

// Records and writes one group's gammas and switches in the driver;
// `absentGammaRecord` is what an absent gamma is recorded as.
void WriteGammasAndSwitches(const SettingCatalogue& catalogue, RegistryHandle& driverRegistry,
                            const std::string& groupPath, SettingKind kind,
                            const GammaSwitchTargets& targets,
                            const std::string& absentGammaRecord) {
  ScopedKey driver(driverRegistry, groupPath, true);
  if (!driver) return;
  const std::vector<int> gammas = SettingCatalogue::GammaSettings(kind);
  for (size_t i = 0; i < gammas.size(); ++i) {
    const std::string& name = catalogue.ValueName(kind, gammas[i]);
    RecordGamma(driverRegistry, name, absentGammaRecord);
    driverRegistry.WriteString(name, targets.gammas[i]);
  }
  const std::vector<int> switches = SettingCatalogue::SwitchSettings(kind);
  for (size_t i = 0; i < switches.size(); ++i) {
    const SettingInfo& info = catalogue.Info(kind, switches[i]);
    RecordSwitch(driverRegistry, info.valueName, info.switchText);
    SetSwitch(driverRegistry, info.valueName, info.switchText, targets.switchesOn[i]);
  }
}

}  // namespace

DriverSettings::DriverSettings(const SettingCatalogue& catalogue,
                               RegistryHandle& programRegistry, RegistryHandle& driverRegistry,
                               const std::string& driverKey)
    : catalogue_(catalogue),
      programRegistry_(programRegistry),
      driverRegistry_(driverRegistry),
      driverKey_(driverKey) {}

void DriverSettings::ApplyChoice(SettingKind kind, int setting, int choice) {
  const SettingInfo& info = catalogue_.Info(kind, setting);
  // An index outside the list (the FSAA list before the card model is known)
  // has no number to write; leave the driver value and its record alone.
  if (info.cls != SettingClass::List || choice < 0 ||
      choice >= static_cast<int>(info.choices.size())) {
    return;
  }
  ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
  if (!driver) return;
  const std::string& name = info.valueName;
  if (driverRegistry_.ValueExists(name)) {
    driverRegistry_.WriteString(PrevName(name), driverRegistry_.ReadString(name));
  }
  const int32_t number = info.choices[static_cast<size_t>(choice)].number;
  driverRegistry_.WriteString(name, std::to_string(number));
}

void DriverSettings::ApplyProfileSettings(const std::string& profile, bool runDirect) {
  for (SettingKind kind : kGroups) {
    // A command-line run must not leave an empty key behind for a name that
    // has no profile; a group that does not open is skipped whole.
    ScopedKey stored(programRegistry_, StoredGroup(profile, kind), !runDirect);
    if (!stored) continue;

    WriteGammasAndSwitches(catalogue_, driverRegistry_, DriverGroup(driverKey_, kind), kind,
                           StoredTargets(catalogue_, programRegistry_, kind), "");

    // A list setting the profile lacks keeps the driver's text and record.
    for (int n : SettingCatalogue::ListSettings(kind)) {
      const std::string& name = catalogue_.ValueName(kind, n);
      if (!programRegistry_.ValueExists(name)) continue;
      ApplyChoice(kind, n, catalogue_.ChoiceForText(kind, n, programRegistry_.ReadString(name)));
    }
  }
}

void DriverSettings::ResetToFactoryDefaults() {
  for (SettingKind kind : kGroups) {
    for (int n : SettingCatalogue::ListSettings(kind)) {
      ApplyChoice(kind, n, catalogue_.DefaultChoice(kind, n));
    }
    WriteGammasAndSwitches(catalogue_, driverRegistry_, DriverGroup(driverKey_, kind), kind,
                           FactoryTargets(kind), "");
  }
}

void DriverSettings::ResetToUserDefaults() {
  for (SettingKind kind : kGroups) {
    GammaSwitchTargets targets;
    {
      ScopedKey stored(programRegistry_, StoredGroup(kUserDefaultProfile, kind), true);
      // Created when missing, so this fails only when the registry refuses;
      // nothing is known to write then.
      if (!stored) continue;
      for (int n : SettingCatalogue::ListSettings(kind)) {
        const std::string& name = catalogue_.ValueName(kind, n);
        const std::optional<std::string> text = ReadOptional(programRegistry_, name);
        ApplyChoice(kind, n, catalogue_.ChoiceForText(kind, n, text));
      }
      targets = StoredTargets(catalogue_, programRegistry_, kind);
    }
    WriteGammasAndSwitches(catalogue_, driverRegistry_, DriverGroup(driverKey_, kind), kind,
                           targets, kGammaFallback);
  }
}

void DriverSettings::RestorePreviousValues() {
  for (SettingKind kind : kGroups) {
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    if (!driver) continue;
    for (int n : SettingCatalogue::ListSettings(kind)) {
      GiveBackList(driverRegistry_, catalogue_.ValueName(kind, n));
    }
    for (int n : SettingCatalogue::GammaSettings(kind)) {
      GiveBackGamma(driverRegistry_, catalogue_.ValueName(kind, n));
    }
    for (int n : SettingCatalogue::SwitchSettings(kind)) {
      const SettingInfo& info = catalogue_.Info(kind, n);
      GiveBackSwitch(driverRegistry_, info.valueName, info.switchText);
    }
  }
}

}  // namespace tw
