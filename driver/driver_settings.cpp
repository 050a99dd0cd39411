#include "driver/driver_settings.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

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

// A driver group that cannot be opened although creation is allowed is a
// refused write: the command ends there, rather than apply half of itself.
// Like every refused write it names a value: the first one it would write.
void RequireDriverGroup(const ScopedKey& driver, const std::string& firstValue) {
  if (!driver) throw RegistryError::SetFailed(firstValue);
}

// The value a command over a whole group writes first.
const std::string& FirstListValue(const SettingCatalogue& catalogue, SettingKind kind) {
  return catalogue.ValueName(kind, SettingCatalogue::ListSettings(kind)[0]);
}

// One driver group as an operation goes through it: reads come from the
// open key, writes are collected into the plan, and later reads see the
// earlier planned writes, so a plan does exactly what writing step by step
// would.
class GroupPlan {
 public:
  GroupPlan(RegistryHandle& driver, SettingKind kind, DriverPlan& plan)
      : driver_(driver), kind_(kind), plan_(plan) {}

  bool Exists(const std::string& name) {
    const DriverWrite* planned = Planned(name);
    return planned != nullptr ? !planned->remove : driver_.ValueExists(name);
  }
  // "" when absent; a value that is not text ends the operation.
  std::string Text(const std::string& name) {
    const DriverWrite* planned = Planned(name);
    if (planned != nullptr) return planned->text;
    return driver_.ReadString(name);
  }
  void Set(const std::string& name, const std::string& text) { Plan(name, false, text); }
  void Delete(const std::string& name) {
    if (Exists(name)) Plan(name, true, std::string());
  }

 private:
  // The latest planned write of this group to a value, if any.
  const DriverWrite* Planned(const std::string& name) const {
    const std::string key = AsciiLower(name);
    for (size_t i = plan_.size(); i > first_; --i) {
      const DriverWrite& write = plan_[i - 1];
      if (AsciiLower(write.name) == key) return &write;
    }
    return nullptr;
  }
  void Plan(const std::string& name, bool remove, const std::string& text) {
    DriverWrite write;
    write.kind = kind_;
    write.name = name;
    write.remove = remove;
    write.text = text;
    plan_.push_back(write);
  }

  RegistryHandle& driver_;
  SettingKind kind_;
  DriverPlan& plan_;
  size_t first_ = plan_.size();  // this group's writes start here
};

// What one group's gammas and switches are to become, in catalogue order (a
// group has three gammas and at most two switches).
struct GammaSwitchTargets {
  std::string gammas[3] = {kGammaFallback, kGammaFallback, kGammaFallback};
  bool switchesOn[2] = {};
};

// The targets held by a stored group open on `stored`: a missing or empty
// gamma is "1.30" (the driver reads an empty one as 0); a switch is on when
// present, whatever its text.
GammaSwitchTargets StoredTargets(const SettingCatalogue& catalogue, RegistryHandle& stored,
                                 SettingKind kind) {
  GammaSwitchTargets targets;
  const SettingNumbers gammas = SettingCatalogue::GammaSettings(kind);
  for (size_t i = 0; i < gammas.size(); ++i) {
    const std::string& name = catalogue.ValueName(kind, gammas[i]);
    const std::string text = stored.ValueExists(name) ? stored.ReadString(name) : std::string();
    if (!text.empty()) targets.gammas[i] = text;
  }
  const SettingNumbers switches = SettingCatalogue::SwitchSettings(kind);
  for (size_t i = 0; i < switches.size(); ++i) {
    targets.switchesOn[i] = stored.ValueExists(catalogue.ValueName(kind, switches[i]));
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
void RecordGamma(GroupPlan& driver, const std::string& name, const std::string& absentText) {
  driver.Set(PrevName(name), driver.Exists(name) ? driver.Text(name) : absentText);
}

// A switch records presence only: the fixed text when on, no previous value
// when off.
void RecordSwitch(GroupPlan& driver, const std::string& name, const std::string& onText) {
  if (driver.Exists(name)) {
    driver.Set(PrevName(name), onText);
  } else {
    driver.Delete(PrevName(name));
  }
}

void SetSwitch(GroupPlan& driver, const std::string& name, const std::string& onText, bool on) {
  if (on) {
    driver.Set(name, onText);
  } else {
    driver.Delete(name);
  }
}

// One list choice with its record. An index outside the list (the FSAA list
// before the card model is known) has no number to write; the driver value
// and its record are left alone.
void PlanChoice(const SettingCatalogue& catalogue, GroupPlan& driver, SettingKind kind, int n,
                int choice) {
  const SettingInfo& info = catalogue.Info(kind, n);
  if (info.cls != SettingClass::List || choice < 0 ||
      choice >= static_cast<int>(info.choices.size())) {
    return;
  }
  if (driver.Exists(info.valueName)) driver.Set(PrevName(info.valueName), driver.Text(info.valueName));
  const std::optional<std::string> text = catalogue.DriverText(kind, n, choice);
  if (text) {
    driver.Set(info.valueName, *text);
  } else {
    driver.Delete(info.valueName);
  }
}

// Giving back, one rule per class.

// Only a recorded list value comes back; an empty current text is not worth
// keeping as the new previous value.
void GiveBackList(GroupPlan& driver, const std::string& name) {
  const std::string prevName = PrevName(name);
  if (!driver.Exists(prevName)) return;
  const std::string previous = driver.Text(prevName);
  const std::string current = driver.Text(name);
  driver.Set(name, previous);
  if (!current.empty()) driver.Set(prevName, current);
}

// An empty previous gamma stands for one that was absent: written back as
// text, the driver would read it as gamma 0.
void GiveBackGamma(GroupPlan& driver, const std::string& name) {
  const std::string prevName = PrevName(name);
  const std::string previous =
      driver.Exists(prevName) ? driver.Text(prevName) : std::string(kGammaFallback);
  const std::string current = driver.Text(name);
  if (previous.empty()) {
    driver.Delete(name);
  } else {
    driver.Set(name, previous);
  }
  driver.Set(prevName, current);
}

void GiveBackSwitch(GroupPlan& driver, const std::string& name, const std::string& onText) {
  const std::string prevName = PrevName(name);
  const bool wasOn = driver.Exists(prevName);
  const bool isOn = driver.Exists(name);
  if (wasOn == isOn) return;
  if (wasOn) {
    driver.Set(name, onText);
    driver.Delete(prevName);
  } else {
    driver.Delete(name);
    driver.Set(prevName, onText);
  }
}

// Records and sets one group's gammas and switches; `absentGammaRecord` is
// what an absent gamma is recorded as.
void PlanGammasAndSwitches(const SettingCatalogue& catalogue, GroupPlan& driver, SettingKind kind,
                           const GammaSwitchTargets& targets,
                           const std::string& absentGammaRecord) {
  const SettingNumbers gammas = SettingCatalogue::GammaSettings(kind);
  for (size_t i = 0; i < gammas.size(); ++i) {
    const std::string& name = catalogue.ValueName(kind, gammas[i]);
    RecordGamma(driver, name, absentGammaRecord);
    driver.Set(name, targets.gammas[i]);
  }
  const SettingNumbers switches = SettingCatalogue::SwitchSettings(kind);
  for (size_t i = 0; i < switches.size(); ++i) {
    const SettingInfo& info = catalogue.Info(kind, switches[i]);
    RecordSwitch(driver, info.valueName, info.switchText);
    SetSwitch(driver, info.valueName, info.switchText, targets.switchesOn[i]);
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

void DriverSettings::Carry(const DriverPlan& plan, DriverPlan* undo) {
  for (SettingKind kind : kGroups) {
    const DriverWrite* first = nullptr;
    for (const DriverWrite& write : plan) {
      if (write.kind == kind && first == nullptr) first = &write;
    }
    if (first == nullptr) continue;
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, first->name);
    for (const DriverWrite& write : plan) {
      if (write.kind != kind) continue;
      // How to put the value back, noted before it changes.
      DriverWrite back{kind, write.name, true, std::string()};
      if (undo != nullptr) {
        const std::optional<RawValue> was = driverRegistry_.ReadValue(write.name);
        if (was && !RegistryHandle::IsText(*was)) throw RegistryError::InvalidType(write.name);
        back.remove = !was;
        if (was) back.text = RegistryHandle::TextOf(*was);
      }
      if (write.remove) {
        driverRegistry_.DeleteValue(write.name);
      } else {
        driverRegistry_.WriteString(write.name, write.text);
      }
      // A value written twice goes back to what it held before the first.
      if (undo != nullptr && FindWrite(*undo, kind, write.name) == nullptr) {
        undo->push_back(std::move(back));
      }
    }
  }
}

void DriverSettings::ApplyPlan(const DriverPlan& plan) { Carry(plan, nullptr); }

void DriverSettings::ApplyRunPlan(const DriverPlan& plan, bool& givenBack) {
  DriverPlan undo;
  try {
    Carry(plan, &undo);
  } catch (const std::exception&) {
    // Half a profile is neither the game's settings nor the driver's own.
    try {
      ApplyPlan(undo);
      Flush();
    } catch (const std::exception&) {
      givenBack = false;
    }
    throw;
  }
}

void DriverSettings::Flush() {
  ScopedKey key(driverRegistry_, driverKey_, false);
  driverRegistry_.Flush();
}

DriverSettings DriverSettings::At(const std::string& adapterKey) const {
  return DriverSettings(catalogue_, programRegistry_, driverRegistry_, adapterKey);
}

bool DriverSettings::AdapterExists(const std::string& adapterKey) {
  return driverRegistry_.KeyExists(adapterKey);
}

void DriverSettings::ApplyChoice(SettingKind kind, int setting, int choice) {
  DriverPlan plan;
  {
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, catalogue_.ValueName(kind, setting));
    GroupPlan group(driverRegistry_, kind, plan);
    PlanChoice(catalogue_, group, kind, setting, choice);
  }
  ApplyPlan(plan);
}

DriverPlan DriverSettings::PlanProfileSettings(const std::string& profile, bool runDirect) {
  DriverPlan plan;
  for (SettingKind kind : kGroups) {
    // A command-line run must not leave an empty key behind for a name that
    // has no profile; a group that does not exist is skipped whole, one the
    // registry refuses cannot be read.
    ScopedKey stored(programRegistry_, StoredGroup(profile, kind), !runDirect);
    if (stored.Refused()) throw RegistryError::GetFailed(SettingCatalogue::SubkeyName(kind));
    if (!stored) continue;
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, FirstListValue(catalogue_, kind));
    GroupPlan group(driverRegistry_, kind, plan);
    PlanGammasAndSwitches(catalogue_, group, kind, StoredTargets(catalogue_, programRegistry_, kind),
                          "");
    // A list setting the profile lacks keeps the driver's text and record.
    for (int n : SettingCatalogue::ListSettings(kind)) {
      const std::string& name = catalogue_.ValueName(kind, n);
      if (!programRegistry_.ValueExists(name)) continue;
      PlanChoice(catalogue_, group, kind, n,
                 catalogue_.ChoiceForText(kind, n, programRegistry_.ReadString(name)));
    }
  }
  return plan;
}

void DriverSettings::ApplyProfileSettings(const std::string& profile, bool runDirect) {
  bool givenBack = true;  // nothing records this apply: the error says all there is
  ApplyRunPlan(PlanProfileSettings(profile, runDirect), givenBack);
}

void DriverSettings::ResetToFactoryDefaults() {
  DriverPlan plan;
  for (SettingKind kind : kGroups) {
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, FirstListValue(catalogue_, kind));
    GroupPlan group(driverRegistry_, kind, plan);
    for (int n : SettingCatalogue::ListSettings(kind)) {
      PlanChoice(catalogue_, group, kind, n, catalogue_.DefaultChoice(kind, n));
    }
    PlanGammasAndSwitches(catalogue_, group, kind, GammaSwitchTargets(), "");
  }
  ApplyPlan(plan);
}

void DriverSettings::ResetToUserDefaults() {
  DriverPlan plan;
  for (SettingKind kind : kGroups) {
    // Created when missing, so this fails only when the registry refuses;
    // nothing is known to write then.
    ScopedKey stored(programRegistry_, StoredGroup(kUserDefaultProfile, kind), true);
    if (!stored) throw RegistryError::GetFailed(SettingCatalogue::SubkeyName(kind));
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, FirstListValue(catalogue_, kind));
    GroupPlan group(driverRegistry_, kind, plan);
    for (int n : SettingCatalogue::ListSettings(kind)) {
      const std::optional<std::string> text = ReadOptional(programRegistry_, catalogue_.ValueName(kind, n));
      PlanChoice(catalogue_, group, kind, n, catalogue_.ChoiceForText(kind, n, text));
    }
    PlanGammasAndSwitches(catalogue_, group, kind, StoredTargets(catalogue_, programRegistry_, kind),
                          kGammaFallback);
  }
  ApplyPlan(plan);
}

DriverPlan DriverSettings::PlanRestore() {
  DriverPlan plan;
  for (SettingKind kind : kGroups) {
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), true);
    RequireDriverGroup(driver, FirstListValue(catalogue_, kind));
    GroupPlan group(driverRegistry_, kind, plan);
    for (int n : SettingCatalogue::ListSettings(kind)) {
      GiveBackList(group, catalogue_.ValueName(kind, n));
    }
    for (int n : SettingCatalogue::GammaSettings(kind)) {
      GiveBackGamma(group, catalogue_.ValueName(kind, n));
    }
    for (int n : SettingCatalogue::SwitchSettings(kind)) {
      const SettingInfo& info = catalogue_.Info(kind, n);
      GiveBackSwitch(group, info.valueName, info.switchText);
    }
  }
  return plan;
}

void DriverSettings::RestorePreviousValues() { ApplyPlan(PlanRestore()); }

DriverPlan DriverSettings::PlanPriorState(const DriverPlan& plan, bool withRecords) {
  DriverPlan prior;
  for (SettingKind kind : kGroups) {
    // Only reads: a group that does not exist holds nothing yet.
    ScopedKey driver(driverRegistry_, DriverGroup(driverKey_, kind), false);
    if (driver.Refused()) throw RegistryError::GetFailed(SettingCatalogue::SubkeyName(kind));
    for (const DriverWrite& write : plan) {
      if (write.kind != kind || (!withRecords && IsPreviousValueName(write.name)) ||
          FindWrite(prior, kind, write.name) != nullptr) {
        continue;
      }
      DriverWrite back;
      back.kind = kind;
      back.name = write.name;
      back.remove = !(driver && driverRegistry_.ValueExists(write.name));
      if (!back.remove) back.text = driverRegistry_.ReadString(write.name);
      prior.push_back(back);
    }
  }
  return prior;
}

DriverPlan DriverSettings::PlanRestoreTo(const DriverPlan& prior) {
  // The swap decides what the "Prev " values of the changed settings hold
  // afterwards, as any restore leaves them; the settings themselves go back
  // to what the run found, and a setting the run did not change is left
  // alone, so no older run's record comes back.
  DriverPlan plan;
  for (const DriverWrite& write : PlanRestore()) {
    if (IsPreviousValueName(write.name) &&
        FindWrite(prior, write.kind, write.name.substr(kPrevPrefixLength)) != nullptr) {
      plan.push_back(write);
    }
  }
  for (const DriverWrite& write : prior) plan.push_back(write);
  return plan;
}

}  // namespace tw
