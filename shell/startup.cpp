#include "shell/startup.h"

#include <exception>

#include "driver/driver_access.h"

namespace tw {

namespace {

// A failure here is reported and the program runs on, rather than failing
// every start the same way.
void ResumeOwedRestore(StartupView& view) {
  try {
    view.ResumePendingRestore();
  } catch (const std::exception& e) {
    view.ErrorReport(e.what());
  }
}

void RunSequence(const std::string& commandLine, SettingCatalogue& catalogue,
                 RegistryHandle& programRegistry, RegistryHandle& driverRegistry,
                 RegistryHandle& startupRegistry, const TextCompare& compare,
                 StartupState& state, StartupView& view) {
  ParseArguments(SplitCommandLine(commandLine), state);
  if (!state.debugMode) view.HideMainWindow();

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
    const RunRoute route =
        state.reloadChecked ? view.RouteRun(state.commandLineProfile) : RunRoute::Direct;
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
    ResumeOwedRestore(view);
    state.takesRuns = true;
    view.RunProfile(state.commandLineProfile);
    view.BuildMenus();
    view.AddTrayIcon();
    return;
  }
  view.AddTrayIcon();
  view.BuildMenus();
  ResumeOwedRestore(view);
  state.takesRuns = true;
  if (!DriverWritable(driverRegistry, state.driverKey)) {
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
