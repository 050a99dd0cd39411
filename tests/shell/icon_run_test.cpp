// A game started from its own icon (`tarnwick.exe NAME`) is given back as a
// run from the tray's own "Run" is: handed to the tray copy, or watched by
// the icon's copy in its place.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/launcher.h"
#include "tests/shell/session_machine.h"
#include "tests/support/reg_fixture.h"

namespace tw {
namespace {

constexpr RootKey kHkcu = RootKey::CurrentUser;
constexpr RootKey kHklm = RootKey::LocalMachine;
const std::string kStore = "Software\\Hexmoor\\Tarnwick";

struct Row {
  bool trayRunning;
  bool reload;
  bool otherWatched;  // another game of this session is watched when the icon is clicked
  bool displayMode;
};

std::string RowName(const Row& r) {
  return std::string(r.trayRunning ? "tray copy" : "no tray copy") +
         (r.reload ? ", reload on" : ", reload off") +
         (r.otherWatched ? ", another game watched" : "") + (r.displayMode ? ", display mode" : "");
}

// What a scenario leaves: both driver keys whole ("Prev " values included),
// the desktop, and whether a restore is still owed.
struct Outcome {
  std::string driver;
  std::string values;  // without the records
  std::optional<std::string> lodBias;
  DesktopMode desktop;
  bool owed = false;
  std::vector<std::string> notices;
};

class IconRunTest : public ::testing::Test {
 protected:
  static std::unique_ptr<Machine> NewMachine(const Row& r) {
    auto m = std::make_unique<Machine>();
    PlantRegFixture(m->reg, kWin2000StockFixture);
    m->display.SetModes({{16, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    m->display.SetCurrent({1024, 768, 32, 60});
    m->reg.PutDword(kHkcu, kStore, "VoodooType", 5500);
    Profile(*m, "Game", "-8", "4");
    if (r.displayMode) m->reg.PutDword(kHkcu, kStore + "\\Game", "Desktop Mode", 1);
    Profile(*m, "Other", "2", "2");
    m->reg.PutString(kHkcu, kStore + "\\Other\\Glide", "FX_GLIDE_BPP", "32");
    return m;
  }
  static void Profile(Machine& m, const std::string& name, const char* lodBias, const char* aa) {
    const std::string key = kStore + "\\" + name;
    m.reg.PutString(kHkcu, key, "FilePath", "C:\\Games\\" + name + "\\" + name + ".exe");
    m.reg.PutString(kHkcu, key + "\\D3D", "SSTH3_LOD_BIAS", lodBias);
    m.reg.PutString(kHkcu, key + "\\D3D", "SSTH3_SLI_AA_CONFIGURATION", aa);
    m.reg.PutString(kHkcu, key + "\\D3D", "SSTH3_RGAMMA", "1.30");
  }
  static std::string Driver(const Machine& m, bool withRecords = true) {
    return DumpTree(m.reg, kHklm, kWin2000StockDriverKey, [&](const std::string& name) {
      return withRecords || !IsPreviousValueName(name);
    });
  }
  static void SetReload(Machine& m, Copy* tray, bool on) {
    if (tray != nullptr && tray->state.reloadChecked != on) tray->form.ToggleReloadSettings();
    m.reg.PutDword(kHkcu, kStore, "Reload settings", on ? 1 : 0);
  }
  // Every game ends; each copy's next tick sees it.
  static void EndGames(Machine& m, const std::vector<std::unique_ptr<Copy>>& copies) {
    std::vector<ProcessEntry> running;
    m.processes.Snapshot(&running);
    for (const ProcessEntry& entry : running) m.processes.EndProcess(entry.id);
    for (const auto& copy : copies) {
      copy->launcher.CheckProgramExit();
      copy->Pump();
    }
  }
  static Outcome Finish(Machine& m, const std::vector<std::unique_ptr<Copy>>& copies) {
    EndGames(m, copies);
    Outcome out{Driver(m), Driver(m, false),
                m.reg.GetString(kHklm, std::string(kWin2000StockDriverKey) + "D3D",
                                "SSTH3_LOD_BIAS"),
                m.display.Current(), m.reg.Get(kHklm, kStore, kJournalValue).has_value()};
    for (const auto& copy : copies) {
      for (const std::string& notice : copy->ui.notices) out.notices.push_back(notice);
    }
    return out;
  }

  // The game started from its icon, as the row has it.
  Outcome ByIcon(const Row& r, std::string* before) {
    auto m = NewMachine(r);
    std::vector<std::unique_ptr<Copy>> copies;
    auto newCopy = [&] { return copies.emplace_back(std::make_unique<Copy>(*m)).get(); };
    Copy* tray = nullptr;
    if (r.trayRunning) {
      tray = newCopy();
      tray->Start("tarnwick.exe");
    }
    *before = Driver(*m, false);
    if (r.otherWatched) {
      if (tray != nullptr) {
        tray->form.RunFromMenu("Other");
      } else {
        newCopy()->Start("tarnwick.exe Other");  // its icon's copy watches it
      }
    }
    SetReload(*m, tray, r.reload);
    Copy* icon = newCopy();
    icon->Start("tarnwick.exe Game");
    m->PumpAll();
    // The icon's copy ends at once unless it watches the game itself.
    EXPECT_EQ(icon->quit, !r.reload || m->Holder() != icon);
    EXPECT_EQ(icon->state.iconRun, m->Holder() == icon);
    EXPECT_EQ(m->processes.Launches().size(), r.otherWatched ? 2u : 1u);
    Outcome out = Finish(*m, copies);
    EXPECT_EQ(m->lock.holder, 0) << "the machine is still held for a watched run";
    for (const auto& copy : copies) EXPECT_EQ(copy->launcher.CurrentState(), Launcher::State::Idle);
    return out;
  }

  // The same games from the tray's own Run (with reloading off, the old
  // command-line run).
  Outcome ByTray(const Row& r) {
    auto m = NewMachine(r);
    std::vector<std::unique_ptr<Copy>> copies;
    Copy* tray = copies.emplace_back(std::make_unique<Copy>(*m)).get();
    tray->Start("tarnwick.exe");
    if (r.otherWatched) tray->form.RunFromMenu("Other");
    SetReload(*m, tray, r.reload);
    if (r.reload) {
      tray->form.RunFromMenu("Game");
      tray->Pump();
    } else {
      copies.emplace_back(std::make_unique<Copy>(*m))->Start("tarnwick.exe Game");
    }
    return Finish(*m, copies);
  }
};

TEST_F(IconRunTest, AnIconRunIsGivenBackAsTheTraysOwnRun) {
  for (int bits = 0; bits < 16; ++bits) {
    const Row r{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
    SCOPED_TRACE(RowName(r));
    std::string before;
    const Outcome icon = ByIcon(r, &before);
    const Outcome tray = ByTray(r);
    EXPECT_EQ(icon.driver, tray.driver);
    EXPECT_EQ(icon.desktop.width, tray.desktop.width);
    EXPECT_FALSE(icon.owed);
    EXPECT_EQ(icon.notices, std::vector<std::string>{});
    if (r.reload) {
      // Every value as before the first game; the desktop in its own mode.
      EXPECT_EQ(icon.values, before);
      EXPECT_EQ(icon.desktop.width, 1024);
    } else if (!r.otherWatched) {  // the other game's restore takes back what it changed
      EXPECT_EQ(icon.lodBias, "-8");
      EXPECT_EQ(icon.desktop.width, r.displayMode ? 800 : 1024);
    }
  }
}

// The hand-over never loses a run, nor makes two: a tray copy still starting
// up past the icon's wait, or one answering after the icon's copy may have
// given up, takes nothing, and the icon's copy starts the game.
TEST_F(IconRunTest, ATrayCopyThatCannotTakeTheRunInTimeLeavesItToTheIconsCopy) {
  for (bool late : {false, true}) {
    SCOPED_TRACE(late ? "answers late" : "still starting up");
    auto m = NewMachine(Row{true, true, false, false});
    Copy tray(*m);
    tray.Start("tarnwick.exe");
    if (late) {
      m->answerAfter = kHandOverTakeMs + 1;
    } else {
      tray.state.takesRuns = false;
    }
    Copy icon(*m);
    icon.Start("tarnwick.exe Game");
    tray.Pump();
    EXPECT_TRUE(icon.quit);
    ASSERT_EQ(m->processes.Launches().size(), 1u);
    EXPECT_EQ(tray.launcher.CurrentState(), Launcher::State::Idle);
    EXPECT_EQ(m->reg.GetString(kHklm, std::string(kWin2000StockDriverKey) + "D3D", "SSTH3_LOD_BIAS"),
              "-8");
  }
}

// Two icons clicked in turn: the tray copy starts each game once, in the
// window state its shortcut asks for. A hand-over cut short, or of its
// header alone, names no game.
TEST_F(IconRunTest, RunsHandedOverInTurnStartEachGameInItsShortcutsWindowState) {
  auto m = NewMachine(Row{true, true, false, false});
  std::vector<std::unique_ptr<Copy>> copies;
  Copy* tray = copies.emplace_back(std::make_unique<Copy>(*m)).get();
  tray->Start("tarnwick.exe");
  for (const auto& click : {std::make_pair("Game", 3), std::make_pair("Other", 7)}) {
    m->showCommand = click.second;
    Copy(*m).Start(std::string("tarnwick.exe ") + click.first);
    tray->Pump();
    EndGames(*m, copies);
  }
  const std::vector<LaunchRequest>& launches = m->processes.Launches();
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].file, "C:\\Games\\Game\\Game.exe");
  EXPECT_EQ(launches[0].showCommand, 3);
  EXPECT_EQ(launches[1].file, "C:\\Games\\Other\\Other.exe");
  EXPECT_EQ(launches[1].showCommand, 7);

  const std::string whole = EncodeHandOver({"Game", 3, m->session.now});
  HandedOverRun received;
  for (size_t size : {0, 7, 8}) {
    EXPECT_FALSE(DecodeHandOver(whole.substr(0, size), &received)) << size;
  }
}

}  // namespace
}  // namespace tw
