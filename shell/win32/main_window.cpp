#include "shell/win32/main_window.h"

#include <exception>

#include "dialogs/win32/about_window.h"
#include "dialogs/win32/card_model_window.h"
#include "platform/messages.h"
#include "res/resource_ids.h"
#include "shell/startup_layout.h"
#include "shell/tray_menus.h"
#include "shell/tray_tip.h"

namespace tw {

MainWindow::MainWindow(HINSTANCE instance, ProgramServices services)
    : instance_(instance),
      services_(services),
      modes_(display_, ui_),
      driver_(services.catalogue, services.programRegistry, services.driverRegistry,
              state_.driverKey),
      launcher_(services.programRegistry, driver_, modes_, processes_, exitTimer_, ui_, questions_,
                flags_),
      editorServices_{services.catalogue, services.programRegistry, services.driverRegistry,
                      state_.driverKey, modes_, driver_, ui_, questions_, shell_, trayCommands_,
                      working_},
      editorFactory_(instance, editorServices_),
      editors_(editorFactory_, working_, chooser_),
      trayCommands_({services.catalogue, services.programRegistry, services.startupRegistry,
                     services.compare, state_, flags_, driver_, modes_, launcher_, ui_, questions_,
                     shell_, menus_, *this, *this, editors_, clickTimer_,
                     services.driverRegistry}) {
  launcher_.SetWatchListener(this);
  launcher_.SetWatchLock(&watchLock_);
  state_.administratorCan = (GetVersion() & 0x80000000u) == 0;
  startedShow_ = StartedShowCommand();
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  if (trayIconImage_) DestroyIcon(trayIconImage_);
}

bool MainWindow::Create(const std::string& commandLine) {
  commandLine_ = commandLine;
  const FormLayout& layout = StartupWindowLayout();
  taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
  showTrayIconMessage_ = RegisterWindowMessageA(kTrayCopyName);
  if (!CreateForm(layout, instance_, nullptr)) return false;
  if (!hidden_) ShowWindow(window_, SW_SHOWNORMAL);
  return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      StartUp();
      return 0;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == 0) {
        trayCommands_.MenuCommand(LOWORD(wParam));  // a popup menu item
      } else if (HIWORD(wParam) == BN_CLICKED && controls_.NameOf(LOWORD(wParam)) == "Button1") {
        CloseStartupWindow();
      }
      return 0;
    case WM_TIMER:
      if (wParam == Win32Timer::kTimerId) CheckWatchedProgram();
      if (wParam == clickTimer_.Id()) trayCommands_.ClickTimerTick();
      if (wParam == kIconTimerId) ShowTrayIcon(false);
      if (wParam == kTrayLaterTimerId) ShowTray();
      return 0;
    case WM_CLOSE:
      if (!trayCommands_.CloseRequested()) return 0;  // asked again once its runs have started
      trayCommands_.RemoveProfileItems();
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      ShutDown();
      return 0;
    case WM_COPYDATA:
      return TakeHandedOverRun(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    default:
      if (message == kTrayNotifyMessage) {
        trayCommands_.TrayNotifyMessage(static_cast<unsigned>(lParam));
        return 0;
      }
      if (message == kShowLiveSettingsMessage) {
        trayCommands_.ShowLiveSettingsMessage();
        return 0;
      }
      if (message == kEditorClosedMessage) {
        EditorClosed();
        return 0;
      }
      if (message == kAboutClosedMessage) {
        AboutClosed();
        return 0;
      }
      if (message == kLaunchPendingMessage) {
        trayCommands_.LaunchPending();
        if (quitAfterLaunch_) PostQuitMessage(0);
        IconRunMayEnd();
        return 0;
      }
      if (message == kRunHandedOverMessage) {
        trayCommands_.RunHandedOver();
        IconRunMayEnd();
        return 0;
      }
      if (message == kIconRunDoneMessage) {
        trayCommands_.EndIconRun();
        return 0;
      }
      if (message == kCardDialogClosedMessage) {
        CardDialogClosed();
        return 0;
      }
      if (message == showTrayIconMessage_ && message != 0) {
        // A tray start found this copy: it stays and shows its icon, unless
        // it is closing or still starting, when the other copy tries again.
        if (!trayCommands_.AskedToStay()) return 0;
        ShowTrayIcon(true);
        return kStayAnswer;
      }
      if (message == taskbarCreatedMessage_ && message != 0) {
        ShowTrayIcon(true);
        return 0;
      }
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void MainWindow::StartUp() {
  ui_.SetMainWindow(window_);
  shell_.SetOwner(window_);
  questions_.SetOwner(window_);
  chooser_.SetOwner(window_);
  editorFactory_.SetMainWindow(window_);
  exitTimer_.SetWindow(window_);
  clickTimer_.SetWindow(window_);
  display_.SetWindow(window_);
  processes_.SetOwner(window_);
  controls_.Create(window_, StartupWindowLayout(), instance_);
  SetPropA(window_, kTrayWindowProperty, reinterpret_cast<HANDLE>(1));
  // The menus exist before start-up reads the card model, which they show.
  if (!menus_.Create(PopupMenu1Layout()) || !menus_.Create(PopupMenu2Layout())) {
    ui_.ErrorReport("Could not create the tray menus");
  }
  RunStartup(commandLine_, services_.catalogue, services_.programRegistry,
             services_.driverRegistry, services_.startupRegistry, services_.compare, state_,
             *this);
  trayCommands_.RunHandedOver();  // runs taken while an owed restore was settled
  IconRunMayEnd();
}

void MainWindow::IconRunMayEnd() {
  if (trayCommands_.IconRunOver()) PostMessageA(window_, kIconRunDoneMessage, 0, 0);
}

LRESULT MainWindow::TakeHandedOverRun(const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != kHandOverTag || data->lpData == nullptr ||
      !trayCommands_.TakeHandedOverRun(
          std::string(static_cast<const char*>(data->lpData), data->cbData), GetTickCount())) {
    return 0;
  }
  return kHandOverTaken;
}

void MainWindow::CloseStartupWindow() {
  const bool willHide = !state_.noCard && !state_.startupFailed;
  StartupCloseClicked(state_, *this);
  if (willHide) SetWindowTextA(controls_.Get("Memo1"), "");
}

void MainWindow::CheckWatchedProgram() { launcher_.CheckProgramExit(); }

void MainWindow::ShutDown() {
  // Leaving while a game is watched stops the watch; nothing is restored.
  launcher_.StopWatch();
  exitTimer_.SetEnabled(false);
  clickTimer_.SetEnabled(false);
  KillTimer(window_, kIconTimerId);
  KillTimer(window_, kTrayLaterTimerId);
  trayIcon_.Remove();
  // The next copy may start as soon as this window is gone (an installer
  // waits for just that): it must not find this one's claims still held,
  // or it would end at once, or leave an owed restore for later. The
  // journal keeps what is owed.
  watchLock_.Release();
  RemovePropA(window_, kTrayWindowProperty);
  services_.trayClaim.Release();
  PostQuitMessage(0);
}

void MainWindow::CardDialogClosed() { cardModelWindow_.reset(); }

void MainWindow::AboutClosed() { aboutBox_.reset(); }

// The closed editor is destroyed here, outside its own handlers.
void MainWindow::EditorClosed() { editors_.EditorClosed(); }

bool MainWindow::EditorOpen() const { return editors_.EditorOpen(); }

ScreenPoint MainWindow::CursorPosition() const {
  POINT point = {};
  GetCursorPos(&point);
  return {point.x, point.y};
}

void MainWindow::ShowPopup(TrayPopup menu, ScreenPoint at) {
  HMENU popup = menus_.Menu(menu == TrayPopup::PopupMenu1 ? PopupMenu1Layout().name
                                                          : PopupMenu2Layout().name);
  if (!popup) return;
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the empty message afterwards lets it close at once.
  SetForegroundWindow(window_);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  PostMessageA(window_, WM_NULL, 0, 0);
}

void MainWindow::OpenAbout(const StoredPosition& position) {
  aboutBox_.reset(new AboutWindow(instance_, window_, shell_, ui_));
  if (!aboutBox_->Show(position)) aboutBox_.reset();
}

void MainWindow::CloseMainWindow() {
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
}

void MainWindow::AddLogLine(const std::string& line) {
  HWND memo = controls_.Get("Memo1");
  const int end = GetWindowTextLengthA(memo);
  SendMessageA(memo, EM_SETSEL, end, end);
  const std::string text = (end > 0 ? "\r\n" : "") + line;
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::HideMainWindow() {
  hidden_ = true;
  if (window_) ShowWindow(window_, SW_HIDE);
}

void MainWindow::RequestQuit() {
  // A command-line run whose display switch has posted the launch ends after
  // it: a quit already pending would close the launch's message boxes as
  // soon as they open.
  if (launcher_.CurrentState() == Launcher::State::ModeSwitchPending) {
    quitAfterLaunch_ = true;
    return;
  }
  PostQuitMessage(0);
}

void MainWindow::AskCardModel(int& model) {
  cardModelWindow_.reset(new CardModelWindow(instance_, window_, model));
  cardModelWindow_->ShowModal();
}

void MainWindow::CardModelApplied(int model) { trayCommands_.CardModelApplied(model); }

void MainWindow::RunProfile(const std::string& name) {
  trayCommands_.RunProfile(name, startedShow_);
}

RunRoute MainWindow::RouteRun(const std::string& name) {
  return services_.trayClaim.RouteRun(name, startedShow_);
}

// The menus' mode scan and the shell's icon would only slow the start of
// the game an icon run's copy has just launched.
void MainWindow::BuildMenus() {
  if (state_.iconRun) {
    SetTimer(window_, kTrayLaterTimerId, kTrayLaterMs, nullptr);
    return;
  }
  trayCommands_.BuildMenus();
}

void MainWindow::ShowTray() {
  KillTimer(window_, kTrayLaterTimerId);
  trayCommands_.BuildMenus();
  PutIconInTray();
}

void MainWindow::StartProgram(const LaunchRequest& request) {
  // The shortcut's window state passes on, as to a profile's game.
  LaunchRequest started = request;
  started.showCommand = startedShow_;
  ProcessHandle process = 0;
  if (!processes_.Launch(started, &process)) {
    ui_.Notice(kCouldNotStart + request.file);
    return;
  }
  processes_.Close(process);
}

void MainWindow::AddTrayIcon() {
  if (!state_.iconRun) PutIconInTray();  // otherwise with the menus, by ShowTray
}

void MainWindow::PutIconInTray() {
  if (!trayIconImage_) {
    trayIconImage_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_MAINICON),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
  }
  RetryTrayIcon(trayIcon_.Add(window_, trayIconImage_, kTrayNotifyMessage), true);
}

void MainWindow::ShowTrayIcon(bool fresh) {
  // Only the tray copy has an icon to show; a named run's window has none.
  if (trayIcon_.Wanted()) RetryTrayIcon(trayIcon_.Restore(), fresh);
}

void MainWindow::RetryTrayIcon(bool shown, bool fresh) {
  if (iconRetry_.Again(shown, fresh)) {
    SetTimer(window_, kIconTimerId, TrayIconRetry::kRetryMs, nullptr);
  } else {
    KillTimer(window_, kIconTimerId);
  }
}

void MainWindow::WatchChanged() {
  trayIcon_.SetTip(TrayTip(launcher_.WatchedProfile()));
  IconRunMayEnd();
}

}  // namespace tw
