// Running a profile: launch data, driver settings, display mode, the program
// itself, and the exit watch that puts everything back.
#pragma once

#include <cstdint>
#include <string>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "platform/processes.h"
#include "platform/ui.h"
#include "store/registry_handle.h"

namespace tw {

// Start-up state and menu check marks the launcher reads; owned by the main window.
struct RunFlags {
  bool runDirect = false;       // a command-line run: not watched
  bool reloadSettings = true;   // "Reload settings after finishing game" checked
};

class Launcher {
 public:
  enum class State { Idle, ModeSwitchPending, Launching, Watching };

  Launcher(RegistryHandle& programRegistry, DriverSettings& driver, DisplayModes& modes,
           Processes& processes, Timer& timer1, UserInterface& ui, const RunFlags& flags);
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  void RunProfile(const std::string& name);
  void LaunchProgram(const std::string& file, const std::string& parameters,
                     const std::string& directory);
  void OnLaunchPending();                          // LaunchPendingMessage
  void CheckProgramExit(bool shuttingDown = false);  // Timer1Timer
  // "Reset to previous settings" and the end of a watch: driver values, then
  // the display mode when the last run switched it.
  void RestorePreviousSettings();
  // Leaving the program while a game is watched: stop without restoring.
  void StopWatch();

  State CurrentState() const { return state_; }
  int RunDesktopMode() const { return runDesktopMode_; }
  const std::string& ProfileFilePath() const { return profileFilePath_; }
  const std::string& ProfileParameters() const { return profileParameters_; }
  const std::string& ProfileDirectory() const { return profileDirectory_; }
  ProcessHandle LaunchedProcess() const { return launchedProcess_; }

  static unsigned PollIntervalMs(bool hasPoll, int32_t pollSeconds);

 private:
  void ReleaseProcess();

  RegistryHandle& programRegistry_;
  DriverSettings& driver_;
  DisplayModes& modes_;
  Processes& processes_;
  Timer& timer1_;
  UserInterface& ui_;
  const RunFlags& flags_;

  State state_ = State::Idle;
  std::string profileFilePath_;
  std::string profileParameters_;
  std::string profileDirectory_;
  int runDesktopMode_ = -1;
  ProcessHandle launchedProcess_ = 0;
  uint32_t exitCode_ = 0;
};

}  // namespace tw
