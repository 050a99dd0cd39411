// The tray copy's runs: one set up at a time, the runs game icons hand
// over, and when the copy may close.
#include <exception>

#include "platform/messages.h"
#include "shell/tray_claim.h"
#include "shell/tray_commands.h"

namespace tw {

void TrayCommands::RunProfile(const std::string& name, int showCommand) {
  queued_.push_back({name, showCommand});
  StartQueuedRuns();
}

void TrayCommands::LaunchPending() {
  try {
    p_.launcher.OnLaunchPending();
  } catch (const std::exception&) {
    if (!queued_.empty()) p_.ui.PostToMainWindow(kRunHandedOverMessage);
    throw;
  }
  StartQueuedRuns();
}

void TrayCommands::StartQueuedRuns() {
  // A run asked for while another is set up (from its notice's message
  // loop, say) comes back here once that one is done with.
  while (!queued_.empty() && !p_.launcher.SettingUp() && !p_.state.settlingRestore) {
    const QueuedRun run = queued_.front();
    queued_.erase(queued_.begin());
    p_.flags.runDirect = p_.state.runDirect;
    p_.flags.reloadSettings = p_.state.reloadChecked;
    p_.flags.administratorCan = p_.state.administratorCan;
    p_.flags.showCommand = run.showCommand;
    try {
      p_.launcher.RunProfile(run.profile);
    } catch (const std::exception&) {
      // The failed run is reported; the runs after it still get their turn.
      if (!queued_.empty()) p_.ui.PostToMainWindow(kRunHandedOverMessage);
      throw;
    }
  }
  if (closeWanted_ && queued_.empty() && !p_.launcher.SettingUp()) {
    closeWanted_ = false;
    p_.view.CloseMainWindow();
  }
}

bool TrayCommands::TakeHandedOverRun(const std::string& encoded, uint32_t now) {
  // A closing copy would lose the run; an answer late enough that the
  // sender may have given up must not start the game a second time. A run
  // taken while start-up settles an owed restore waits for it.
  HandedOverRun run;
  if (!DecodeHandOver(encoded, &run) || !p_.state.takesRuns || !HandOverFresh(run.sentAt, now)) {
    return false;
  }
  queued_.push_back({run.profile, run.showCommand});
  p_.ui.PostToMainWindow(kRunHandedOverMessage);
  return true;
}

bool TrayCommands::AskedToStay() {
  if (!p_.state.takesRuns) return false;
  p_.state.keepTray = true;
  return true;
}

bool TrayCommands::CloseRequested() {
  p_.state.takesRuns = false;
  if (queued_.empty() && !p_.launcher.SettingUp()) return true;
  closeWanted_ = true;
  return false;
}

void TrayCommands::Close() {
  p_.state.takesRuns = false;
  p_.view.CloseMainWindow();
}

bool TrayCommands::IconRunOver() const {
  // Not while a run is set up: its notice may be open, and the copy is
  // asked again once the run is done with.
  return p_.state.iconRun && !p_.state.keepTray && queued_.empty() &&
         !p_.launcher.SettingUp() && p_.launcher.CurrentState() == Launcher::State::Idle;
}

void TrayCommands::EndIconRun() {
  if (!IconRunOver()) return;
  // A box or window of ours is open (a report of the restore, say): closing
  // would take it away, so this copy stays in the tray.
  if (p_.view.MainWindowDisabled() || p_.view.EditorOpen() || p_.view.AboutOpen()) {
    p_.state.keepTray = true;
    return;
  }
  // A later icon hands over to the next tray copy, or runs alone.
  Close();
}

}  // namespace tw
