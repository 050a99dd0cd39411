#include "shell/tray_commands.h"

#include <iterator>

#include "dialogs/about_box.h"
#include "driver/direct_fsaa.h"
#include "driver/driver_access.h"
#include "platform/messages.h"
#include "shell/tray_menus.h"
#include "store/link_adoption.h"
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
  void (TrayCommands::*handler)();
};

const CommandRow kCommands[] = {
    {"FactoryDefaults1", &TrayCommands::ResetToFactoryDefaults},
    {"Resettouserdefault1", &TrayCommands::ResetToUserDefaults},
    {"Setcurrentsettingsasuserdefault1", &TrayCommands::EditUserDefaults},
    {"Resettoprevioussettings1", &TrayCommands::RestorePreviousSettings},
    {"StartupMenu", &TrayCommands::ToggleStartAtWindowsStartup},
    {"ReloadSettings", &TrayCommands::ToggleReloadSettings},
    {"Singlechip1", &TrayCommands::SetFsaaSingleChip},
    {"Fastest1", &TrayCommands::SetFsaaFastest},
    {"N2xFSAA1", &TrayCommands::SetFsaa2x},
    {"N4xFSAA1", &TrayCommands::SetFsaa4x},
    {"N8xFSAA1", &TrayCommands::SetFsaa8x},
    {"Currentsettings1", &TrayCommands::EditLiveSettings},
    {"Addprogram1", &TrayCommands::AddProgram},
    {"About1", &TrayCommands::ShowAbout},
    {"Close1", &TrayCommands::Exit},
    {"MenuRemoveReg", &TrayCommands::RemoveFromRegistry},
    {"V560001", &TrayCommands::ChooseModel6000},
    {"V555001", &TrayCommands::ChooseModel5500},
    {"V445001", &TrayCommands::ChooseModel4500},
    {"Emailauthor1", &TrayCommands::MailAuthor},
    {"VisitWebpage1", &TrayCommands::VisitWebpage},
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

bool TrayCommands::TrayDeaf() const {
  return p_.view.EditorOpen() || p_.view.AboutOpen() || AddingProgram || popupOpen_ ||
         p_.view.MainWindowDisabled();
}

void TrayCommands::ShowPopup(TrayPopup menu, ScreenPoint at) {
  popupOpen_ = true;
  try {
    p_.view.ShowPopup(menu, at);
  } catch (...) {
    popupOpen_ = false;
    throw;
  }
  popupOpen_ = false;
}

void TrayCommands::TrayNotifyMessage(unsigned mouseMessage) {
  // Using the icon keeps a game icon's copy in the tray; pointing at it to
  // read the tip does not.
  if (mouseMessage == tray_mouse::kLeftButtonUp || mouseMessage == tray_mouse::kRightButtonUp ||
      mouseMessage == tray_mouse::kLeftDoubleClick) {
    p_.state.keepTray = true;
  }
  // The double click's closing button-up is no click. It may come when the
  // editor it opened is already up and the tray deaf: it still ends the
  // double click, or the next click after the editor would be swallowed.
  if (mouseMessage == tray_mouse::kLeftButtonUp && afterDoubleClick_) {
    afterDoubleClick_ = false;
    return;
  }
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
      clickAt_ = p_.view.CursorPosition();
      p_.clickTimer.SetEnabled(true);
      break;
    default:
      break;
  }
}

void TrayCommands::ClickTimerTick() {
  p_.clickTimer.SetEnabled(false);
  if (!TrayDeaf()) ShowPopup(TrayPopup::PopupMenu2, clickAt_);
}

bool TrayCommands::MenuCommand(int id) {
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
      EditProfile(config.Caption(id));
    } else {
      RunFromMenu(run.Caption(id));
    }
    return true;
  }
  if (video.Has(id)) {
    SetCurrentVideoMode(id);
    return true;
  }
  return false;
}

void TrayCommands::CardModelApplied(int model) {
  for (const CardRow& card : kCardItems) p_.menus.SetChecked(card.item, card.model == model);
  for (const FsaaRow& fsaa : kFsaaItems) {
    p_.menus.SetVisible(fsaa.item, DirectFsaaItemShown(fsaa.fsaa, model));
  }
}

void TrayCommands::BuildMenus() {
  p_.menus.SetChecked("StartupMenu", p_.state.startupChecked);
  p_.menus.SetChecked("ReloadSettings", p_.state.reloadChecked);
  BuildProgramMenus();
  // Built while a game's own display mode is in force (a game's icon whose
  // copy watches it), the menu would take that mode for the way back.
  const int wayBack = p_.modes.SavedModeNumber();
  p_.modes.BuildVideoModeMenu(p_.menus.Submenu("Videomode1"));
  if (p_.launcher.RunDesktopMode() >= 0 && p_.launcher.CurrentState() != Launcher::State::Idle) {
    p_.modes.RememberWayBack(wayBack);
  }
}

void TrayCommands::BuildProgramMenus() {
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

void TrayCommands::EnableResetToUserDefaults() { p_.menus.SetEnabled("Resettouserdefault1", true); }

void TrayCommands::RemoveProfileItems() {
  SubmenuControl& config = p_.menus.Submenu("Config1");
  SubmenuControl& run = p_.menus.Submenu("Run1");
  for (int count = config.Count(); count > 0; --count) {
    config.RemoveFirst();
    run.RemoveFirst();
  }
}

void TrayCommands::ResetToFactoryDefaults() { p_.driver.ResetToFactoryDefaults(); }

void TrayCommands::ResetToUserDefaults() { p_.driver.ResetToUserDefaults(); }

// Opens the editor on the user defaults; arrives with the profile editor.
void TrayCommands::EditUserDefaults() { p_.editors.EditUserDefaults(); }

void TrayCommands::RestorePreviousSettings() { p_.launcher.RestorePreviousSettings(); }

void TrayCommands::ToggleStartAtWindowsStartup() {
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

void TrayCommands::ToggleReloadSettings() {
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

void TrayCommands::SetFsaaSingleChip() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::SingleChip, p_.state.cardModel);
}
void TrayCommands::SetFsaaFastest() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fastest, p_.state.cardModel);
}
void TrayCommands::SetFsaa2x() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa2x, p_.state.cardModel);
}
void TrayCommands::SetFsaa4x() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa4x, p_.state.cardModel);
}
void TrayCommands::SetFsaa8x() {
  ApplyDirectFsaa(p_.driver, DirectFsaaItem::Fsaa8x, p_.state.cardModel);
}

void TrayCommands::SetCurrentVideoMode(int item) {
  p_.modes.SetCurrentVideoMode(p_.menus.Submenu("Videomode1"), item);
}

void TrayCommands::EditLiveSettings() {
  // Said before the editor opens, rather than when its OK fails.
  if (DriverDenied(p_.driverRegistry, p_.state.driverKey)) {
    p_.ui.Notice(DriverLockedNotice(p_.state.administratorCan));
    return;
  }
  p_.editors.EditLiveSettings();
}

// The tray ignores clicks while the file dialog is open; the flag comes down
// also when the opening fails, or the tray would stay deaf.
void TrayCommands::AddProgram() {
  AddingProgram = true;
  try {
    p_.editors.AddProgram();
  } catch (...) {
    AddingProgram = false;
    throw;
  }
  AddingProgram = false;
}

void TrayCommands::EditProfile(const std::string& profile) { p_.editors.EditProfile(profile); }

void TrayCommands::RunFromMenu(const std::string& profile) { RunProfile(profile); }

void TrayCommands::ShowAbout() {
  // Read before the box exists: a stored edge of the wrong type ends the
  // command without leaving an invisible box that would block the icon.
  const StoredPosition position = ReadStoredPosition(p_.programRegistry);
  p_.view.OpenAbout(position);
}

void TrayCommands::Exit() { Close(); }

void TrayCommands::RemoveFromRegistry() {
  if (!p_.questions.Ask(Question::WarningYesNo, kRemoveQuestion)) return;
  // The adopted shortcuts go back while their records exist; the records of
  // those that cannot be written now are kept outside the program's key.
  // (The start-up handle is the machine's registry, where all users' records are.)
  const std::string leftAlone = AdoptionNotice(
      LinkAdoption(p_.programRegistry, p_.startupRegistry, p_.shell.Links(),
                   p_.shell.OwnExecutablePath())
          .UnadoptAll());
  if (!leftAlone.empty()) p_.ui.Notice(leftAlone);
  // A restore owed goes with the rest; an account that may not write the
  // machine's record (nor the driver) leaves it to one that may.
  try {
    RestoreJournal(p_.driverRegistry, p_.programRegistry).Clear();
  } catch (const RegistryError&) {
  }
  RemoveStore(p_.programRegistry);
  if (p_.programRegistry.KeyExists(kProgramKey)) {
    // Part of it may be gone: the menus list only what is left.
    BuildProgramMenus();
    p_.ui.ErrorReport(kNotRemoved);
    return;
  }
  p_.ui.Notice(kWillClose);
  Close();
}

void TrayCommands::ChooseModel6000() { ChooseCardModel(6000); }
void TrayCommands::ChooseModel5500() { ChooseCardModel(5500); }
void TrayCommands::ChooseModel4500() { ChooseCardModel(4500); }

void TrayCommands::ChooseCardModel(int model) {
  ApplyCardModel(model, p_.catalogue, p_.programRegistry, p_.state, p_.startupView);
}

void TrayCommands::MailAuthor() { p_.shell.OpenLink(kMailLink); }

void TrayCommands::VisitWebpage() { p_.shell.OpenLink(kHomePage); }

}  // namespace tw
