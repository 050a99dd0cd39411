// The pending-restore journal across runs, restarts and kills, and the
// hand-over of a watch from a launcher to the game it starts.
#include "driver/restore_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "driver/launcher.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "platform/launched_process.h"
#include "store/registry_error.h"
#include "store/setting_catalogue.h"

namespace tw {
namespace {

constexpr RootKey kUser = RootKey::CurrentUser;
constexpr RootKey kMachine = RootKey::LocalMachine;
const std::string kProgram = "Software\\Hexmoor\\Tarnwick";
const std::string kDriverKey = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\";
const std::string kD3D = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\D3D";
const std::string kGlide = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\Glide";
const std::string kGameFile = "C:\\Games\\Quake\\quake.exe";

// Stands for the process ending at that moment.
struct Killed {};

// The registry of a process that is killed at its n-th change: counts every
// value write, value delete and key delete, and throws at the chosen ones.
class KillingRegistry : public RegistryBackend {
 public:
  explicit KillingRegistry(RegistryBackend& inner) : inner_(inner) {}
  void KillAt(std::vector<int> points) { points_ = points; }
  int Changes() const { return changes_; }

  long CreateKey(RootKey r, const std::string& s, RegKey* k) override { return inner_.CreateKey(r, s, k); }
  long OpenKey(RootKey r, const std::string& s, RegKey* k) override { return inner_.OpenKey(r, s, k); }
  long CloseKey(RegKey k) override { return inner_.CloseKey(k); }
  long QueryValue(RegKey k, const std::string& n, RawValue* v) override { return inner_.QueryValue(k, n, v); }
  long SetValue(RegKey k, const std::string& n, const RawValue& v) override {
    Change();
    return inner_.SetValue(k, n, v);
  }
  long DeleteValue(RegKey k, const std::string& n) override {
    Change();
    return inner_.DeleteValue(k, n);
  }
  long EnumSubkeys(RegKey k, std::vector<std::string>* n) override { return inner_.EnumSubkeys(k, n); }
  long EnumValues(RegKey k, std::vector<std::string>* n) override { return inner_.EnumValues(k, n); }
  long DeleteSubkey(RegKey k, const std::string& s) override {
    Change();
    return inner_.DeleteSubkey(k, s);
  }
  long FlushKey(RegKey k) override { return inner_.FlushKey(k); }

 private:
  void Change() {
    ++changes_;
    for (int point : points_) {
      if (point == changes_) throw Killed();
    }
  }
  RegistryBackend& inner_;
  std::vector<int> points_;
  int changes_ = 0;
};

// One start of Tarnwick on the machine's registry, display and processes.
struct Tray {
  Tray(RegistryBackend& registry, Display& display, Processes& processes)
      : program(registry, kUser),
        driverRegistry(registry, kMachine),
        driver(catalogue, program, driverRegistry, driverKey),
        modes(display, ui),
        launcher(program, driver, modes, processes, timer, ui, questions, flags) {
    catalogue.FillFsaaLists(5500);
    questions.unscriptedAnswer = true;  // put the driver back
  }
  std::string driverKey = kDriverKey;
  SettingCatalogue catalogue;
  RegistryHandle program;
  RegistryHandle driverRegistry;
  DriverSettings driver;
  FakeUserInterface ui;
  FakeQuestions questions;
  DisplayModes modes;
  FakeTimer timer;
  RunFlags flags;
  Launcher launcher;
};

class JournalTest : public testing::Test {
 protected:
  JournalTest() { ResetWorld(); }

  // A machine as the tests start from: a 1024x768 desktop, a driver with a
  // few values and records, the card model, and the profile "Quake".
  void ResetWorld(bool desktopMode = false) {
    reg = FakeRegistry();
    processes = FakeProcesses();
    display.SetModes({{16, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    display.SetCurrent({1024, 768, 32, 60});
    reg.PutString(kMachine, kD3D, "SSTH3_RGAMMA", "1.00");
    reg.PutString(kMachine, kD3D, "SSTH3_LOD_BIAS", "2");
    reg.PutString(kMachine, kD3D, "Prev SSTH3_LOD_BIAS", "4");
    reg.PutString(kMachine, kGlide, "FX_GLIDE_SWAPINTERVAL", "0");
    reg.PutString(kMachine, kGlide, "FX_GLIDE_BPP", "16");
    reg.PutDword(kUser, kProgram, "VoodooType", 5500);
    Profile("Quake", kGameFile);
    if (desktopMode) reg.PutDword(kUser, kProgram + "\\Quake", "Desktop Mode", 1);  // 800x600
  }

  void Profile(const std::string& name, const std::string& file) {
    const std::string key = kProgram + "\\" + name;
    reg.PutString(kUser, key, "FilePath", file);
    reg.PutString(kUser, key + "\\D3D", "SSTH3_RGAMMA", "1.50");
    reg.PutString(kUser, key + "\\D3D", "SSTH3_LOD_BIAS", "-8");
    reg.PutString(kUser, key + "\\D3D", "SSTH3_SLI_AA_CONFIGURATION", "4");
    reg.PutString(kUser, key + "\\Glide", "FX_GLIDE_BPP", "32");
  }

  std::unique_ptr<Tray> Start(RegistryBackend& backend) {
    return std::make_unique<Tray>(backend, display, processes);
  }
  std::unique_ptr<Tray> Start() { return Start(reg); }

  // Every driver value, for comparing whole states.
  std::vector<std::string> Driver() const {
    std::vector<std::string> out;
    for (const std::string& key : {kD3D, kGlide}) {
      for (const std::string& name : reg.ValueNames(kMachine, key)) {
        out.push_back(key + "|" + name + "=" + reg.GetString(kMachine, key, name).value_or("?"));
      }
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  // The driver's settings without the "Prev " values a swap leaves behind.
  std::vector<std::string> Settings() const {
    std::vector<std::string> out;
    for (const std::string& value : Driver()) {
      if (value.find("|Prev ") == std::string::npos) out.push_back(value);
    }
    return out;
  }
  bool JournalExists() const { return reg.Get(kMachine, kProgram, kJournalValue).has_value(); }
  std::optional<std::string> Live(const std::string& key, const std::string& name) const {
    return reg.GetString(kMachine, key, name);
  }
  void EndEveryGame() {
    std::vector<ProcessEntry> running;
    processes.Snapshot(&running);
    for (const ProcessEntry& entry : running) processes.EndProcess(entry.id);
  }

  FakeRegistry reg;
  FakeDisplay display;
  FakeProcesses processes;
};

TEST(JournalRecordText, SurvivesTheRoundTripWithAwkwardTexts) {
  JournalRecord record;
  record.stage = JournalRecord::Stage::Restoring;
  record.profile = "Quake = III\\tab\there";
  record.program = "C:\\Games\\quake.exe";
  record.folder = "C:\\Games";
  record.desktopMode = 5;
  record.savedMode = -1;
  record.watched = {"C:\\Games\\q3.exe", "C:\\Games\\bin\\helper.exe"};
  record.apply = {{SettingKind::Direct3D, "SSTH3_RGAMMA", false, "1.50"},
                  {SettingKind::Glide, "Prev FX_GLIDE_SWAPINTERVAL", true, ""}};
  record.restore = {{SettingKind::Glide, "line\nbreak", false, ""}};
  record.hasBefore = true;
  record.before = {{SettingKind::Direct3D, "SSTH3_RGAMMA", true, ""}};
  JournalRecord back;
  ASSERT_TRUE(RestoreJournal::Decode(RestoreJournal::Encode(record), &back));
  EXPECT_EQ(back.stage, record.stage);
  EXPECT_EQ(back.profile, record.profile);
  EXPECT_EQ(back.program, record.program);
  EXPECT_EQ(back.folder, record.folder);
  EXPECT_EQ(back.desktopMode, 5);
  EXPECT_EQ(back.savedMode, -1);
  EXPECT_EQ(back.watched, record.watched);
  EXPECT_EQ(back.apply, record.apply);
  EXPECT_EQ(back.restore, record.restore);
  EXPECT_TRUE(back.hasBefore);
  EXPECT_EQ(back.before, record.before);
  for (const char* bad : {"", "stage=sleeping\nprofile=x\n", "profile=x\n", "stage=watching\n",
                          "stage=watching\nprofile=x\napply=Q = A\tb\n",
                          "stage=watching\nprofile=x\ncolour=red\n",
                          "stage=watching\nprofile=x\nsaved mode=two\n"}) {
    EXPECT_FALSE(RestoreJournal::Decode(bad, &back)) << bad;
  }
}

TEST_F(JournalTest, AWatchedRunOwesItsRestoreUntilTheWatchGivesItBack) {
  const std::vector<std::string> before = Driver();
  auto tray = Start();
  processes.SetPathsHidden(true);  // a process list without paths names no file
  tray->launcher.RunProfile("Quake");
  ASSERT_TRUE(JournalExists());
  std::optional<JournalRecord> record = RestoreJournal(tray->driverRegistry, tray->program).Read();
  ASSERT_TRUE(record);
  EXPECT_EQ(record->stage, JournalRecord::Stage::Watching);
  EXPECT_EQ(record->profile, "Quake");
  EXPECT_EQ(record->watched, std::vector<std::string>{kGameFile});
  EXPECT_EQ(tray->launcher.WatchedProfile(), "Quake");

  EndEveryGame();
  tray->launcher.CheckProgramExit();
  EXPECT_FALSE(JournalExists());
  EXPECT_EQ(tray->launcher.WatchedProfile(), "");
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");

  // Nothing is owed any more: a later start neither asks nor swaps.
  const std::vector<std::string> restored = Driver();
  auto next = Start();
  next->launcher.ResumeFromJournal();
  EXPECT_TRUE(next->questions.asked.empty());
  EXPECT_EQ(Driver(), restored);
  EXPECT_NE(restored, before);  // the swap keeps the game's values as previous ones
}

TEST_F(JournalTest, RunsThatRestoreNothingLeaveNoJournal) {
  auto tray = Start();
  tray->flags.runDirect = true;
  tray->launcher.RunProfile("Quake");
  EXPECT_FALSE(JournalExists());
  tray->flags.runDirect = false;
  tray->flags.reloadSettings = false;
  tray->launcher.RunProfile("Quake");
  EXPECT_FALSE(JournalExists());

  // A watched run whose launch fails owes nothing: nothing will restore.
  tray->flags.reloadSettings = true;
  processes.SetLaunchFails(true);
  tray->launcher.RunProfile("Quake");
  EXPECT_FALSE(JournalExists());
  EXPECT_EQ(tray->ui.notices, std::vector<std::string>{"Could not start " + kGameFile});

  // Nor does one whose driver writes are refused. A limited account on
  // 2000/XP (the system refuses every driver key) starts its game all the
  // same, with the driver, its records and the desktop as they were, after
  // one notice; any other refusal (of one group, or on 95/98/ME) gives back
  // what was written and is the registry's own error.
  const std::string limited =
      "This account may not change the driver's settings; an administrator account can. "
      "\"Quake\" starts with the driver's settings as they are.";
  const struct {
    bool nt;
    std::vector<std::string> refused;
    std::string message;
  } refusals[] = {
      {true, {kDriverKey, kD3D, kGlide}, limited},
      {true, {kGlide}, "Failed to set data for 'Prev SSTH3_RGAMMA'"},
      {false, {kDriverKey, kD3D, kGlide}, "Failed to set data for 'Prev SSTH3_RGAMMA'"},
  };
  for (const auto& refusal : refusals) {
    for (bool desktopMode : {false, true}) {
      SCOPED_TRACE(refusal.message + (desktopMode ? ", desktop mode" : ""));
      ResetWorld(desktopMode);
      auto tray = Start();
      tray->flags.administratorCan = refusal.nt;
      const std::vector<std::string> before = Driver();
      for (const std::string& key : refusal.refused) reg.RefuseWrites(kMachine, key);
      // Settled before the notice: a logoff meanwhile must leave nothing owed.
      bool owedDuringNotice = false;
      tray->ui.whileNoticeShown = [&] { owedDuringNotice = JournalExists(); };
      std::string error;
      try {
        tray->launcher.RunProfile("Quake");
      } catch (const RegistryError& e) {
        error = e.what();
      }
      EXPECT_EQ(error.empty() ? tray->ui.notices.at(0) : error, refusal.message);
      EXPECT_FALSE(owedDuringNotice);
      EXPECT_FALSE(JournalExists());
      EXPECT_EQ(Driver(), before);
      EXPECT_EQ(processes.Launches().size(), error.empty() ? 1u : 0u);
      EXPECT_FALSE(tray->timer.Enabled());
      EXPECT_TRUE(display.ChangeCalls().empty());
    }
  }
}

TEST_F(JournalTest, ResetDuringTheWatchSettlesIt) {
  auto tray = Start();
  tray->launcher.RunProfile("Quake");
  tray->launcher.RestorePreviousSettings();  // "Reset to previous settings"
  EXPECT_FALSE(JournalExists());
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
  EndEveryGame();
  tray->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
  EXPECT_FALSE(JournalExists());
}

// What runs may be another file than the profile's (a batch file's game, a
// 9x short path): the first tick records it, and the start after Exit finds it.
TEST_F(JournalTest, ExitDuringTheWatchKeepsItAndTheNextStartWatchesTheGameAgain) {
  processes.SetLaunchedPath("C:\\GAMES\\QUAKE~1\\QUAKE.EXE");
  auto tray = Start();
  tray->launcher.RunProfile("Quake");
  tray->launcher.CheckProgramExit();
  tray->launcher.StopWatch();  // "Exit"
  tray.reset();
  ASSERT_TRUE(JournalExists());
  // A program key the registry refuses at the next start is no "nothing owed".
  reg.RefuseOpen(kUser, kProgram);
  EXPECT_THROW(Start()->launcher.ResumeFromJournal(), RegistryError);
  reg.ClearRefusals();
  ASSERT_TRUE(JournalExists());
  // The system may name the game's file in other letter case than the record.
  EndEveryGame();
  processes.AddRunning("c:\\games\\QUAKE~1\\quake.exe", 1);

  auto next = Start();
  next->launcher.ResumeFromJournal();
  EXPECT_TRUE(next->questions.asked.empty());
  EXPECT_TRUE(next->timer.Enabled());
  EXPECT_EQ(next->launcher.WatchedProfile(), "Quake");
  next->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.50");  // the game still runs

  EndEveryGame();
  next->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
  EXPECT_EQ(Live(kGlide, "FX_GLIDE_BPP"), "16");
  EXPECT_FALSE(JournalExists());
  EXPECT_EQ(processes.OpenHandles(), 0);
}

// A second run that cannot start (its launch or its display switch fails)
// while a game is watched leaves a record behind: after Exit the next start
// still follows the game.
TEST_F(JournalTest, AFailedSecondRunKeepsTheWatchOwed) {
  for (bool launchFails : {true, false}) {
    ResetWorld();
    Profile("Other", "C:\\Games\\Other\\other.exe");
    reg.PutDword(kUser, kProgram + "\\Other", "Desktop Mode", 1);
    auto tray = Start();
    tray->launcher.RunProfile("Quake");
    processes.SetLaunchFails(launchFails);
    display.SetChangeResult(launchFails ? disp_change::kSuccessful : disp_change::kBadMode);
    tray->launcher.RunProfile("Other");
    if (launchFails) tray->launcher.OnLaunchPending();
    processes.SetLaunchFails(false);
    display.SetChangeResult(disp_change::kSuccessful);
    tray->launcher.StopWatch();  // "Exit"
    tray.reset();

    auto next = Start();
    next->launcher.ResumeFromJournal();
    EXPECT_TRUE(next->questions.asked.empty()) << launchFails;
    EXPECT_TRUE(next->timer.Enabled()) << launchFails;
  }
}

TEST_F(JournalTest, AGameThatEndedMeanwhileIsAskedAboutOnce) {
  for (bool yes : {true, false}) {
    auto tray = Start();
    tray->launcher.RunProfile("Quake");
    tray.reset();  // killed
    EndEveryGame();
    const std::vector<std::string> gameValues = Driver();

    auto next = Start();
    next->questions.unscriptedAnswer = yes;
    next->launcher.ResumeFromJournal();
    EXPECT_EQ(next->questions.asked,
              (std::vector<std::pair<Question, std::string>>{
                  {Question::WarningYesNo,
                   "Tarnwick was closed while \"Quake\" was running. Put the "
                   "driver settings back as they were before it started?"}}));
    EXPECT_FALSE(JournalExists());
    EXPECT_FALSE(next->timer.Enabled());
    if (yes) {
      EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
      EXPECT_EQ(Live(kD3D, "SSTH3_LOD_BIAS"), "2");
    } else {
      EXPECT_EQ(Driver(), gameValues);
    }
    next.reset();
    auto third = Start();
    third->launcher.ResumeFromJournal();
    EXPECT_TRUE(third->questions.asked.empty());
  }
}

TEST_F(JournalTest, ADisplayModeSwitchedForTheRunComesBackAfterARestart) {
  ResetWorld(true);
  auto tray = Start();
  tray->launcher.RunProfile("Quake");
  tray->launcher.OnLaunchPending();
  EXPECT_EQ(display.Current().width, 800);
  tray.reset();
  EndEveryGame();

  auto next = Start();
  next->launcher.ResumeFromJournal();
  EXPECT_EQ(display.Current().width, 1024);
  EXPECT_EQ(display.ChangeCalls().back(), 2);
}

// A kill at every change the run makes, then starts until one gets through:
// the driver ends as one uninterrupted run leaves it, or untouched when the
// kill came before anything was written; never swapped twice.
TEST_F(JournalTest, AKillAtAnyPointNeverRestoresTwice) {
  ResetWorld(true);
  const std::vector<std::string> untouched = Driver();
  const auto runToEnd = [&](Tray& tray) {
    tray.launcher.RunProfile("Quake");
    tray.launcher.OnLaunchPending();
    EndEveryGame();
    tray.launcher.CheckProgramExit();
  };

  // The reference: one run, undisturbed, counted.
  KillingRegistry counting(reg);
  runToEnd(*Start(counting));
  const std::vector<std::string> reference = Driver();
  const int changes = counting.Changes();
  ASSERT_GT(changes, 20);

  // A kill at each change of the run, and a second one at some change of
  // the start that cleans up after it.
  for (int first = 1; first <= changes; ++first) {
    for (int second : {0, 1, 4, 16, 45}) {
      SCOPED_TRACE("killed at change " + std::to_string(first) + " and " +
                   std::to_string(first + second));
      ResetWorld(true);
      KillingRegistry killing(reg);
      killing.KillAt({first, second == 0 ? -1 : first + second});
      bool killedBeforeJournal = false;
      try {
        runToEnd(*Start(killing));
      } catch (const Killed&) {
        killedBeforeJournal = !JournalExists() && Driver() == untouched;
      }
      EndEveryGame();
      for (int attempt = 0; attempt < 3; ++attempt) {
        try {
          auto tray = Start(killing);
          tray->launcher.ResumeFromJournal();
          EXPECT_LE(tray->questions.asked.size(), 1u);
          break;
        } catch (const Killed&) {
        }
      }
      EXPECT_FALSE(JournalExists());
      EXPECT_EQ(Driver(), killedBeforeJournal ? untouched : reference);
      EXPECT_EQ(display.Current().width, 1024);
      if (HasFailure()) return;
    }
  }
}

// A power cut at every change of a watched run and its restore. Each hive
// loses what was written since its last flush, unless the system had just
// written it by itself; while the game plays the system writes every hive.
// After the reboot a start leaves the driver's settings as before the run:
// untouched, or given back by the restore the journal owes, also when the
// power is cut again at any change of that start's resume.
TEST_F(JournalTest, APowerCutAtAnyPointLeavesTheDriverAsBeforeOrOwesItsRestore) {
  const auto runToEnd = [&](Tray& tray) {
    tray.launcher.RunProfile("Quake");
    reg.FlushAllHives();
    EndEveryGame();
    tray.launcher.CheckProgramExit();
  };
  const std::vector<std::string> before = Settings();
  reg.ResetCallCounts();
  runToEnd(*Start());
  const int changes = reg.Changes();
  ASSERT_GT(changes, 20);

  // On 2000/XP the driver (SYSTEM) and the record (SOFTWARE) are two hives.
  const FakeRegistry::Hive software(kMachine, "Software"), system(kMachine, "System");
  const std::vector<std::vector<FakeRegistry::Hive>> keptUnflushed = {
      {}, {kUser}, {kMachine}, {kUser, kMachine}, {software}, {system}, {kUser, system}};
  const auto cutAt = [&](int change) {
    reg.ResetCallCounts();
    reg.SetChangeObserver([&, change] {
      if (reg.Changes() == change) reg.PowerOff();
    });
  };
  std::set<std::string> resumesSwept;  // by the hives kept and the record the cut left
  for (int cut = 1; cut <= changes; ++cut) {
    for (const std::vector<FakeRegistry::Hive>& kept : keptUnflushed) {
      // 0: the resume runs through; from 1 on until it makes fewer changes.
      for (int resumeCut = 0;; ++resumeCut) {
        SCOPED_TRACE("power cut after change " + std::to_string(cut) + " and resume change " +
                     std::to_string(resumeCut) + ", hives kept: set " +
                     std::to_string(&kept - &keptUnflushed[0]));
        ResetWorld();
        reg.FlushAllHives();  // the machine as it booted
        cutAt(cut);
        try {
          runToEnd(*Start());
        } catch (...) {
        }
        reg.Reboot(kept);
        EndEveryGame();
        const std::optional<JournalRecord> owed = [&] {
          const auto probe = Start();
          return RestoreJournal(probe->driverRegistry, probe->program).Read();
        }();
        const std::string left = std::to_string(&kept - &keptUnflushed[0]) +
                                 (owed ? RestoreJournal::Encode(*owed) : std::string());
        if (resumeCut == 1 && !resumesSwept.insert(left).second) break;
        bool resumeCutOff = false;
        if (resumeCut > 0) {
          cutAt(resumeCut);
          try {
            Start()->launcher.ResumeFromJournal();
          } catch (...) {
          }
          resumeCutOff = reg.Changes() == resumeCut;
          reg.Reboot(kept);
        }
        reg.SetChangeObserver(nullptr);
        Start()->launcher.ResumeFromJournal();
        EXPECT_EQ(Settings(), before);
        EXPECT_FALSE(JournalExists());
        if (HasFailure()) return;
        if (resumeCut > 0 && !resumeCutOff) break;
      }
    }
  }
}

// A driver write refused part-way whose giving back is refused too: the
// record stays, and the next start gives the driver back. (A give-back that
// succeeds is swept call by call in the fault injection suite.)
TEST_F(JournalTest, ARunRefusedPartWayGivesBackWhatItWrote) {
  ResetWorld();
  reg.SetChangeObserver([&] {  // after the record (with its two keys) and one driver write
    if (reg.Changes() == 4) reg.RefuseWrites(kMachine, kD3D);
  });
  auto tray = Start();
  EXPECT_THROW(tray->launcher.RunProfile("Quake"), RegistryError);
  reg.SetChangeObserver(nullptr);
  reg.ClearRefusals();
  ASSERT_TRUE(JournalExists());
  tray.reset();
  Start()->launcher.ResumeFromJournal();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
  EXPECT_EQ(Live(kD3D, "SSTH3_LOD_BIAS"), "2");
  EXPECT_FALSE(JournalExists());
}

// The record names the adapter key the run wrote. A restore owed goes there
// while it exists; once a reinstall has moved the driver and the old key is
// gone, to the key found now. The start-up log says which.
TEST_F(JournalTest, AnOwedRestoreGoesToTheKeyTheRunWrote) {
  const std::string moved = "System\\CurrentControlSet\\Services\\3dfxvs\\Device1\\";
  for (bool oldKeyStays : {true, false}) {
    SCOPED_TRACE(oldKeyStays ? "old key stays" : "old key gone");
    ResetWorld();
    Start()->launcher.RunProfile("Quake");
    EndEveryGame();
    reg.PutString(kMachine, moved + "D3D", "SSTH3_RGAMMA", "1.50");
    reg.PutString(kMachine, moved + "Glide", "FX_GLIDE_BPP", "32");
    if (!oldKeyStays) reg.RemoveKey(kMachine, kDriverKey);

    auto next = Start();
    next->driverKey = moved;
    const std::string note = next->launcher.ResumeFromJournal();
    const std::string restored = oldKeyStays ? kDriverKey : moved;
    EXPECT_EQ(Live(restored + "D3D", "SSTH3_RGAMMA"), "1.00");
    EXPECT_EQ(Live(restored + "Glide", "FX_GLIDE_BPP"), "16");
    if (oldKeyStays) {
      EXPECT_EQ(Live(moved + "D3D", "SSTH3_RGAMMA"), "1.50");
      EXPECT_EQ(note, "Restore owed to " + kDriverKey + ", which the run wrote");
    } else {
      EXPECT_EQ(note, "Restore owed to " + kDriverKey + ", which is gone: it goes to " + moved);
    }
    EXPECT_FALSE(JournalExists());
  }
}

TEST_F(JournalTest, AWatchFollowsALauncherToTheGameItStartsFromTheProgramFolder) {
  Profile("Launched", "C:\\Games\\Quake\\launcher.exe");
  auto tray = Start();
  tray->launcher.RunProfile("Launched");
  const uint32_t launcher = processes.IdOf(processes.LastHandle());
  const uint32_t game = processes.AddRunning("C:\\Games\\Quake\\bin\\quake.exe", launcher);
  const uint32_t updater = processes.AddRunning("C:\\Updater\\update.exe", launcher);
  const uint32_t neighbour = processes.AddRunning("C:\\Games\\Quake2\\q2.exe", launcher);
  processes.EndProcess(launcher);

  tray->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.50") << "the game still runs";
  std::optional<JournalRecord> record = RestoreJournal(tray->driverRegistry, tray->program).Read();
  ASSERT_TRUE(record);
  EXPECT_EQ(record->watched, std::vector<std::string>{"C:\\Games\\Quake\\bin\\quake.exe"});

  // The game hands over once more (a menu that starts the engine), after
  // "tarnwick-cli restore" settled the record: it must not come back.
  RegistryHandle companion(reg, kUser), companionMachine(reg, kMachine);
  RestoreJournal(companionMachine, companion).Clear();
  const uint32_t engine = processes.AddRunning("c:\\games\\quake\\engine.exe", game);
  processes.EndProcess(game);
  processes.EndProcess(neighbour);
  tray->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.50");
  EXPECT_FALSE(JournalExists());

  processes.EndProcess(engine);
  tray->launcher.CheckProgramExit();
  EXPECT_EQ(Live(kD3D, "SSTH3_RGAMMA"), "1.00");
  EXPECT_TRUE(processes.IsRunning(updater));
  EXPECT_EQ(processes.OpenHandles(), 0);
  EXPECT_FALSE(JournalExists());
}

// Where the system cannot tell a handle's id (Windows 98): the launched
// process from lists before and after the launch, also when a launcher has
// ended in between and only its game is left.
TEST(LaunchedProcess, FoundFromTheProcessListsAroundTheLaunch) {
  using List = std::vector<ProcessEntry>;
  const List before = {{4, 1, ""}, {8, 4, ""}};  // this process, an older child
  const struct {
    const char* name;
    List after;
    uint32_t id;
  } cases[] = {
      {"still running", {{4, 1, ""}, {8, 4, ""}, {20, 4, ""}}, 20},
      {"ended, its game runs", {{4, 1, ""}, {24, 20, ""}, {28, 20, ""}}, 20},
      {"ended with nothing left", {{4, 1, ""}, {8, 4, ""}}, 0},
      {"two new children", {{4, 1, ""}, {20, 4, ""}, {28, 4, ""}}, 0},
      {"a child of the older child", {{4, 1, ""}, {24, 8, ""}}, 0},
      {"two ended parents", {{4, 1, ""}, {24, 20, ""}, {32, 28, ""}}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(LaunchedProcessId(before, c.after, 4), c.id) << c.name;
}

TEST(ProcessFolder, FilesInTheFolderOrBelowIgnoringCaseAndSlashes) {
  EXPECT_TRUE(IsInFolder("C:\\Games\\Quake\\q.exe", "c:\\games\\quake"));
  EXPECT_TRUE(IsInFolder("C:/Games/Quake/bin/q.exe", "C:\\Games\\Quake\\"));
  EXPECT_FALSE(IsInFolder("C:\\Games\\Quake2\\q.exe", "C:\\Games\\Quake"));
  EXPECT_FALSE(IsInFolder("C:\\Games\\Quake", "C:\\Games\\Quake"));
  EXPECT_FALSE(IsInFolder("C:\\x.exe", ""));
  EXPECT_EQ(FolderOf("C:\\Games\\q.exe"), "C:\\Games");
  EXPECT_EQ(FolderOf("q.exe"), "");
}

}  // namespace
}  // namespace tw
