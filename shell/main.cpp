#include "shell/main.h"

#include <iterator>

#include "dialogs/about.h"
#include "driver/direct_fsaa.h"
#include "platform/messages.h"
#include "shell/link_adoption.h"
#include "shell/tray_menus.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr const char* kEmptyCaption = "Empty";
constexpr const char* kRemovedFromStartup = "Tarnwick has been removed from Windows startup";
constexpr const char* kWillLoadFrom =
    "Next time Windows starts, it will try to load Tarnwick from this location: ";
constexpr const char* kRemoveQuestion =
    "Do you want Tarnwick and its game-settings removed from the Windows registry?";
constexpr const char* kWillClose = "Tarnwick will close now.";
constexpr const char* kNotRemoved = "Tarnwick's settings could not be removed from the Windows registry";

// The commands of the fixed items, by component name.
struct CommandRow {
  const char* item;
  void (TForm2::*handler)();
};

const CommandRow kCommands[] = {
    {"FactoryDefaults1", &TForm2::FactoryDefaults1Click},
    {"Resettouserdefault1", &TForm2::Resettouserdefault1Click},
    {"Setcurrentsettingsasuserdefault1", &TForm2::Setcurrentsettingsasuserdefault1Click},
    {"Resettoprevioussettings1", &TForm2::Resettoprevioussettings1Click},
    {"StartupMenu", &TForm2::StartupMenuClick},
    {"ReloadSettings", &TForm2::ReloadSettingsClick},
    {"Singlechip1", &TForm2::Singlechip1Click},
    {"Fastest1", &TForm2::Fastest1Click},
    {"N2xFSAA1", &TForm2::N2xFSAA1Click},
    {"N4xFSAA1", &TForm2::N4xFSAA1Click},
    {"N8xFSAA1", &TForm2::N8xFSAA1Click},
    {"Currentsettings1", &TForm2::Currentsettings1Click},
    {"Addprogram1", &TForm2::Addprogram1Click},
    {"About1", &TForm2::About1Click},
    {"Close1", &TForm2::Close1Click},
    {"MenuRemoveReg", &TForm2::MenuRemoveRegClick},
    {"V560001", &TForm2::V560001Click},
    {"V555001", &TForm2::V555001Click},
    {"V445001", &TForm2::V445001Click},
    {"Emailauthor1", &TForm2::Emailauthor1Click},
    {"VisitWebpage1", &TForm2::VisitWebpage1Click},
};

struct FsaaRow {
  const char* item;
  DirectFsaaItem fsaa;
};

const FsaaRow kFsaaItems[] = {
    {"Singlechip1", DirectFsaaItem::SingleChip}, {"Fastest1", DirectFsaaItem::Fastest},
    {"N2xFSAA1", DirectFsaaItem::Fsaa2x},        {"N4xFSAA1", DirectFsaaItem::Fsaa4x},
    {"N8xFSAA1", DirectFsaaItem::Fsaa8x},
};

struct CardRow {
  const char* item;
  int model;
};

const CardRow kCardItems[] = {{"V560001", 6000}, {"V555001", 5500}, {"V445001", 4500}};

const MenuRow* FindItem(int id) {
  for (const MenuLayout* layout : {&PopupMenu1Layout(), &PopupMenu2Layout()}) {
    if (const MenuRow* row = layout->FindCommand(id)) return row;
  }
  return nullptr;
}

}  // namespace

std::string StartupCommand(const std::string& executablePath) {
  if (executablePath.find(' ') == std::string::npos) return executablePath;
  return "\"" + executablePath + "\"";
}

bool TForm2::TrayDeaf() const {
  return p_.view.EditorOpen() || p_.view.AboutOpen() || AddingProgram || popupOpen_ ||
         p_.view.MainWindowDisabled();
}

void TForm2::ShowPopup(TrayPopup menu, ScreenPoint at) {
  popupOpen_ = true;
  try {
    p_.view.ShowPopup(menu, at);
  } catch (...) {
    popupOpen_ = false;
    throw;
  }
  popupOpen_ = false;
}

void TForm2::TrayNotifyMessage(unsigned mouseMessage) {
  if (TrayDeaf()) return;
  switch (mouseMessage) {
    case tray_mouse::kLeftDoubleClick:
      p_.clickTimer.SetEnabled(false);
      afterDoubleClick_ = true;
      p_.ui.PostToMainWindow(kShowLiveSettingsMessage);
      break;
    case tray_mouse::kRightButtonUp:
      ShowPopup(TrayPopup::PopupMenu1, p_.view.CursorPosition());
      break;
    case tray_mouse::kLeftButtonUp:
      // A left click waits out the double-click time: opened at once, the
      // small menu would swallow the second click of a double click.
      if (afterDoubleClick_) {
        afterDoubleClick_ = false;
        break;
      }
      clickAt_ = p_.view.CursorPosition();
      p_.clickTimer.SetEnabled(true);
      break;
    default:
      break;
  }
}

void TForm2::ClickTimerTick() {
  p_.clickTimer.SetEnabled(false);
  if (!TrayDeaf()) ShowPopup(TrayPopup::PopupMenu2, clickAt_);
}

bool TForm2::MenuCommand(int id) {
  if (const MenuRow* row = FindItem(id)) {
    for (const CommandRow& command : kCommands) {
      if (std::string(command.item) == row->name) {
        (this->*command.handler)();
        return true;
      }
    }
    return false;
  }
  SubmenuControl& config = p_.menus.Submenu("Config1");
  SubmenuControl& run = p_.menus.Submenu("Run1");
  SubmenuControl& video = p_.menus.Submenu("Videomode1");
  if (config.Has(id) || run.Has(id)) {
    // The "Empty" entries are disabled and stand for no profile.
    if (programMenusEmpty_) return true;
    if (config.Has(id)) {
      ConfigGameClick(config.Caption(id));
    } else {
      RunGameClick(run.Caption(id));
    }
    return true;
  }
  if (video.Has(id)) {
    SetCurrentVideoMode(id);
    return true;
  }
  return false;
}

void TForm2::CardModelApplied(int model) {
  for (const CardRow& card : kCardItems) p_.menus.SetChecked(card.item, card.model == model);
  for (const FsaaRow& fsaa : kFsaaItems) {
    p_.menus.SetVisible(fsaa.item, DirectFsaaItemShown(fsaa.fsaa, model));
  }
}

void TForm2::BuildMenus() {
  p_.menus.SetChecked("StartupMenu", p_.state.startupChecked);
  p_.menus.SetChecked("ReloadSettings", p_.state.reloadChecked);
  BuildProgramMenus();
  p_.modes.BuildVideoModeMenu(p_.menus.Submenu("Videomode1"));
}

void TForm2::BuildProgramMenus() {
  SubmenuControl& config = p_.menus.Submenu("Config1");
  SubmenuControl& run = p_.menus.Submenu("Run1");
  while (config.Count() > 0) {
    config.RemoveFirst();
    run.RemoveFirst();
  }

  const std::vector<std::string> names = ListProfiles(p_.programRegistry, p_.compare);
  programMenusEmpty_ = names.empty();
  if (names.empty()) {
    config.SetEnabled(config.InsertAtTop(kEmptyCaption, 0), false);
    run.SetEnabled(run.InsertAtTop(kEmptyCaption, 0), false);
    return;
  }
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    ConvertLegacyLodBias(p_.programRegistry, *it);
    if (*it == kUserDefaultProfile) {
      EnableResetToUserDefaults();
      continue;
    }
    config.InsertAtTop(*it, 0);
    run.InsertAtTop(*it, 0);
  }
}

void TForm2::EnableResetToUserDefaults() { p_.menus.SetEnabled("Resettouserdefault1", true); }

void TForm2::RunProfile(const std::string& name) {
  p_.flags.runDirect = p_.state.runDirect;
  p_.flags.reloadSettings = p_.state.reloadChecked;
  p_.launcher.RunProfile(name);
}

void TForm2::FormClose() {
  SubmenuControl& config = p_.menus.Submenu("Config1");
  SubmenuControl& run = p_.menus.Submenu("Run1");
  for (int count = config.Count(); count > 0; --count) {
    config.RemoveFirst();
    run.RemoveFirst();
  }
}

void TForm2::FactoryDefaults1Click() { p_.driver.ResetToFactoryDefaults(); }

void TForm2::Resettouserdefault1Click() { p_.driver.ResetToUserDefaults(); }

// Opens the editor on the user defaults; arrives with the profile editor.
void TForm2::Setcurrentsettingsasuserdefault1Click() { p_.editors.EditUserDefaults(); }

void TForm2::Resettoprevioussettings1Click() { p_.launcher.RestorePreviousSettings(); }

void TForm2::StartupMenuClick() {
  // The check mark changes only once the registry holds what it shows; a
  // refused write or deletion raises the registry error and leaves it as it was.
  if (p_.menus.Checked("StartupMenu")) {
    {
      ScopedKey key(p_.startupRegistry, kRunKey, true);
      // A Run key the registry will not open still holds the value.
      if (!key) throw RegistryError::SetFailed(kRunValue);
      if (p_.startupRegistry.ValueExists(kRunValue)) p_.startupRegistry.DeleteValue(kRunValue);
    }
    p_.menus.SetChecked("StartupMenu", false);
    p_.state.startupChecked = false;
    p_.ui.Notice(kRemovedFromStartup);
    return;
  }
  const std::string path = p_.shell.OwnExecutablePath();
  {
    ScopedKey key(p_.startupRegistry, kRunKey, true);
    p_.startupRegistry.WriteString(kRunValue, StartupCommand(path));
  }
  p_.menus.SetChecked("StartupMenu", true);
  p_.state.startupChecked = true;
  p_.ui.Notice(std::string(kWillLoadFrom) + "\r" + path);
}

void TForm2::ReloadSettingsClick() {
  // Stored first: a refused write says so and leaves the check mark as the
  // registry still has it.
  const bool checked = !p_.menus.Checked("ReloadSettings");
  {
    ScopedKey key(p_.programRegistry, kProgramKey, true);
    p_.programRegistry.WriteBool(kReloadSettingsValue, checked);
  }
  p_.menus.SetChecked("ReloadSettings", checked);
  p_.state.reloadChecked = checked;
}

void TForm2::Singlechip1Click() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::SingleChip, p_.state.cardModel);
}
void TForm2::Fastest1Click() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fastest, p_.state.cardModel);
}
void TForm2::N2xFSAA1Click() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa2x, p_.state.cardModel);
}
void TForm2::N4xFSAA1Click() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa4x, p_.state.cardModel);
}
void TForm2::N8xFSAA1Click() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa8x, p_.state.cardModel);
}

void TForm2::SetCurrentVideoMode(int item) {
  p_.modes.SetCurrentVideoMode(p_.menus.Submenu("Videomode1"), item);
}

void TForm2::Currentsettings1Click() { p_.editors.EditLiveSettings(); }

// The tray ignores clicks while the file dialog is open; the flag comes down
// also when the opening fails, or the tray would stay deaf.
void TForm2::Addprogram1Click() {
  AddingProgram = true;
  try {
    p_.editors.AddProgram();
  } catch (...) {
    AddingProgram = false;
    throw;
  }
  AddingProgram = false;
}

void TForm2::ConfigGameClick(const std::string& profile) { p_.editors.EditProfile(profile); }

void TForm2::RunGameClick(const std::string& profile) { RunProfile(profile); }

void TForm2::About1Click() {
  // Read before the box exists: a stored edge of the wrong type ends the
  // command without leaving an invisible box that would block the icon.
  const StoredPosition position = ReadStoredPosition(p_.programRegistry);
  p_.view.OpenAbout(position);
}

void TForm2::Close1Click() { p_.view.CloseMainWindow(); }

void TForm2::MenuRemoveRegClick() {
  if (!p_.questions.Ask(Question::WarningYesNo, kRemoveQuestion)) return;
  // The adopted shortcuts go back while their record still exists.
  const AdoptionReport links =
      LinkAdoption(p_.programRegistry, p_.shell.Links(), p_.shell.OwnExecutablePath())
          .UnadoptAll(ListProfiles(p_.programRegistry, p_.compare));
  std::string leftAlone;
  for (const std::string& problem : links.problems) leftAlone += problem + "\r\n";
  if (!leftAlone.empty()) p_.ui.Notice(leftAlone.substr(0, leftAlone.size() - 2));
  RemoveStore(p_.programRegistry);
  if (p_.programRegistry.KeyExists(kProgramKey)) {
    // Part of it may be gone: the menus list only what is left.
    BuildProgramMenus();
    p_.ui.ErrorReport(kNotRemoved);
    return;
  }
  p_.ui.Notice(kWillClose);
  p_.view.CloseMainWindow();
}

void TForm2::V560001Click() { ChooseCardModel(6000); }
void TForm2::V555001Click() { ChooseCardModel(5500); }
void TForm2::V445001Click() { ChooseCardModel(4500); }

void TForm2::ChooseCardModel(int model) {
  ApplyCardModel(model, p_.catalogue, p_.programRegistry, p_.state, p_.startupView);
}

void TForm2::Emailauthor1Click() { p_.shell.OpenLink(kMailLink); }

void TForm2::VisitWebpage1Click() { p_.shell.OpenLink(kHomePage); }

}  // namespace tw
