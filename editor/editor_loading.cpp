// The three loading steps that fill the editor's controls, and the live
// mode's switch states.
#include <cstdint>
#include <optional>

#include "editor/file_names.h"
#include "editor/profile_editor.h"
#include "store/profile_store.h"

namespace tw {

namespace {

constexpr SettingKind kGroups[] = {SettingKind::Direct3D, SettingKind::Glide};
constexpr int kDefaultPoll = 3;
constexpr int kMinPoll = 1;
constexpr int kMaxPoll = 15;

std::optional<std::string> ReadIfPresent(RegistryHandle& reg, const std::string& name) {
  if (!reg.ValueExists(name)) return std::nullopt;
  return reg.ReadString(name);
}

std::string DriverGroup(const std::string& driverKey, SettingKind kind) {
  return DriverGroupPath(driverKey, SettingCatalogue::SubkeyName(kind));
}

}  // namespace

void ProfileEditor::LoadCurrentSettings() {
  const SettingCatalogue& catalogue = services_.catalogue;
  RegistryHandle& driver = services_.driverRegistry;
  ListControl& modeList = view_.List("SetDesktopCombo0");
  try {
    for (const CatalogueBox& box : CatalogueBoxes()) {
      const SettingKind kind = box.setting.kind;
      const int number = box.setting.number;
      std::optional<std::string> text;
      {
        ScopedKey key(driver, DriverGroup(services_.driverKey, kind), true);
        text = ReadIfPresent(driver, catalogue.ValueName(kind, number));
      }
      ListControl& list = view_.List(box.name);
      list.Clear();
      for (int i = 0; i < catalogue.ChoiceCount(kind, number); ++i) {
        list.Add(catalogue.ChoiceCaption(kind, number, i));
      }
      list.SetItemIndex(catalogue.ChoiceForDriverText(kind, number, text));
    }
    for (SettingKind kind : kGroups) {
      ScopedKey key(driver, DriverGroup(services_.driverKey, kind), true);
      if (!key) continue;
      for (int number : SettingCatalogue::GammaSettings(kind)) {
        const std::optional<std::string> text =
            ReadIfPresent(driver, catalogue.ValueName(kind, number));
        sliders_.SetGammaFromText(number, text.value_or(kGammaFallback));
      }
    }
  } catch (...) {
    services_.modes.FillDesktopModeList(modeList);
    throw;
  }
  services_.modes.FillDesktopModeList(modeList);
}

void ProfileEditor::LoadLiveSwitches() {
  RegistryHandle& driver = services_.driverRegistry;
  for (SettingKind kind : kGroups) {
    ScopedKey key(driver, DriverGroup(services_.driverKey, kind), true);
    for (int number : SettingCatalogue::SwitchSettings(kind)) {
      const SettingInfo& info = services_.catalogue.Info(kind, number);
      view_.CheckBox(info.control.c_str()).SetChecked(driver.ValueExists(info.valueName));
    }
  }
}

void ProfileEditor::LoadProfile(const std::string& name) {
  RegistryHandle& reg = services_.programRegistry;
  EditorWorkingValues& working = services_.working;
  {
    ScopedKey key(reg, ProfileKeyPath(name), true);
    working.profileFilePath = reg.ReadString("FilePath");
    working.profileParameters = reg.ReadString("Parameters");
    working.profileDirectory = reg.ReadString("Directory");

    int poll = reg.ValueExists("Poll") ? reg.ReadInteger("Poll") : kDefaultPoll;
    poll = poll < kMinPoll ? kMinPoll : (poll > kMaxPoll ? kMaxPoll : poll);
    view_.Get("SpinEdit1").SetText(std::to_string(poll));

    ListControl& modeList = view_.List("SetDesktopCombo0");
    const bool hasMode = reg.ValueExists("Desktop Mode");
    if (hasMode) {
      modeList.SetItemIndex(services_.modes.ListPosition(reg.ReadInteger("Desktop Mode")));
    }
    view_.Get("SetDesktopCombo0").SetEnabled(hasMode);
    view_.CheckBox("CheckBox1").SetChecked(hasMode);

    view_.Pages(kPageControl)
        .SetActivePage(reg.ReadString("Tabsheet") == kD3DPage ? kD3DPage : kGlidePage);
  }
  ShowHeader(working.profileFilePath);
  if (services_.shell.FileExists(working.profileFilePath)) {
    view_.Image("Image1").ShowFileIcon(working.profileFilePath);
  } else {
    view_.Image("Image1").ShowStockIcon(StockIcon::Broken);
  }
  SetName(name);
  working.editedProfileName = name;
  view_.Get("Edit2").SetText(working.profileParameters);
  view_.Get("Edit3").SetText(working.profileDirectory);
  view_.Pages(kPageControl).SetTabVisible(kAdditionPage, true);
  for (SettingKind kind : kGroups) LoadStoredGroup(name, kind, false);
}

void ProfileEditor::LoadUserDefaults() {
  for (SettingKind kind : kGroups) LoadStoredGroup(kUserDefaultProfile, kind, true);
}

void ProfileEditor::LoadStoredGroup(const std::string& profile, SettingKind kind,
                                    bool keepMissingLists) {
  const SettingCatalogue& catalogue = services_.catalogue;
  RegistryHandle& reg = services_.programRegistry;
  ScopedKey key(reg, ProfileGroupPath(profile, SettingCatalogue::SubkeyName(kind)), true);
  for (const CatalogueBox& box : CatalogueBoxes()) {
    if (box.setting.kind != kind) continue;
    const int number = box.setting.number;
    const std::optional<std::string> text = ReadIfPresent(reg, catalogue.ValueName(kind, number));
    if (!text && keepMissingLists) continue;
    view_.List(box.name).SetItemIndex(catalogue.ChoiceForText(kind, number, text));
  }
  for (int number : SettingCatalogue::GammaSettings(kind)) {
    const std::optional<std::string> text = ReadIfPresent(reg, catalogue.ValueName(kind, number));
    sliders_.SetGammaFromText(number, text.value_or(kGammaFallback));
  }
  for (int number : SettingCatalogue::SwitchSettings(kind)) {
    const SettingInfo& info = catalogue.Info(kind, number);
    view_.CheckBox(info.control.c_str()).SetChecked(reg.ValueExists(info.valueName));
  }
}

}  // namespace tw
