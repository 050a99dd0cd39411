#include "driver/launcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver_access.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "platform/fake/fake_watch_lock.h"
#include "platform/messages.h"
#include "store/registry_error.h"
#include "store/setting_catalogue.h"

namespace tw {
namespace {

constexpr const char* kDriverKey = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";
constexpr const char* kDriverD3D = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\D3D";
constexpr const char* kGamma = "SSTH3_RGAMMA";

std::string ProfilePath(const std::string& name) { return "Software\\Hexmoor\\Tarnwick\\" + name; }

class LauncherTest : public testing::Test {
 protected:
  LauncherTest() {
    display.SetModes({{16, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    display.SetCurrent({800, 600, 16, 60});
    reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.00");
  }

  // A profile whose only driver setting is a red gamma.
  void AddProfile(const std::string& name, const std::string& file, const std::string& gamma) {
    reg.PutString(RootKey::CurrentUser, ProfilePath(name), "FilePath", file);
    reg.PutString(RootKey::CurrentUser, ProfilePath(name), "Parameters", "-window");
    reg.PutString(RootKey::CurrentUser, ProfilePath(name), "Directory", "c:\\games");
    reg.PutString(RootKey::CurrentUser, ProfilePath(name) + "\\D3D", kGamma, gamma);
  }
  void SetProfileDword(const std::string& name, const std::string& value, int32_t number) {
    reg.PutDword(RootKey::CurrentUser, ProfilePath(name), value, static_cast<uint32_t>(number));
  }
  std::optional<std::string> DriverGamma() const {
    return reg.GetString(RootKey::LocalMachine, kDriverD3D, kGamma);
  }
  void EndLastProgram(uint32_t code = 0) { processes.SetExitCode(processes.LastHandle(), code); }

  FakeRegistry reg;
  RegistryHandle program{reg, RootKey::CurrentUser};
  RegistryHandle driverRegistry{reg, RootKey::LocalMachine};
  std::string driverKey = kDriverKey;
  SettingCatalogue catalogue;
  DriverSettings driver{catalogue, program, driverRegistry, driverKey};
  FakeDisplay display;
  FakeUserInterface ui;
  FakeQuestions questions;
  DisplayModes modes{display, ui};
  FakeProcesses processes;
  FakeTimer timer;
  RunFlags flags;
  Launcher launcher{program, driver, modes, processes, timer, ui, questions, flags};
};

TEST_F(LauncherTest, PollIntervalComesFromTheProfileAndStaysInTheTimersRange) {
  struct Case {
    std::optional<int32_t> poll;
    unsigned expectedMs;
  };
  const Case cases[] = {
      {std::nullopt, 3000},   {10, 10000},           {1, 1000},
      {0, 1000},              {-5, 1000},            {2147483, 2147483000u},
      {2147484, 0x7FFFFFFFu}, {INT32_MAX, 0x7FFFFFFFu},
  };
  flags.reloadSettings = false;  // the interval is set whether or not a watch follows
  for (const Case& c : cases) {
    AddProfile("Game", "c:\\games\\game.exe", "1.50");
    if (c.poll) SetProfileDword("Game", "Poll", *c.poll);
    timer.SetInterval(1);
    launcher.RunProfile("Game");
    EXPECT_EQ(timer.Interval(), c.expectedMs) << (c.poll ? *c.poll : -999);
    reg.RemoveKey(RootKey::CurrentUser, ProfilePath("Game"));
  }
}

TEST_F(LauncherTest, ATrayRunWritesTheSettingsLaunchesAndWatchesUntilTheProgramEnds) {
  AddProfile("Game", "c:\\games\\game.exe", "1.50");

  launcher.RunProfile("Game");

  ASSERT_EQ(processes.Launches().size(), 1u);
  EXPECT_EQ(processes.Launches()[0].file, "c:\\games\\game.exe");
  EXPECT_EQ(processes.Launches()[0].parameters, "-window");
  EXPECT_EQ(processes.Launches()[0].directory, "c:\\games");
  EXPECT_EQ(processes.Launches()[0].showCommand, 0);  // the tray's own start says nothing
  EXPECT_EQ(DriverGamma(), "1.50");
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(launcher.CurrentState(), Launcher::State::Watching);

  launcher.CheckProgramExit();  // still running
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(DriverGamma(), "1.50");

  EndLastProgram(1);
  launcher.CheckProgramExit();
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(launcher.CurrentState(), Launcher::State::Idle);
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(processes.OpenHandles(), 0);
  EXPECT_TRUE(display.ChangeCalls().empty());  // the run had no display mode

  // A tick already queued when the watch stopped must not swap again.
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_TRUE(ui.notices.empty());

  // A change between two runs (the live editor) is what the next run gives back.
  reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.30");
  launcher.RunProfile("Game");
  EndLastProgram();
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.30");
}

TEST_F(LauncherTest, WithoutReloadOrInADirectRunNothingIsWatched) {
  for (bool direct : {false, true}) {
    flags.reloadSettings = direct;
    flags.runDirect = direct;
    flags.showCommand = direct ? 7 : 0;
    reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.00");
    AddProfile("Game", "c:\\games\\game.exe", "1.50");

    launcher.RunProfile("Game");

    EXPECT_EQ(processes.Launches().size(), direct ? 2u : 1u);
    // A shortcut's window state reaches the game it starts.
    EXPECT_EQ(processes.Launches().back().showCommand, direct ? 7 : 0);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(launcher.CurrentState(), Launcher::State::Idle);
    EXPECT_EQ(DriverGamma(), "1.50");
    EXPECT_EQ(reg.GetString(RootKey::LocalMachine, kDriverD3D, std::string("Prev ") + kGamma),
              "1.00");
  }
}

TEST_F(LauncherTest, ADirectRunOfAnUnknownProfileCreatesNothingAndCannotStart) {
  flags.runDirect = true;

  launcher.RunProfile("No Such Game");

  EXPECT_FALSE(reg.HasKey(RootKey::CurrentUser, ProfilePath("No Such Game")));
  EXPECT_TRUE(processes.Launches().empty()) << "an empty file reached the shell";
  EXPECT_EQ(ui.notices, std::vector<std::string>{"Could not start "});
  EXPECT_EQ(DriverGamma(), "1.00");
}

TEST_F(LauncherTest, ADisplayModeIsSwitchedFirstAndTheLaunchWaitsForThePostedMessage) {
  AddProfile("Game", "c:\\games\\game.exe", "1.50");
  SetProfileDword("Game", "Desktop Mode", 2);

  launcher.RunProfile("Game");

  EXPECT_EQ(launcher.RunDesktopMode(), 2);
  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{2});
  EXPECT_EQ(ui.posted, std::vector<unsigned>{kLaunchPendingMessage});
  EXPECT_TRUE(processes.Launches().empty());
  EXPECT_EQ(launcher.CurrentState(), Launcher::State::ModeSwitchPending);
  EXPECT_EQ(DriverGamma(), "1.50");  // written before the switch

  launcher.OnLaunchPending();
  ASSERT_EQ(processes.Launches().size(), 1u);
  EXPECT_EQ(processes.Launches()[0].file, "c:\\games\\game.exe");
  EXPECT_EQ(launcher.CurrentState(), Launcher::State::Watching);

  EndLastProgram();
  launcher.CheckProgramExit();
  EXPECT_EQ(display.ChangeCalls(), (std::vector<int>{2, 1}));
  EXPECT_EQ(display.Current().width, 800);
  EXPECT_EQ(DriverGamma(), "1.00");
  // Neither switch became the display's own: a crash in the game boots
  // into the desktop's mode.
  EXPECT_EQ(display.StoredMode(), -1);
}

// With reloading on, a game that did not start has ended at once: before
// its notice shows, the driver ("Prev " values too), the desktop and the
// record are as before the run, or as the game still watched left them.
// With reloading off the values stay for "Reset to previous settings".
TEST_F(LauncherTest, AStartThatDoesNotHappenGivesBackWhatItWroteBeforeItsNotice) {
  const std::string prev = std::string("Prev ") + kGamma, store = "Software\\Hexmoor\\Tarnwick";
  const struct {
    bool reload, earlierWatched;
    long change;
  } cases[] = {{true, false, 0}, {true, false, disp_change::kBadMode}, {true, true, 0},
               {true, true, disp_change::kBadMode}, {false, false, 0}};
  for (const auto& c : cases) {
    const bool launchFails = c.change == 0;
    const std::string notice = launchFails ? "Could not start C:\\Games\\Gone.EXE"
                                           : "The selected graphics mode is not supported";
    SCOPED_TRACE(notice + (c.earlierWatched ? ", beside a watched game" : "") +
                 (c.reload ? "" : ", reloading off"));
    Launcher local(program, driver, modes, processes, timer, ui, questions, flags);
    flags.reloadSettings = c.reload;
    ui = FakeUserInterface();
    display.SetCurrent({800, 600, 16, 60});
    reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.00");
    reg.PutString(RootKey::LocalMachine, kDriverD3D, prev, "0.90");
    AddProfile("First", "c:\\games\\first.exe", "1.20");
    AddProfile("Gone", "C:\\Games\\Gone.EXE", "1.50");
    SetProfileDword("Gone", "Desktop Mode", 0);
    if (c.earlierWatched) local.RunProfile("First");
    const auto gamma = DriverGamma(), prevGamma = reg.GetString(RootKey::LocalMachine, kDriverD3D, prev);
    const auto record = reg.GetString(RootKey::LocalMachine, store, kJournalValue);
    ui.whileNoticeShown = [&] {
      EXPECT_EQ(DriverGamma(), c.reload ? gamma : "1.50");
      EXPECT_EQ(reg.GetString(RootKey::LocalMachine, kDriverD3D, prev), c.reload ? prevGamma : gamma);
      EXPECT_EQ(reg.GetString(RootKey::LocalMachine, store, kJournalValue), record);
      EXPECT_EQ(display.Current().width, c.reload || !launchFails ? 800 : 640);
    };
    processes.SetLaunchFails(launchFails);
    display.SetChangeResult(c.change);

    local.RunProfile("Gone");
    if (launchFails) local.OnLaunchPending();

    EXPECT_EQ(ui.notices, std::vector<std::string>{notice});
    processes.SetLaunchFails(false);
    display.SetChangeResult(disp_change::kSuccessful);
    EndLastProgram();
    local.CheckProgramExit();
    if (c.reload) EXPECT_EQ(DriverGamma(), "1.00");
  }
}

TEST_F(LauncherTest, AnUnreadableExitCodeOrAMissingProcessEndsTheWatch) {
  for (bool noHandle : {false, true}) {
    AddProfile("Game", "c:\\games\\readme.txt", noHandle ? "1.50" : "1.70");
    processes.SetNoHandle(noHandle);
    launcher.RunProfile("Game");
    ASSERT_TRUE(timer.Enabled());
    if (!noHandle) processes.SetQueryFails(processes.LastHandle(), true);

    launcher.CheckProgramExit();

    EXPECT_FALSE(timer.Enabled()) << noHandle;
    EXPECT_EQ(DriverGamma(), "1.00") << noHandle;
  }
  EXPECT_EQ(processes.OpenHandles(), 0);
}

TEST_F(LauncherTest, EveryProcessHandleIsClosedOnceOverManyRuns) {
  {
    Launcher local(program, driver, modes, processes, timer, ui, questions, flags);
    AddProfile("Game", "c:\\games\\game.exe", "1.50");
    local.RunProfile("Game");        // watched
    local.RunProfile("Game");        // replaces the watched process
    EXPECT_EQ(processes.OpenHandles(), 1);
    EndLastProgram();
    local.CheckProgramExit();        // watch ends
    EXPECT_EQ(processes.OpenHandles(), 0);
    local.RunProfile("Game");
    local.StopWatch();               // leaving while watched
    EXPECT_EQ(processes.OpenHandles(), 0);
    flags.reloadSettings = false;
    local.RunProfile("Game");        // kept but not watched
  }
  EXPECT_EQ(processes.Launches().size(), 4u);
  EXPECT_EQ(processes.OpenHandles(), 0);
  EXPECT_EQ(processes.BadCloses(), 0);
}

TEST_F(LauncherTest, LeavingDuringAWatchRestoresNothing) {
  AddProfile("Game", "c:\\games\\game.exe", "1.50");
  launcher.RunProfile("Game");

  launcher.StopWatch();
  EndLastProgram();
  launcher.CheckProgramExit();

  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(DriverGamma(), "1.50");
}

TEST_F(LauncherTest, ASecondRunWhileWatchedIsFollowedAndRestoresTheFirstProfile) {
  AddProfile("First", "c:\\games\\first.exe", "1.20");
  AddProfile("Second", "c:\\games\\second.exe", "1.40");
  SetProfileDword("Second", "Desktop Mode", 0);
  SetProfileDword("Second", "Poll", 7);

  launcher.RunProfile("First");
  const ProcessHandle first = processes.LastHandle();
  launcher.RunProfile("Second");
  EXPECT_EQ(timer.Interval(), 7000u);

  // The first game ends while the second waits for its display switch: the
  // pending launch takes over the watch, so nothing is restored yet.
  processes.SetExitCode(first, 0);
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.40");

  launcher.OnLaunchPending();
  EXPECT_EQ(launcher.LaunchedProcess(), processes.LastHandle());
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.40");

  // Both games are over: the driver is as before the first.
  EndLastProgram();
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(display.ChangeCalls(), (std::vector<int>{0, 1}));
  EXPECT_EQ(processes.OpenHandles(), 0);
}

TEST_F(LauncherTest, AFailedSecondLaunchKeepsWatchingTheFirstProgram) {
  AddProfile("First", "c:\\games\\first.exe", "1.20");
  AddProfile("Second", "c:\\games\\second.exe", "1.40");
  launcher.RunProfile("First");
  processes.SetLaunchFails(true);

  launcher.RunProfile("Second");

  EXPECT_EQ(launcher.CurrentState(), Launcher::State::Watching);
  EndLastProgram();
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.00");
}

// The failed run must not take over the way back: the watched game's end
// still returns to the desktop from before that game.
TEST_F(LauncherTest, ASecondRunWhoseDisplaySwitchFailsLeavesTheFirstGameWatched) {
  AddProfile("Second", "c:\\games\\second.exe", "1.40");
  SetProfileDword("Second", "Desktop Mode", 0);
  for (bool firstSwitches : {true, false}) {
    SCOPED_TRACE(firstSwitches ? "first game switched the display" : "first game did not");
    reg.RemoveKey(RootKey::CurrentUser, ProfilePath("First"));
    AddProfile("First", "c:\\games\\first.exe", "1.20");
    if (firstSwitches) SetProfileDword("First", "Desktop Mode", 2);
    display = FakeDisplay();
    display.SetModes({{16, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    display.SetCurrent({800, 600, 16, 60});
    ui = FakeUserInterface();
    launcher.RunProfile("First");
    if (firstSwitches) launcher.OnLaunchPending();
    const ProcessHandle first = processes.LastHandle();
    display.SetChangeResult(disp_change::kFailed);

    launcher.RunProfile("Second");

    EXPECT_EQ(ui.notices,
              std::vector<std::string>{"An error occured while changing the displaymode"});
    EXPECT_EQ(launcher.CurrentState(), Launcher::State::Watching);
    EXPECT_EQ(launcher.LaunchedProcess(), first);
    display.SetChangeResult(disp_change::kSuccessful);
    EndLastProgram();
    launcher.CheckProgramExit();
    EXPECT_EQ(DriverGamma(), "1.00");  // what was in force before either run
    EXPECT_EQ(display.ChangeCalls(),
              firstSwitches ? (std::vector<int>{2, 0, 1}) : std::vector<int>{0});
    EXPECT_EQ(display.Current().width, 800);
    EXPECT_EQ(processes.OpenHandles(), 0);
  }
}

// The reset settles the run: the game's end must not swap its values back.
TEST_F(LauncherTest, ResetDuringAWatchIsNotUndoneWhenTheGameEnds) {
  AddProfile("Game", "c:\\games\\game.exe", "1.50");
  SetProfileDword("Game", "Desktop Mode", 2);
  launcher.RunProfile("Game");
  launcher.OnLaunchPending();

  launcher.RestorePreviousSettings();
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(display.Current().width, 800);

  EndLastProgram();
  launcher.CheckProgramExit();
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(display.Current().width, 800);
  EXPECT_EQ(display.ChangeCalls(), (std::vector<int>{2, 1}));
}

// Killed after the restore was decided: the next start, whose menu scan takes
// the game's mode for the desktop, finishes the writes and still switches
// back to the mode the record names.
TEST_F(LauncherTest, ADecidedRestoreFinishedAtStartGoesBackToTheRecordedMode) {
  display.SetCurrent({640, 480, 16, 60});  // the game's mode, mode 0
  reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.50");
  JournalRecord record;
  record.stage = JournalRecord::Stage::Restoring;
  record.profile = "Game";
  record.program = "c:\\games\\game.exe";
  record.desktopMode = 0;
  record.savedMode = 1;
  record.restore = {DriverWrite{SettingKind::Direct3D, kGamma, false, "1.00"}};
  RestoreJournal(driverRegistry, program).Write(record);
  modes.ReadDesktopMode();
  modes.FindCurrentMode();

  launcher.ResumeFromJournal();

  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{1});
  EXPECT_EQ(display.Current().width, 800);
  EXPECT_FALSE(RestoreJournal(driverRegistry, program).Exists());
  EXPECT_TRUE(questions.asked.empty());
}

// One watched run per machine (2000/XP, two accounts at once): while
// another session's copy watches a game, a run here writes nothing and
// starts nothing, and an owed restore waits; this session's own copies keep
// no run out. The lock is held exactly as long as a restore is owed.
TEST_F(LauncherTest, AnotherSessionsWatchedGameKeepsRunsAndRestoresOut) {
  enum Holder { kNobody, kThisSession, kOtherSession };
  const struct {
    Holder holder;
    bool reload;
    bool runs;
    bool limited = false;  // writes nothing, so nothing keeps it out
  } cases[] = {
      {kNobody, true, true},        {kNobody, false, true},      {kThisSession, false, true},
      {kOtherSession, true, false}, {kOtherSession, false, false}, {kOtherSession, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.holder) + (c.reload ? " watched" : " not watched") +
                 (c.limited ? ", limited" : ""));
    flags.administratorCan = c.limited;
    reg.ClearRefusals();
    if (c.limited) reg.RefuseWrites(RootKey::LocalMachine, kDriverKey);
    if (c.limited) reg.RefuseWrites(RootKey::LocalMachine, kDriverD3D);
    FakeMachineLock machine;
    FakeWatchLock own(machine, 1, 1);
    FakeWatchLock other(machine, 2, c.holder == kThisSession ? 1 : 2);
    if (c.holder != kNobody) other.Take();
    Launcher local(program, driver, modes, processes, timer, ui, questions, flags);
    local.SetWatchLock(&own);
    flags.reloadSettings = c.reload;
    reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.00");
    AddProfile("Game", "c:\\games\\game.exe", "1.50");
    ui = FakeUserInterface();
    const size_t launches = processes.Launches().size();

    local.RunProfile("Game");

    EXPECT_EQ(processes.Launches().size(), launches + (c.runs ? 1 : 0));
    EXPECT_EQ(DriverGamma(), c.runs && !c.limited ? "1.50" : "1.00");
    EXPECT_EQ(ui.notices, c.limited ? std::vector<std::string>{DriverLockedNotice(true, "Game")}
                          : c.runs  ? std::vector<std::string>{}
                                    : std::vector<std::string>{kAnotherAccountsGameNotice});
    EXPECT_EQ(machine.holder, c.holder == kNobody ? (c.reload ? 1 : 0) : 2);
    EndLastProgram();
    local.CheckProgramExit();
    EXPECT_EQ(machine.holder, c.holder == kNobody ? 0 : 2);
  }

  // Left during a game: the next start's owed restore waits while another
  // session's game is watched, and is settled once that has ended.
  reg.ClearRefusals();
  flags.administratorCan = false;
  FakeMachineLock machine;
  FakeWatchLock own(machine, 1, 1);
  FakeWatchLock other(machine, 2, 2);
  flags.reloadSettings = true;
  reg.PutString(RootKey::LocalMachine, kDriverD3D, kGamma, "1.00");
  {
    Launcher first(program, driver, modes, processes, timer, ui, questions, flags);
    first.SetWatchLock(&own);
    first.RunProfile("Game");
    first.StopWatch();
  }
  own.Release();  // the process has ended
  EndLastProgram();
  other.Take();
  Launcher next(program, driver, modes, processes, timer, ui, questions, flags);
  next.SetWatchLock(&own);
  questions.unscriptedAnswer = true;
  next.ResumeFromJournal();
  EXPECT_TRUE(questions.asked.empty());
  EXPECT_EQ(DriverGamma(), "1.50");
  other.Release();
  next.ResumeFromJournal();
  EXPECT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_FALSE(RestoreJournal(driverRegistry, program).Exists());
  EXPECT_EQ(machine.holder, 0);
}

TEST_F(LauncherTest, ARegistryValueOfTheWrongTypeEndsTheRunBeforeAnythingIsWritten) {
  AddProfile("Game", "c:\\games\\game.exe", "1.50");
  reg.PutString(RootKey::CurrentUser, ProfilePath("Game"), "Poll", "5");

  EXPECT_THROW(launcher.RunProfile("Game"), RegistryError);

  EXPECT_TRUE(processes.Launches().empty());
  EXPECT_EQ(DriverGamma(), "1.00");
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

}  // namespace
}  // namespace tw
