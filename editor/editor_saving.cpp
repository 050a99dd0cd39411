// The editor's three confirming buttons: OK stores the profile, "Set default"
// the user defaults, the live mode's OK the driver's settings.
#include <exception>
#include <optional>
#include <vector>

#include "editor/file_names.h"
#include "editor/profile_editor.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr SettingKind kGroups[] = {SettingKind::Direct3D, SettingKind::Glide};
constexpr int kMinPoll = 1;
constexpr int kMaxPoll = 15;

}  // namespace

int ProfileEditor::ShownChoice(const CatalogueBox& box) {
  ListControl& list = view_.List(box.name);
  const std::string text = list.Text();
  const int count = services_.catalogue.ChoiceCount(box.setting.kind, box.setting.number);
  for (int i = 0; i < list.Count() && i < count; ++i) {
    if (list.Item(i) == text) return i;
  }
  return -1;
}

int ProfileEditor::PollSeconds() {
  const std::optional<int32_t> typed = ParseDecimal(view_.Get("SpinEdit1").Text());
  const int poll = typed ? *typed : kMinPoll;
  return poll < kMinPoll ? kMinPoll : (poll > kMaxPoll ? kMaxPoll : poll);
}

void ProfileEditor::WriteGammasAndSwitches(RegistryHandle& reg, SettingKind kind) {
  const SettingCatalogue& catalogue = services_.catalogue;
  for (int number : SettingCatalogue::GammaSettings(kind)) {
    reg.WriteString(catalogue.ValueName(kind, number), sliders_.Text(number));
  }
  for (int number : SettingCatalogue::SwitchSettings(kind)) {
    const SettingInfo& info = catalogue.Info(kind, number);
    if (view_.CheckBox(info.control.c_str()).Checked()) {
      reg.WriteString(info.valueName, info.switchText);
    } else if (reg.ValueExists(info.valueName)) {
      reg.DeleteValue(info.valueName);
    }
  }
}

void ProfileEditor::WriteStoredSettings(const std::string& profile) {
  RegistryHandle& reg = services_.programRegistry;
  for (SettingKind kind : kGroups) {
    ScopedKey key(reg, ProfileGroupPath(profile, SettingCatalogue::SubkeyName(kind)), true);
    WriteGammasAndSwitches(reg, kind);
  }
  for (const CatalogueBox& box : CatalogueBoxes()) {
    // A typed text that is none of the entries, or an empty list, has no
    // number to store: the stored value stays as it was.
    const int choice = ShownChoice(box);
    if (choice < 0) continue;
    const SettingKind kind = box.setting.kind;
    ScopedKey key(reg, ProfileGroupPath(profile, SettingCatalogue::SubkeyName(kind)), true);
    reg.WriteString(services_.catalogue.ValueName(kind, box.setting.number),
                    std::to_string(services_.catalogue.ChoiceNumber(kind, box.setting.number,
                                                                    choice)));
  }
}

void ProfileEditor::WriteProgramValues(const std::string& name) {
  RegistryHandle& reg = services_.programRegistry;
  ScopedKey key(reg, ProfileKeyPath(name), true);
  reg.WriteString("FilePath", services_.working.profileFilePath);
  reg.WriteString("Tabsheet", view_.Pages(kPageControl).ActivePage());
  reg.WriteString("Parameters", view_.Get("Edit2").Text());
  reg.WriteString("Directory", view_.Get("Edit3").Text());
  reg.WriteInteger("Poll", PollSeconds());
  // Each entry keeps its own mode number: the system promises no order in
  // which every listed mode follows the first one.
  const int number =
      services_.modes.ListedModeNumber(view_.List("SetDesktopCombo0").ItemIndex());
  if (!view_.CheckBox("CheckBox1").Checked()) {
    if (reg.ValueExists("Desktop Mode")) reg.DeleteValue("Desktop Mode");
  } else if (number >= 0) {
    reg.WriteInteger("Desktop Mode", number);
  }
  // Checked with no entry selected writes nothing: the stored mode is one this
  // display does not list, and a user who came to change something else must
  // not lose the profile's display switch unseen.
}

void ProfileEditor::Save() {
  const std::string name = view_.Get("Edit1").Text();
  if (!IsProfileKeyName(name)) {
    services_.ui.Notice("A profile name cannot contain a backslash (\\).");
    return;
  }
  RegistryHandle& reg = services_.programRegistry;
  EditorWorkingValues& working = services_.working;
  if (working.isNewProgram) {
    if (reg.KeyExists(ProfileKeyPath(name)) &&
        !services_.questions.Ask(Question::WarningOkCancel,
                                 name + " already exists. Can I overwrite this?")) {
      return;
    }
  } else if (name != working.editedProfileName) {
    const std::string& old = working.editedProfileName;
    if (services_.questions.Ask(Question::WarningYesNo, "You changed the title from " + old +
                                                            " to " + name + ". Can I remove " +
                                                            old + "?")) {
      // The adopted shortcuts' records wait outside the profile until the
      // new one is written; then the shortcuts start it and the records
      // move under it.
      Adoption().SetAside(old);
      renamedFrom_ = old;
      RemoveProfile(reg, old);
    }
  }
  WriteAndClose(&ProfileEditor::WriteProfile, name, true);
}

void ProfileEditor::WriteProfile(const std::string& name) {
  WriteProgramValues(name);
  WriteStoredSettings(name);
  if (!renamedFrom_.empty()) {
    const std::string from = renamedFrom_;
    renamedFrom_.clear();
    ReportLinks(Adoption().Follow(from, name));
  }
  // Asked before the editor closes: its closing message would free it
  // during the question's own message loop.
  if (services_.working.isNewProgram) OfferAdoption(name);
}

void ProfileEditor::SaveUserDefaults() {
  services_.host.EnableResetToUserDefaults();
  WriteAndClose(&ProfileEditor::WriteStoredSettings, kUserDefaultProfile, false);
}

void ProfileEditor::SaveToDriver() {
  WriteAndClose(&ProfileEditor::ApplyToDriver, std::string(), false);
}

void ProfileEditor::WriteAndClose(void (ProfileEditor::*writes)(const std::string&),
                                  const std::string& target, bool rebuildMenus) {
  // The writes, the menu rebuild and the closing each run whatever the one
  // before did, so the editor never stays open after a save that happened.
  // Each failure is reported once: all but the last here, the last raised.
  std::vector<std::string> failures;
  for (int step = 0; step < 3; ++step) {
    try {
      if (step == 0 && writes) (this->*writes)(target);
      if (step == 1 && rebuildMenus) services_.host.BuildProgramMenus();
      if (step == 2) Close();
    } catch (const std::exception& error) {
      failures.push_back(error.what());
    }
  }
  if (failures.empty()) return;
  for (size_t i = 0; i + 1 < failures.size(); ++i) services_.ui.ErrorReport(failures[i]);
  throw RegistryError(failures.back());
}

void ProfileEditor::ApplyEditorToDriver() {
  const SettingCatalogue& catalogue = services_.catalogue;
  RegistryHandle& driver = services_.driverRegistry;
  for (SettingKind kind : kGroups) {
    ScopedKey key(driver, DriverGroupPath(services_.driverKey, SettingCatalogue::SubkeyName(kind)),
                  true);
    // Only a gamma that exists is recorded; the switches' records stay.
    for (int number : SettingCatalogue::GammaSettings(kind)) {
      const std::string& name = catalogue.ValueName(kind, number);
      if (driver.ValueExists(name)) {
        driver.WriteString(std::string(kPrevPrefix) + name, driver.ReadString(name));
      }
    }
    WriteGammasAndSwitches(driver, kind);
  }
  for (const CatalogueBox& box : CatalogueBoxes()) {
    services_.driver.ApplyChoice(box.setting.kind, box.setting.number, ShownChoice(box));
  }
}

}  // namespace tw
