// Running a profile: launch data, driver settings, display mode, the program
// itself, and the exit watch that puts everything back.
#pragma once

#include <cstdint>
#include <string>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "driver/process_watch.h"
#include "driver/restore_journal.h"
#include "platform/processes.h"
#include "platform/questions.h"
#include "platform/ui.h"
#include "platform/watch_lock.h"
#include "store/registry_handle.h"

namespace tw {

// Start-up state and menu check marks the launcher reads; owned by the main window.
struct RunFlags {
  bool runDirect = false;       // a command-line run: not watched
  bool reloadSettings = true;   // "Reload settings after finishing game" checked
  bool administratorCan = false;  // 2000/XP: a limited account's notice names the way out
  int showCommand = 0;          // a shortcut's window state for the game; 0: shown normally
};

// Said when a run is refused because another account's game is watched.
extern const char kAnotherAccountsGameNotice[];

// Told when a watch starts or ends (the tray tip names the watched profile).
class WatchListener {
 public:
  virtual ~WatchListener() = default;
  virtual void WatchChanged() = 0;
};

constexpr const char* kCouldNotStart = "Could not start ";

// The question at a tray start when a watched run was never seen to its end.
std::string ClosedDuringRunQuestion(const std::string& profile);

class Launcher {
 public:
  enum class State { Idle, ModeSwitchPending, Launching, Watching };

  Launcher(RegistryHandle& programRegistry, DriverSettings& driver, DisplayModes& modes,
           Processes& processes, Timer& exitTimer, UserInterface& ui,
           Questions& questions, const RunFlags& flags);
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  void RunProfile(const std::string& name);
  void LaunchProgram(const std::string& file, const std::string& parameters,
                     const std::string& directory);
  void OnLaunchPending();                          // LaunchPendingMessage
  void CheckProgramExit(bool shuttingDown = false);
  // "Reset to previous settings" and the end of a watch: driver values, then
  // the display mode when the last run switched it.
  void RestorePreviousSettings();
  // Leaving the program while a game is watched: stop without restoring.
  // The journal stays, so the next start still owes the restore.
  void StopWatch();
  // At a tray start, a restore the journal says is owed: a decided one is
  // finished; a program that still runs is watched again; otherwise the
  // user is asked whether to put the settings back. The journal is cleared
  // unless the watch goes on. Returns the start-up log's line when the
  // restore goes to another adapter key than the one found now, else "".
  std::string ResumeFromJournal();

  // The profile whose program is watched; "" while nothing is.
  const std::string& WatchedProfile() const { return watchedProfile_; }
  void SetWatchListener(WatchListener* listener) { listener_ = listener; }
  // Held from a watched run's first write to its restore; none: not kept.
  void SetWatchLock(WatchLock* lock) { lock_ = lock; }

  State CurrentState() const { return state_; }
  // A run is being set up: its profile read and written, its notice open,
  // its display switch pending or its program being started. Another run
  // must wait for it, or it would take over this one's launch data.
  bool SettingUp() const { return settingUp_ > 0 || state_ == State::ModeSwitchPending; }
  int RunDesktopMode() const { return runDesktopMode_; }
  const std::string& ProfileFilePath() const { return profileFilePath_; }
  const std::string& ProfileParameters() const { return profileParameters_; }
  const std::string& ProfileDirectory() const { return profileDirectory_; }
  ProcessHandle LaunchedProcess() const { return launchedProcess_; }

  static unsigned PollIntervalMs(bool hasPoll, int32_t pollSeconds);

 private:
  void ReleaseProcess();
  bool WatchedRun() const { return flags_.reloadSettings && !flags_.runDirect; }
  void BeginJournal(const std::string& name, DriverPlan plan, const DriverPlan& before);
  // A run that will not be watched owes nothing, unless an earlier watch
  // goes on: the record then follows that watch.
  void EndJournalOfUnwatchedRun();
  // A watched run whose program did not start has ended at once: what it
  // wrote goes back ("Prev " values included) with the display, on disk,
  // before its notice; an earlier game still watched keeps its own record.
  void GiveBackUnstartedRun(bool switched);
  // Nothing owed any more: the journal goes, and the machine is free for
  // another account's watched run.
  void Settle();
  bool MayRun();
  bool MayWriteDriver();
  // Before a watched run writes: a restore that a closed copy of any account
  // still owes is finished now, or, while its game runs, watched and kept,
  // so that this run never takes that game's values for the driver's own.
  // False when the machine is then another copy's.
  bool SettleOwedBeforeRun();
  // An owed restore of a closed copy: a decided one is finished; a game
  // still running is watched again; otherwise the driver is given back, at
  // a start (`ask`) only once the user agrees.
  void FinishOwed(JournalRecord owed, bool ask);
  void StartWatch(ProcessHandle process, const std::string& profile);
  void SetWatchedProfile(const std::string& profile);
  unsigned StoredPollInterval(const std::string& profile);

  RegistryHandle& programRegistry_;
  DriverSettings& driver_;
  DisplayModes& modes_;
  Processes& processes_;
  Timer& exitTimer_;
  UserInterface& ui_;
  Questions& questions_;
  const RunFlags& flags_;

  State state_ = State::Idle;
  std::string profileFilePath_;
  std::string profileParameters_;
  std::string profileDirectory_;
  int runDesktopMode_ = -1;
  ProcessHandle launchedProcess_ = 0;

  RestoreJournal journal_;
  JournalRecord record_;        // what the journal holds for the current run
  bool journalPending_ = false;  // this run wrote the journal
  ProcessWatch watch_;
  std::string runProfile_;
  std::string watchedProfile_;
  WatchListener* listener_ = nullptr;
  WatchLock* lock_ = nullptr;
  bool owesNothing_ = false;  // this run changed nothing: its game is not watched
  int settingUp_ = 0;         // RunProfile or LaunchProgram under way (they may nest a box)
  // What the run being set up gives back should its program not start.
  bool runOwed_ = false;
  DriverPlan runPrior_;           // every value its writes replace, as it was
  bool earlierOwed_ = false;      // a game watched before it owes its own restore
  JournalRecord earlierRecord_;   // that game's record
  int earlierDesktopMode_ = -1;   // and its display mode
  int wayBack_ = -1;              // the display's way back before the run
};

}  // namespace tw
