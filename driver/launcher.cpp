#include "driver/launcher.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "driver/driver_access.h"
#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

constexpr unsigned kDefaultPollMs = 3000;
constexpr int32_t kMinPollSeconds = 1;       // 0 would make a timer that never ticks
constexpr unsigned kMaxTimerMs = 0x7FFFFFFF;  // the largest interval a window timer takes

// Counts the setting-up calls under way, however they end.
class SettingUpScope {
 public:
  explicit SettingUpScope(int& depth) : depth_(depth) { ++depth_; }
  ~SettingUpScope() { --depth_; }
  SettingUpScope(const SettingUpScope&) = delete;
  SettingUpScope& operator=(const SettingUpScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

const char kAnotherAccountsGameNotice[] =
    "Another user's game is running with its own driver settings. Start this game again once "
    "it has ended.";

Launcher::Launcher(RegistryHandle& programRegistry, DriverSettings& driver, DisplayModes& modes,
                   Processes& processes, Timer& exitTimer, UserInterface& ui,
                   Questions& questions, const RunFlags& flags)
    : programRegistry_(programRegistry),
      driver_(driver),
      modes_(modes),
      processes_(processes),
      exitTimer_(exitTimer),
      ui_(ui),
      questions_(questions),
      flags_(flags),
      journal_(driver.DriverRegistry(), programRegistry),
      watch_(processes) {
  exitTimer_.SetEnabled(false);
  exitTimer_.SetInterval(kDefaultPollMs);
}

Launcher::~Launcher() {
  watch_.Stop();
  ReleaseProcess();
}

std::string ClosedDuringRunQuestion(const std::string& profile) {
  return "Tarnwick was closed while \"" + profile +
         "\" was running. Put the driver settings back as they were before it started?";
}

unsigned Launcher::PollIntervalMs(bool hasPoll, int32_t pollSeconds) {
  if (!hasPoll) return kDefaultPollMs;
  if (pollSeconds < kMinPollSeconds) pollSeconds = kMinPollSeconds;
  if (static_cast<uint32_t>(pollSeconds) > kMaxTimerMs / 1000) return kMaxTimerMs;
  return static_cast<unsigned>(pollSeconds) * 1000;
}

void Launcher::RunProfile(const std::string& name) {
  SettingUpScope busy(settingUp_);
  // Read everything before touching the run state, so a value of the wrong
  // type ends the command without half of a new run mixed into a watched one.
  std::string filePath, parameters, directory;
  unsigned interval = kDefaultPollMs;
  int desktopMode = -1;
  {
    ScopedKey key(programRegistry_, ProfileKeyPath(name), !flags_.runDirect);
    // A profile that does not exist reads as empty; one the registry will not
    // open cannot be read at all.
    if (key.Refused()) throw RegistryError::GetFailed("FilePath");
    filePath = programRegistry_.ReadString("FilePath");
    parameters = programRegistry_.ReadString("Parameters");
    directory = programRegistry_.ReadString("Directory");
    const bool hasPoll = programRegistry_.ValueExists("Poll");
    interval = PollIntervalMs(hasPoll, hasPoll ? programRegistry_.ReadInteger("Poll") : 0);
    if (programRegistry_.ValueExists("Desktop Mode")) {
      desktopMode = programRegistry_.ReadInteger("Desktop Mode");
    }
  }
  // Worked out before anything is written, so that a watched run records
  // first what it is about to do.
  const DriverPlan plan = driver_.PlanProfileSettings(name, flags_.runDirect);
  // An account the system will not let change the driver (a limited one on
  // 2000/XP) writes nothing: its game starts all the same, with the driver
  // as it is and nothing owed, neither settings nor a display mode, also
  // while another account's game is watched.
  const bool writes = MayWriteDriver();
  if (writes && !(MayRun() && SettleOwedBeforeRun())) {
    ui_.Notice(kAnotherAccountsGameNotice);
    return;
  }
  earlierOwed_ = journalPending_ && state_ == State::Watching;
  if (earlierOwed_) earlierRecord_ = record_;
  earlierDesktopMode_ = runDesktopMode_;
  wayBack_ = modes_.SavedModeNumber();
  runDesktopMode_ = writes ? desktopMode : -1;
  profileFilePath_ = filePath;
  profileParameters_ = parameters;
  profileDirectory_ = directory;
  exitTimer_.SetInterval(interval);
  owesNothing_ = !writes;

  runProfile_ = name;
  runOwed_ = writes && WatchedRun();
  if (writes) {
    if (runOwed_) {
      runPrior_ = driver_.PlanPriorState(plan, true);
      BeginJournal(name, plan, driver_.PlanPriorState(plan));
    }
    bool givenBack = true;
    try {
      driver_.ApplyRunPlan(plan, givenBack);
    } catch (const std::exception&) {
      // Any refusal now (part-way, or of one value) is the registry's own
      // error, reported as such. A part-way write that could not be given
      // back keeps its record: the next start puts the driver back.
      if (givenBack) {
        runDesktopMode_ = earlierDesktopMode_;
        runOwed_ = false;
        EndJournalOfUnwatchedRun();
      }
      throw;
    }
  } else {
    ui_.Notice(DriverLockedNotice(flags_.administratorCan, name));
  }

  if (runDesktopMode_ < 0) {
    LaunchProgram(profileFilePath_, profileParameters_, profileDirectory_);
    return;
  }
  state_ = State::ModeSwitchPending;
  std::string failure;
  if (!modes_.ChangeDisplayMode(runDesktopMode_, true, false, &failure)) {
    // Nothing will be launched. An earlier watch goes on, and its end puts
    // back its own display mode, not the one this run failed to set.
    if (exitTimer_.Enabled()) {
      state_ = State::Watching;
      runDesktopMode_ = earlierDesktopMode_;
    } else {
      state_ = State::Idle;
    }
    GiveBackUnstartedRun(false);
    if (!failure.empty()) ui_.Notice(failure);
  }
}

void Launcher::LaunchProgram(const std::string& file, const std::string& parameters,
                             const std::string& directory) {
  SettingUpScope busy(settingUp_);
  const bool switched = state_ == State::ModeSwitchPending && runDesktopMode_ >= 0;
  state_ = State::Launching;
  ProcessHandle process = 0;
  // An empty file (a name with no profile behind it) never reaches the shell,
  // which would show its own error box first or open a folder instead.
  // A command-line run is what a shortcut starts; the tray's runs are not.
  if (file.empty() ||
      !processes_.Launch(LaunchRequest{file, parameters, directory, flags_.showCommand},
                         &process)) {
    // An earlier watch keeps following its own program.
    state_ = exitTimer_.Enabled() ? State::Watching : State::Idle;
    GiveBackUnstartedRun(switched);
    ui_.Notice(kCouldNotStart + file);
    return;
  }
  runOwed_ = false;  // the watch owes it now, or nobody does
  watch_.Stop();
  ReleaseProcess();
  launchedProcess_ = process;
  if (WatchedRun() && !owesNothing_) {
    exitTimer_.SetEnabled(true);
    state_ = State::Watching;
    StartWatch(process, runProfile_);
  } else {
    exitTimer_.SetEnabled(false);
    state_ = State::Idle;
    EndJournalOfUnwatchedRun();
    SetWatchedProfile(std::string());
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

  bool changed = false;
  const bool ended = shuttingDown || !watch_.Check(&changed);
  if (!ended) {
    // The game a launcher handed over to is what a later start looks for.
    if (changed && journalPending_) {
      record_.watched = watch_.WatchedFiles();
      journal_.Update(record_);
    }
    return;
  }
  StopWatch();
  // "Reset to previous settings" during the run settled its record already:
  // a second swap now would bring the game's values back.
  if (journalPending_) RestorePreviousSettings();
}

void Launcher::RestorePreviousSettings() {
  // A restore that is owed is decided in the journal before it starts.
  journal_.Restore(driver_, runDesktopMode_, modes_.SavedModeNumber());
  if (runDesktopMode_ >= 0) modes_.RestoreDisplayMode();
  Settle();
}

void Launcher::StopWatch() {
  exitTimer_.SetEnabled(false);
  watch_.Stop();
  ReleaseProcess();
  state_ = State::Idle;
  SetWatchedProfile(std::string());
}

std::string Launcher::ResumeFromJournal() {
  std::optional<JournalRecord> owed = journal_.Read();
  if (!owed) return std::string();
  // Another user's watched game first; an account that may not write the
  // driver leaves it to one that may: the record waits for the next start.
  if (!MayWriteDriver() || (lock_ != nullptr && !lock_->Take())) return std::string();
  const std::string note = RestoreJournal::TargetNote(driver_, *owed);
  FinishOwed(std::move(*owed), true);
  return note;
}

bool Launcher::SettleOwedBeforeRun() {
  if (!WatchedRun() || journalPending_) return true;
  std::optional<JournalRecord> owed = journal_.Read();
  if (!owed) return true;
  FinishOwed(std::move(*owed), false);
  // A restore made now freed the machine: this run takes it again.
  return MayRun();
}

void Launcher::FinishOwed(JournalRecord owed, bool ask) {
  if (RestoreJournal::FinishWrites(driver_, owed)) {
    if (owed.desktopMode >= 0) {
      modes_.RememberWayBack(owed.savedMode);
      modes_.RestoreDisplayMode();
    }
    Settle();
    return;
  }
  runDesktopMode_ = owed.desktopMode;
  if (owed.desktopMode >= 0) modes_.RememberWayBack(owed.savedMode);

  std::vector<std::string> files = owed.watched;
  if (files.empty()) files.push_back(processes_.FullPath(owed.program));
  std::vector<ProcessEntry> running;
  std::vector<ProcessEntry> snapshot;
  if (processes_.Snapshot(&snapshot)) {
    for (const ProcessEntry& entry : snapshot) {
      for (const std::string& file : files) {
        if (!entry.path.empty() && AsciiLower(entry.path) == AsciiLower(file)) {
          running.push_back(entry);
          break;
        }
      }
    }
  }
  if (!running.empty()) {
    record_ = std::move(owed);
    journalPending_ = true;
    exitTimer_.SetInterval(StoredPollInterval(record_.profile));
    watch_.Resume(running, record_.folder);
    exitTimer_.SetEnabled(true);
    state_ = State::Watching;
    record_.stage = JournalRecord::Stage::Watching;
    record_.watched = watch_.WatchedFiles();
    journal_.Update(record_);
    SetWatchedProfile(record_.profile);
    return;
  }
  if (!ask || questions_.Ask(Question::WarningYesNo, ClosedDuringRunQuestion(owed.profile))) {
    RestorePreviousSettings();
  } else {
    Settle();
  }
}

void Launcher::BeginJournal(const std::string& name, DriverPlan plan,
                            const DriverPlan& before) {
  JournalRecord record;
  record.hasBefore = true;
  // A run started while an earlier one is watched takes over its record:
  // the restore still owes the driver as it was before the first.
  record.before = journalPending_ && record_.hasBefore ? KeepEarliest(record_.before, before)
                                                       : before;
  record.stage = JournalRecord::Stage::Applying;
  record.profile = name;
  record.program = profileFilePath_;
  record.folder = FolderOf(processes_.FullPath(profileFilePath_));
  record.adapter = driver_.AdapterKey();
  record.desktopMode = runDesktopMode_;
  if (runDesktopMode_ >= 0) record.savedMode = modes_.DesktopModeNumber();
  record.apply = std::move(plan);
  journal_.Write(record);
  record_ = std::move(record);
  journalPending_ = true;
}

void Launcher::EndJournalOfUnwatchedRun() {
  if (!journalPending_) return;
  if (state_ == State::Watching) {
    // The earlier watch's own record was replaced by this run's: it now
    // owes the restore of what this run wrote, for the program still watched.
    record_.stage = JournalRecord::Stage::Watching;
    record_.watched = watch_.WatchedFiles();
    record_.desktopMode = runDesktopMode_;
    journal_.Update(record_);
    return;
  }
  Settle();
}

void Launcher::GiveBackUnstartedRun(bool switched) {
  if (!runOwed_ || !journalPending_) {
    EndJournalOfUnwatchedRun();
    return;
  }
  runOwed_ = false;
  if (!earlierOwed_) {
    // Decided in the record first: killed part-way, the next start
    // finishes this same give-back.
    record_.stage = JournalRecord::Stage::Restoring;
    record_.restore = runPrior_;
    record_.desktopMode = switched ? runDesktopMode_ : -1;
    record_.savedMode = modes_.SavedModeNumber();
    journal_.Update(record_);
  }
  driver_.ApplyPlan(runPrior_);
  driver_.Flush();
  if (switched) modes_.RestoreDisplayMode();
  modes_.RememberWayBack(wayBack_);
  runDesktopMode_ = earlierDesktopMode_;
  if (earlierOwed_) {
    // Killed before this update, the record still restores to before the
    // earlier game, as it did before this run.
    record_ = earlierRecord_;
    journal_.Update(record_);
  } else {
    Settle();
  }
}

void Launcher::Settle() {
  journal_.Clear();
  journalPending_ = false;
  if (lock_ != nullptr) lock_->Release();
}

bool Launcher::MayWriteDriver() {
  // Windows 95/98/ME have no accounts that may not: a refusal there is an error.
  return !flags_.administratorCan || !DriverDenied(driver_.DriverRegistry(), driver_.AdapterKey());
}

// One watched run per machine; a run that is not watched only keeps out of
// another session's watched game.
bool Launcher::MayRun() {
  if (lock_ == nullptr) return true;
  if (!WatchedRun()) return !lock_->HeldByAnotherSession();
  return journalPending_ || lock_->Take();
}

void Launcher::StartWatch(ProcessHandle process, const std::string& profile) {
  const std::string file = processes_.FullPath(profileFilePath_);
  watch_.Start(process, file, FolderOf(file));
  if (journalPending_) {
    record_.stage = JournalRecord::Stage::Watching;
    record_.watched = watch_.WatchedFiles();
    journal_.Update(record_);
  }
  SetWatchedProfile(profile);
}

void Launcher::SetWatchedProfile(const std::string& profile) {
  if (watchedProfile_ == profile) return;
  watchedProfile_ = profile;
  if (listener_ != nullptr) listener_->WatchChanged();
}

unsigned Launcher::StoredPollInterval(const std::string& profile) {
  ScopedKey key(programRegistry_, ProfileKeyPath(profile), false);
  const bool hasPoll = key && programRegistry_.ValueExists("Poll");
  return PollIntervalMs(hasPoll, hasPoll ? programRegistry_.ReadInteger("Poll") : 0);
}

void Launcher::ReleaseProcess() {
  if (launchedProcess_ != 0) processes_.Close(launchedProcess_);
  launchedProcess_ = 0;
}

}  // namespace tw
