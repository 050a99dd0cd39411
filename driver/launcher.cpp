#include "driver/launcher.h"

#include <cstdint>

#include "store/profile_store.h"

namespace tw {

namespace {

constexpr unsigned kDefaultPollMs = 3000;
constexpr int32_t kMinPollSeconds = 1;       // 0 would make a timer that never ticks
constexpr unsigned kMaxTimerMs = 0x7FFFFFFF;  // the largest interval a window timer takes

}  // namespace

Launcher::Launcher(RegistryHandle& programRegistry, DriverSettings& driver, DisplayModes& modes,
                   Processes& processes, Timer& timer1, UserInterface& ui, const RunFlags& flags)
    : programRegistry_(programRegistry),
      driver_(driver),
      modes_(modes),
      processes_(processes),
      timer1_(timer1),
      ui_(ui),
      flags_(flags) {
  timer1_.SetEnabled(false);
  timer1_.SetInterval(kDefaultPollMs);
}

Launcher::~Launcher() { ReleaseProcess(); }

unsigned Launcher::PollIntervalMs(bool hasPoll, int32_t pollSeconds) {
  if (!hasPoll) return kDefaultPollMs;
  if (pollSeconds < kMinPollSeconds) pollSeconds = kMinPollSeconds;
  if (static_cast<uint32_t>(pollSeconds) > kMaxTimerMs / 1000) return kMaxTimerMs;
  return static_cast<unsigned>(pollSeconds) * 1000;
}

void Launcher::RunProfile(const std::string& name) {
  // Read everything before touching the run state, so a value of the wrong
  // type ends the command without half of a new run mixed into a watched one.
  std::string filePath, parameters, directory;
  unsigned interval = kDefaultPollMs;
  int desktopMode = -1;
  {
    ScopedKey key(programRegistry_, ProfileKeyPath(name), !flags_.runDirect);
    filePath = programRegistry_.ReadString("FilePath");
    parameters = programRegistry_.ReadString("Parameters");
    directory = programRegistry_.ReadString("Directory");
    const bool hasPoll = programRegistry_.ValueExists("Poll");
    interval = PollIntervalMs(hasPoll, hasPoll ? programRegistry_.ReadInteger("Poll") : 0);
    if (programRegistry_.ValueExists("Desktop Mode")) {
      desktopMode = programRegistry_.ReadInteger("Desktop Mode");
    }
  }
  const int watchedDesktopMode = runDesktopMode_;
  runDesktopMode_ = desktopMode;
  profileFilePath_ = filePath;
  profileParameters_ = parameters;
  profileDirectory_ = directory;
  timer1_.SetInterval(interval);

  driver_.ApplyProfileSettings(name, flags_.runDirect);

  if (runDesktopMode_ < 0) {
    LaunchProgram(profileFilePath_, profileParameters_, profileDirectory_);
    return;
  }
  state_ = State::ModeSwitchPending;
  if (!modes_.ChangeDisplayMode(runDesktopMode_, true)) {
    // Nothing will be launched. An earlier watch goes on, and its end puts
    // back its own display mode, not the one this run failed to set.
    if (timer1_.Enabled()) {
      state_ = State::Watching;
      runDesktopMode_ = watchedDesktopMode;
    } else {
      state_ = State::Idle;
    }
  }
}

void Launcher::LaunchProgram(const std::string& file, const std::string& parameters,
                             const std::string& directory) {
  state_ = State::Launching;
  ProcessHandle process = 0;
  // An empty file (a name with no profile behind it) never reaches the shell,
  // which would show its own error box first or open a folder instead.
  if (file.empty() || !processes_.Launch(LaunchRequest{file, parameters, directory}, &process)) {
    // An earlier watch keeps following its own program.
    state_ = timer1_.Enabled() ? State::Watching : State::Idle;
    ui_.Notice("Could not start " + file);
    return;
  }
  ReleaseProcess();
  launchedProcess_ = process;
  if (flags_.reloadSettings && !flags_.runDirect) {
    timer1_.SetEnabled(true);
    state_ = State::Watching;
  } else {
    timer1_.SetEnabled(false);
    state_ = State::Idle;
  }
}

void Launcher::OnLaunchPending() {
  LaunchProgram(profileFilePath_, profileParameters_, profileDirectory_);
}

void Launcher::CheckProgramExit(bool shuttingDown) {
  // A tick that was already on its way when the watch stopped, or one that
  // comes while a new run waits for its display switch (the pending launch
  // replaces the watched process), decides nothing.
  if (state_ != State::Watching) return;

  bool ended = shuttingDown || launchedProcess_ == 0;
  if (!ended) {
    // An exit code that cannot be read will never read as running again.
    ended = !processes_.ExitCode(launchedProcess_, &exitCode_) || exitCode_ != kStillActive;
  }
  if (!ended) return;

  StopWatch();
  RestorePreviousSettings();
}

void Launcher::RestorePreviousSettings() {
  driver_.RestorePreviousValues();
  if (runDesktopMode_ >= 0) modes_.RestoreDisplayMode();
}

void Launcher::StopWatch() {
  timer1_.SetEnabled(false);
  ReleaseProcess();
  state_ = State::Idle;
}

void Launcher::ReleaseProcess() {
  if (launchedProcess_ != 0) processes_.Close(launchedProcess_);
  launchedProcess_ = 0;
}

}  // namespace tw
