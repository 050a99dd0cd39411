#include "shell/startup.h"

#include <exception>

#include "driver/driver_access.h"
#include "platform/ansi_text.h"
#include "store/link_records.h"
#include "store/profile_store.h"

namespace tw {

namespace {

// An all-users shortcut another account adopted: this account has no profile
// of its name, so the game starts as the shortcut started it before,
// leaving the driver as it is.
bool StartSharedShortcut(const std::string& name, RegistryHandle& programRegistry,
                         RegistryHandle& machineRegistry, StartupView& view) {
  if (programRegistry.KeyExists(ProfileKeyPath(name))) return false;
  const std::optional<LinkFields> link = SharedLinkOriginal(machineRegistry, name);
  if (!link) return false;
  // No "Start in": the game's own folder rather than Tarnwick's, which the
  // adopted shortcut starts in.
  const std::string folder = link->workingDirectory.empty()
                                 ? PathFolder(link->target)
                                 : link->workingDirectory;
  view.StartProgram(LaunchRequest{link->target, link->arguments, folder});
  view.RequestQuit();
  return true;
}

// A failure here is reported and the program runs on, rather than failing
// every start the same way.
// From here on the tray copy takes the runs game icons hand over, so none
// starts unwatched while a question or notice of the restore is open; they
// wait until the restore is done, so none writes over its record.
void ResumeOwedRestore(StartupState& state, StartupView& view) {
  state.takesRuns = true;
  state.settlingRestore = true;
  try {
    const std::string note = view.ResumePendingRestore();
    if (state.debugMode && !note.empty()) view.AddLogLine(note);
  } catch (const std::exception& e) {
    view.ErrorReport(e.what());
  }
  state.settlingRestore = false;
}

void RunSequence(const std::string& commandLine, SettingCatalogue& catalogue,
                 RegistryHandle& programRegistry, RegistryHandle& driverRegistry,
                 RegistryHandle& startupRegistry, const TextCompare& compare,
                 StartupState& state, StartupView& view) {
  ParseArguments(SplitCommandLine(commandLine), state);
  if (!state.debugMode) view.HideMainWindow();
  if (state.runDirect &&
      StartSharedShortcut(state.commandLineProfile, programRegistry, driverRegistry, view)) {
    return;
  }

  if (!DetectVoodoo(driverRegistry, programRegistry, startupRegistry, compare, state,
                    state.debugMode ? &view : nullptr)) {
    // In debug mode the window stays up with the log; its Close button ends.
    if (!state.debugMode) {
      view.Notice(kNoVoodooMessage);
      view.RequestQuit();
    }
    return;
  }

  // Both a direct run and the tray need the model: the FSAA choices follow it.
  // When none is stored yet, the question offers the one the driver names.
  state.cardModel = state.namedModel != 0 ? state.namedModel : 4500;
  ReadCardModel(catalogue, programRegistry, state, view);

  if (state.runDirect) {
    // With reloading on, a game's icon is watched like the tray's own Run:
    // by the tray copy, or by this copy in its place until the game ends.
    // A name with no profile behind it fails as it always did, unwatched.
    const RunRoute route = state.reloadChecked &&
                                   programRegistry.KeyExists(ProfileKeyPath(state.commandLineProfile))
                               ? view.RouteRun(state.commandLineProfile)
                               : RunRoute::Direct;
    if (route != RunRoute::Alone) {
      if (route == RunRoute::Direct) view.RunProfile(state.commandLineProfile);
      view.RequestQuit();
      return;
    }
    state.runDirect = false;
    state.iconRun = true;
    // A restore a closed copy still owes comes first: the run then keeps
    // the driver as it was before that game. The tray comes after the
    // game's start, which it would only delay.
    ResumeOwedRestore(state, view);
    view.RunProfile(state.commandLineProfile);
    view.BuildMenus();
    view.AddTrayIcon();
    return;
  }
  view.AddTrayIcon();
  view.BuildMenus();
  ResumeOwedRestore(state, view);
  if (DriverDenied(driverRegistry, state.driverKey)) {
    view.Notice(DriverLockedNotice(state.administratorCan));
  }
}

}  // namespace

void RunStartup(const std::string& commandLine, SettingCatalogue& catalogue,
                RegistryHandle& programRegistry, RegistryHandle& driverRegistry,
                RegistryHandle& startupRegistry, const TextCompare& compare,
                StartupState& state, StartupView& view) {
  try {
    RunSequence(commandLine, catalogue, programRegistry, driverRegistry, startupRegistry,
                compare, state, view);
  } catch (const std::exception& e) {
    view.ErrorReport(e.what());
    // Without debug mode the window is hidden and there may be no icon yet:
    // running on would leave nothing to end the program with.
    if (state.debugMode) {
      state.startupFailed = true;
    } else {
      view.RequestQuit();
    }
  }
}

void StartupCloseClicked(StartupState& state, StartupView& view) {
  if (state.noCard) {
    view.Notice(kNoVoodooMessage);
    view.RequestQuit();
    return;
  }
  if (state.startupFailed) {
    view.RequestQuit();
    return;
  }
  view.HideMainWindow();
}

}  // namespace tw
