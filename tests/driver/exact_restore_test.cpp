// A watched run gives the driver back exactly as it found it: every value
// the run changed holds its old text again, or is absent again; nothing the
// program does not know (the control panel's subkeys, other values) is
// touched; and a later run never brings back an earlier game's values.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "driver/launcher.h"
#include "driver/driver_plan.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "tests/support/reg_fixture.h"

namespace tw {
namespace {

constexpr RootKey kMachine = RootKey::LocalMachine;
constexpr RootKey kUser = RootKey::CurrentUser;
constexpr SettingKind kGroups[] = {SettingKind::Direct3D, SettingKind::Glide};

std::string ProfilePath(const std::string& name) { return "Software\\Hexmoor\\Tarnwick\\" + name; }

// Everything but the "Prev " records, which a restore may leave as the swap does.
bool NotARecord(const std::string& name) { return !IsPreviousValueName(name); }

// One tray process: the launcher and what it stands on. A second one after
// the first has gone is the next start of the program.
struct Tray {
  Tray(FakeRegistry& reg, FakeProcesses& processes, const std::string& driverKey)
      : program(reg, kUser), driverRegistry(reg, kMachine), driverKey(driverKey),
        processes(processes) {
    catalogue.FillFsaaLists(5500);
    display.SetModes({{16, 800, 600, 60}});
    display.SetCurrent({800, 600, 16});
  }
  RegistryHandle program;
  RegistryHandle driverRegistry;
  std::string driverKey;
  SettingCatalogue catalogue;
  DriverSettings driver{catalogue, program, driverRegistry, driverKey};
  FakeDisplay display;
  FakeUserInterface ui;
  FakeQuestions questions;
  DisplayModes modes{display, ui};
  FakeProcesses& processes;
  FakeTimer timer;
  RunFlags flags;
  Launcher launcher{program, driver, modes, processes, timer, ui, questions, flags};
};

class ExactRestoreTest : public ::testing::Test {
 protected:
  void UseFixture(const char* file, const char* driverKey) {
    reg = FakeRegistry();
    PlantRegFixture(reg, file);
    driverKey_ = driverKey;
    tray = std::make_unique<Tray>(reg, processes, driverKey_);
  }
  std::string Group(SettingKind kind) const {
    return driverKey_ + SettingCatalogue::SubkeyName(kind);
  }
  std::string Driver(const ValueFilter& shown = NotARecord) const {
    return DumpTree(reg, kMachine, driverKey_, shown);
  }
  void Store(const std::string& profile, SettingKind kind, const std::string& name,
             const std::string& text) {
    reg.PutString(kUser, ProfilePath(profile) + "\\" + SettingCatalogue::SubkeyName(kind), name, text);
  }
  void AddProgram(const std::string& profile) {
    reg.PutString(kUser, ProfilePath(profile), "FilePath", "c:\\games\\" + profile + ".exe");
    reg.PutKey(kUser, ProfilePath(profile) + "\\D3D");
    reg.PutKey(kUser, ProfilePath(profile) + "\\Glide");
  }
  // A watched run of `profile` to its end: the watch sees the game end, or
  // (`viaRestart`) the program was left during the game and its next start
  // is told to put the settings back.
  void WatchedRun(const std::string& profile, bool viaRestart = false) {
    tray->launcher.RunProfile(profile);
    processes.SetExitCode(processes.LastHandle(), 0);
    if (!viaRestart) {
      tray->launcher.CheckProgramExit();
      return;
    }
    tray->launcher.StopWatch();
    tray = std::make_unique<Tray>(reg, processes, driverKey_);
    tray->questions.Answer(true);
    tray->launcher.ResumeFromJournal();
  }

  FakeRegistry reg;
  FakeProcesses processes;
  std::string driverKey_;
  std::unique_ptr<Tray> tray;
};

// For random driver states on the stock layouts (each setting and record
// present with some text, or absent) and random profiles (each setting
// stored or not), a watched run and its restore, by the watch or by the next
// start, leave every value but the records as they were, subkeys included.
TEST_F(ExactRestoreTest, ApplyThenRestoreGivesBackTheStateBefore) {
  const char* texts[] = {"", "0", "1", "2", "8", "-1", "16", "1.30", "0.90", "x"};
  const char* gammas[] = {"", "1.00", "1.30", "2.20"};
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    if (round % 2 == 0) {
      UseFixture(kWin98StockFixture, kWin98StockDriverKey);
    } else {
      UseFixture(kWin2000StockFixture, kWin2000StockDriverKey);
    }
    AddProgram("Game");
    for (SettingKind kind : kGroups) {
      for (int n = 1; n <= SettingCatalogue::Count(kind); ++n) {
        const SettingInfo& info = tray->catalogue.Info(kind, n);
        for (const std::string& name : {info.valueName, kPrevPrefix + info.valueName}) {
          if (pick(2) == 0) {
            reg.PutString(kMachine, Group(kind), name, texts[pick(10)]);
          } else if (reg.Get(kMachine, Group(kind), name)) {
            RegistryHandle handle(reg, kMachine);
            ScopedKey key(handle, Group(kind), false);
            handle.DeleteValue(name);
          }
        }
        if (pick(2) == 0) continue;
        std::string stored = info.cls == SettingClass::Gamma ? gammas[pick(4)] : "";
        if (info.cls == SettingClass::List) {
          stored = std::to_string(info.choices[static_cast<size_t>(pick(
                                                   static_cast<int>(info.choices.size())))]
                                      .number);
        }
        Store("Game", kind, info.valueName, stored);
      }
    }
    const std::string before = Driver();
    WatchedRun("Game", round % 3 == 0);
    ASSERT_EQ(Driver(), before);
  }
}

// Run A sets a level-of-detail bias and the splash; run B's profile has
// neither. Each restore gives back the driver from before its own run, so
// B's never writes A's values back.
TEST_F(ExactRestoreTest, ALaterRunNeverBringsBackAnEarlierGamesValues) {
  UseFixture(kWin98StockFixture, kWin98StockDriverKey);
  AddProgram("A");
  AddProgram("B");
  Store("A", SettingKind::Direct3D, "SSTH3_LOD_BIAS", "8");
  Store("A", SettingKind::Glide, "FX_GLIDE_NO_SPLASH", "0");
  Store("A", SettingKind::Glide, "SSTH3_SLI_AA_CONFIGURATION", "4");
  Store("B", SettingKind::Glide, "FX_GLIDE_BPP", "32");
  const std::string fresh = Driver();

  WatchedRun("A");
  EXPECT_EQ(Driver(), fresh);
  EXPECT_EQ(reg.GetString(kMachine, Group(SettingKind::Direct3D), "Prev SSTH3_LOD_BIAS"), "8");
  WatchedRun("B");
  EXPECT_EQ(Driver(), fresh);
  EXPECT_EQ(reg.GetString(kMachine, Group(SettingKind::Direct3D), "SSTH3_LOD_BIAS"), "0");
  // B never touched the bias: its record stays A's.
  EXPECT_EQ(reg.GetString(kMachine, Group(SettingKind::Direct3D), "Prev SSTH3_LOD_BIAS"), "8");
  // Absent before: absent again, gammas included (an empty one would be gamma 0).
  for (const char* name : {"FX_GLIDE_NO_SPLASH", "SSTH3_SLI_AA_CONFIGURATION", "SSTH3_RGAMMA"}) {
    EXPECT_FALSE(reg.Get(kMachine, Group(SettingKind::Glide), name)) << name;
  }

  // A second run started while the first is watched: its end gives back the
  // driver from before the first.
  tray->launcher.RunProfile("A");
  tray->launcher.RunProfile("B");
  processes.SetExitCode(processes.LastHandle(), 0);
  tray->launcher.CheckProgramExit();
  EXPECT_EQ(Driver(), fresh);
}

// What only the driver's own control panel uses stays byte for byte through
// every command that writes the driver.
TEST_F(ExactRestoreTest, ValuesAndSubkeysThatAreNotOursAreNeverTouched) {
  UseFixture(kWin2000StockFixture, kWin2000StockDriverKey);
  AddProgram("Game");
  Store("Game", SettingKind::Glide, "FX_GLIDE_NO_SPLASH", "1");
  auto foreign = [&](const std::string& name) {
    if (IsPreviousValueName(name)) return false;
    for (SettingKind kind : kGroups) {
      for (int n = 1; n <= SettingCatalogue::Count(kind); ++n) {
        if (tray->catalogue.ValueName(kind, n) == name) return false;
      }
    }
    return true;
  };
  const std::string before = Driver(foreign);
  ASSERT_NE(before.find("Tweak Map"), std::string::npos);
  ASSERT_NE(before.find("FX_GLIDE_V3FIFO"), std::string::npos);
  DriverSettings& driver = tray->driver;
  driver.ResetToFactoryDefaults();
  driver.ResetToUserDefaults();
  driver.ApplyChoice(SettingKind::Glide, 10, 1);
  driver.RestorePreviousValues();
  WatchedRun("Game");
  EXPECT_EQ(Driver(foreign), before);
}

}  // namespace
}  // namespace tw
