// The hidden main window (class "TForm2"). It owns the start-up window's
// controls, the tray icon, the exit timer and the run machinery, and turns
// window messages into the program's handlers.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "driver/launcher.h"
#include "editor/editor_openings.h"
#include "editor/win32/editor_window.h"
#include "platform/win32/desktop_shell_win32.h"
#include "platform/win32/display_win32.h"
#include "platform/win32/form_builder.h"
#include "platform/win32/menu_win32.h"
#include "platform/win32/processes_win32.h"
#include "platform/win32/questions_win32.h"
#include "platform/win32/ui_win32.h"
#include "platform/win32/watch_lock_win32.h"
#include "platform/win32/window_owner.h"
#include "shell/startup.h"
#include "shell/tray_claim.h"
#include "shell/tray_commands.h"
#include "shell/tray_icon_retry.h"
#include "shell/win32/tray_copy.h"
#include "shell/win32/tray_icon.h"

namespace tw {

class AboutWindow;
class CardModelWindow;

// What the process sets up before any window exists.
struct ProgramServices {
  SettingCatalogue& catalogue;
  RegistryHandle& programRegistry;
  RegistryHandle& driverRegistry;
  RegistryHandle& startupRegistry;
  const TextCompare& compare;
  TrayClaim& trayClaim;
};

class MainWindow : private WindowOwner,
                   private StartupView,
                   private WatchListener,
                   private MainWindowView {
 public:
  MainWindow(HINSTANCE instance, ProgramServices services);
  ~MainWindow() override;

  // Creates the window; the start-up sequence runs during its creation.
  bool Create(const std::string& commandLine);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A failed command is reported as the general error report and the
  // program goes on.
  void ReportFailure(const std::string& text) override { ui_.ErrorReport(text); }

  void StartUp();
  void CloseStartupWindow();
  void CheckWatchedProgram();
  void ShutDown();
  void CardDialogClosed();
  void AboutClosed();
  void EditorClosed();
  // A game's icon run that this copy watches in the tray copy's place ends
  // with its watch, unless the tray was asked for or used meanwhile.
  void IconRunMayEnd();
  LRESULT TakeHandedOverRun(const COPYDATASTRUCT* data);

  // StartupView
  void AddLogLine(const std::string& line) override;
  void HideMainWindow() override;
  void Notice(const std::string& text) override { ui_.Notice(text); }
  void ErrorReport(const std::string& text) override { ui_.ErrorReport(text); }
  void RequestQuit() override;
  void AskCardModel(int& model) override;
  void CardModelApplied(int model) override;
  void RunProfile(const std::string& name) override;
  void StartProgram(const LaunchRequest& request) override;
  RunRoute RouteRun(const std::string& name) override;
  void AddTrayIcon() override;
  void BuildMenus() override;
  void ShowTray();
  void PutIconInTray();
  std::string ResumePendingRestore() override { return launcher_.ResumeFromJournal(); }

  // WatchListener: the tip says which game is watched.
  void WatchChanged() override;
  // The icon shown again (TaskbarCreated, a second start, a retry's tick),
  // and the retry timer set by the outcome.
  void ShowTrayIcon(bool fresh);
  void RetryTrayIcon(bool shown, bool fresh);

  // MainWindowView
  bool EditorOpen() const override;
  bool AboutOpen() const override { return aboutBox_ != nullptr; }
  bool MainWindowDisabled() const override { return window_ && !IsWindowEnabled(window_); }
  ScreenPoint CursorPosition() const override;
  void ShowPopup(TrayPopup menu, ScreenPoint at) override;
  void OpenAbout(const StoredPosition& position) override;
  void CloseMainWindow() override;

  HINSTANCE instance_;
  ProgramServices services_;
  std::string commandLine_;
  bool hidden_ = false;
  bool quitAfterLaunch_ = false;
  int startedShow_ = 0;    // the window state this process was started with
  FormControls controls_;
  TrayIcon trayIcon_;
  HICON trayIconImage_ = nullptr;
  UINT taskbarCreatedMessage_ = 0;
  UINT showTrayIconMessage_ = 0;  // a second start asks for the icon

  StartupState state_;
  RunFlags flags_;
  Win32UserInterface ui_;
  Win32Timer exitTimer_{3000};
  Win32Timer clickTimer_{GetDoubleClickTime(), Win32Timer::kTimerId + 1};
  static constexpr UINT_PTR kIconTimerId = Win32Timer::kTimerId + 2;
  // An icon run's copy shows the tray once its game has had its start.
  static constexpr UINT_PTR kTrayLaterTimerId = Win32Timer::kTimerId + 3;
  static constexpr UINT kTrayLaterMs = 500;
  TrayIconRetry iconRetry_;
  Win32Display display_;
  Win32Processes processes_;
  Win32WatchLock watchLock_;
  DisplayModes modes_;
  DriverSettings driver_;
  Launcher launcher_;
  Win32DesktopShell shell_;
  Win32Questions questions_;
  Win32MenuSet menus_;
  // The profile editor: made on demand, at most one.
  Win32ProgramChooser chooser_;
  EditorWorkingValues working_;
  EditorServices editorServices_;
  Win32EditorFactory editorFactory_;
  EditorOpenings editors_;
  TrayCommands trayCommands_;
  std::unique_ptr<AboutWindow> aboutBox_;
  std::unique_ptr<CardModelWindow> cardModelWindow_;
};

}  // namespace tw
