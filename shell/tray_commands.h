// The tray's commands, the logic of the hidden main window: the tray icon's
// callback, the two popup menus and the commands behind their items. The Win32
// window turns messages into these calls and does what the view below asks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "driver/launcher.h"
#include "editor/editor_openings.h"
#include "platform/desktop_shell.h"
#include "platform/menus.h"
#include "platform/questions.h"
#include "platform/text_compare.h"
#include "platform/ui.h"
#include "shell/run_handover.h"
#include "shell/startup.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"
#include "store/window_position.h"

namespace tw {

enum class TrayPopup { PopupMenu1, PopupMenu2 };

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Mouse messages the tray callback carries in its second parameter.
namespace tray_mouse {
constexpr unsigned kLeftButtonUp = 0x202;
constexpr unsigned kRightButtonUp = 0x205;
constexpr unsigned kLeftDoubleClick = 0x203;
}  // namespace tray_mouse

// What the logic asks of the real main window.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual bool EditorOpen() const = 0;  // the profile editor is open
  virtual bool AboutOpen() const = 0;   // the about box is open
  // A message box or modal dialog disables the main window, while the shell
  // still posts the icon's clicks.
  virtual bool MainWindowDisabled() const = 0;
  virtual ScreenPoint CursorPosition() const = 0;
  // Brings the main window to the foreground, shows the menu at `at` until it
  // closes, then posts WM_NULL to the main window.
  virtual void ShowPopup(TrayPopup menu, ScreenPoint at) = 0;
  // Creates the about box, placed at each stored edge (its design position
  // otherwise), and shows it, not modal.
  virtual void OpenAbout(const StoredPosition& position) = 0;
  // Closing ends the program (the tray commands' RemoveProfileItems, then
  // ShutDown).
  virtual void CloseMainWindow() = 0;
};

// Everything the main window's logic works with; owned by the window.
struct TrayCommandParts {
  SettingCatalogue& catalogue;
  RegistryHandle& programRegistry;
  RegistryHandle& startupRegistry;
  const TextCompare& compare;
  StartupState& state;
  RunFlags& flags;
  DriverSettings& driver;
  DisplayModes& modes;
  Launcher& launcher;
  UserInterface& ui;
  Questions& questions;
  DesktopShell& shell;
  MenuSet& menus;
  MainWindowView& view;
  StartupView& startupView;  // card model changes report back through it
  EditorCommands& editors;   // the profile editor's four openings
  Timer& clickTimer;         // runs the system's double-click time after a left click
  RegistryHandle& driverRegistry;  // asked whether this account may change the driver
};

// The main window is also what the profile editor reports back to: its
// saves and removals rebuild the profile menus, "Set default" enables
// "Reset to user defaults".
class TrayCommands : public EditorHost {
 public:
  explicit TrayCommands(TrayCommandParts parts) : p_(parts) {}
  TrayCommands(const TrayCommands&) = delete;
  TrayCommands& operator=(const TrayCommands&) = delete;

  // TrayNotifyMessage (0x401) with the mouse message.
  void TrayNotifyMessage(unsigned mouseMessage);
  // The click timer ran out: the left click was a single one.
  void ClickTimerTick();
  // WM_COMMAND of a popup menu item; false when no item has that id.
  bool MenuCommand(int id);
  // ShowLiveSettingsMessage (0x406).
  void ShowLiveSettingsMessage() { EditLiveSettings(); }

  // Start-up: the card model is known; its check mark and the Direct FSAA
  // items follow it.
  void CardModelApplied(int model);
  // Start-up, tray mode: check marks of the Defaults submenu, the Video mode
  // submenu and the profile submenus.
  void BuildMenus();
  // Config and Run hold one item per profile, alphabetically; also called
  // after a profile was saved or removed.
  void BuildProgramMenus() override;
  // "Reset to user defaults" once user defaults exist; stays enabled.
  void EnableResetToUserDefaults() override;
  // A run from the tray or from the command line; `showCommand`: the
  // window state a game's shortcut asked for. One run is set up at a time:
  // one asked for meanwhile (from a box's message loop, a hand-over) waits
  // its turn and starts after it, with its own profile.
  void RunProfile(const std::string& name, int showCommand = 0);
  // LaunchPendingMessage: the pending program starts, then the next run.
  void LaunchPending();
  // A run a game's icon handed over (as EncodeHandOver wrote it), `now` by
  // the system's tick count; true when taken. It starts from a posted
  // message, so a box or the editor open meanwhile does not keep the game
  // from starting.
  bool TakeHandedOverRun(const std::string& encoded, uint32_t now);
  // RunHandedOverMessage: the runs taken start, in turn.
  void RunHandedOver() { StartQueuedRuns(); }
  // Another start asks this copy to show its icon and stay in the tray:
  // true when it will (a copy that is closing or still starting does not).
  bool AskedToStay();
  // The main window is asked to close (WM_CLOSE): true when it may now. It
  // takes no more runs; a run being set up or waiting is started first,
  // and the window is asked again after it.
  bool CloseRequested();
  // An icon run's copy watches its game in the tray copy's place: its games
  // are over and nothing asked it to stay, so IconRunDoneMessage may close it.
  bool IconRunOver() const;
  // IconRunDoneMessage: closes an icon run's copy whose run is over, unless
  // a box or window of it is open, which keeps it in the tray.
  void EndIconRun();
  // The main window closes: the profile items go.
  void RemoveProfileItems();

  // True while the file dialog of "Add program" is shown: the tray icon's
  // clicks are ignored then.
  bool AddingProgram = false;

  // PopupMenu1
  void ResetToFactoryDefaults();
  void ResetToUserDefaults();
  void EditUserDefaults();
  void RestorePreviousSettings();
  void ToggleStartAtWindowsStartup();
  void ToggleReloadSettings();
  void SetFsaaSingleChip();
  void SetFsaaFastest();
  void SetFsaa2x();
  void SetFsaa4x();
  void SetFsaa8x();
  void SetCurrentVideoMode(int item);
  void EditLiveSettings();
  void AddProgram();
  void EditProfile(const std::string& profile);
  void RunFromMenu(const std::string& profile);
  void ShowAbout();
  void Exit();
  // PopupMenu2
  void RemoveFromRegistry();
  void ChooseModel6000();
  void ChooseModel5500();
  void ChooseModel4500();
  void MailAuthor();
  void VisitWebpage();

 private:
  void ChooseCardModel(int model);
  void StartQueuedRuns();
  void Close();
  bool TrayDeaf() const;
  void ShowPopup(TrayPopup menu, ScreenPoint at);

  TrayCommandParts p_;
  bool programMenusEmpty_ = false;  // Config and Run hold their "Empty" items
  bool popupOpen_ = false;          // a menu is tracked: clicks then would nest another
  bool afterDoubleClick_ = false;   // the next left button-up ends a double click
  ScreenPoint clickAt_;
  struct QueuedRun {
    std::string profile;
    int showCommand = 0;
  };
  std::vector<QueuedRun> queued_;  // runs waiting for the one being set up, oldest first
  bool closeWanted_ = false;       // closing waits for the runs being set up
};

// The start-up value under the Run key for an executable path: quoted when
// the path holds a blank, so Windows cannot take a shorter path for it.
std::string StartupCommand(const std::string& executablePath);

}  // namespace tw
