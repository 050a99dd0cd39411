// Events over one session in any order. Once every game has ended and every
// copy has settled: the driver as before the first run, nothing owed, each
// game asked for started once (none that could start lost), and one tray
// copy left when one was running or started by the Run key.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_account_registry.h"
#include "tests/shell/session_machine.h"
#include "tests/support/reg_fixture.h"

namespace tw {
namespace {

const std::string kStore = "Software\\Hexmoor\\Tarnwick";
const std::vector<std::string> kGames = {"A", "B", "C"};  // C switches the display

std::string GameFile(const std::string& game) { return "C:\\Games\\" + game + "\\" + game + ".exe"; }

struct Session {
  Session() {
    PlantRegFixture(m.reg, kWin2000StockFixture);
    m.display.SetModes({{16, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    m.display.SetCurrent({1024, 768, 32, 60});
    m.reg.PutDword(RootKey::CurrentUser, kStore, "VoodooType", 5500);
    for (const std::string& game : kGames) {
      const std::string lodBias = std::to_string(-2 * (game[0] - 'A' + 1));
      m.reg.PutString(RootKey::CurrentUser, kStore + "\\" + game, "FilePath", GameFile(game));
      m.reg.PutString(RootKey::CurrentUser, kStore + "\\" + game + "\\D3D", "SSTH3_LOD_BIAS", lodBias);
      expectedLaunches[game] = 0;
    }
    m.reg.PutDword(RootKey::CurrentUser, kStore + "\\C", "Desktop Mode", 1);
    // Another account, with a game of its own, in a session of its own.
    otherHive.PutDword(RootKey::CurrentUser, kStore, "VoodooType", 5500);
    otherHive.PutString(RootKey::CurrentUser, kStore + "\\D", "FilePath", GameFile("D"));
    otherHive.PutString(RootKey::CurrentUser, kStore + "\\D\\D3D", "SSTH3_LOD_BIAS", "-9");
    otherSession.whileWaiting = [this] { m.PumpAll(); };
    before = Driver();
  }
  std::string Driver() const {
    return DumpTree(m.reg, RootKey::LocalMachine, kWin2000StockDriverKey,
                    [](const std::string& name) { return !IsPreviousValueName(name); });
  }
  Copy* NewCopy() {
    Copy* copy = copies.emplace_back(std::make_unique<Copy>(m)).get();
    copy->ui.whileNoticeShown = [this, copy] {
      const bool owner = std::exchange(copy->mainView.disabled, true);  // a box disables it
      if (auto arrives = std::exchange(whileNotice, nullptr)) arrives();
      copy->mainView.disabled = owner;
    };
    return copy;
  }
  Copy* NewOtherCopy() {
    return others.emplace_back(std::make_unique<Copy>(m, otherAccount, otherSession, 2)).get();
  }
  int Launched(const std::string& game) const {
    const auto& all = m.processes.Launches();
    return std::count_if(all.begin(), all.end(),
                         [&](const LaunchRequest& l) { return l.file == GameFile(game); });
  }
  void Start(const std::string& line) {
    trayWanted |= line == "tarnwick.exe";
    NewCopy()->Start(line);
    m.PumpAll();
  }
  // A game asked for, from its icon or from the tray's menu (whose copy is
  // started first when none runs); `launched`: its program is asked for.
  void Run(const std::string& game, bool byIcon, bool launched = true) {
    expectedLaunches[game] += launched;
    if (byIcon) return Start("tarnwick.exe " + game);
    if (m.Holder() == nullptr) Start("tarnwick.exe");
    // The click that opens the menu keeps a game icon's copy in the tray.
    m.Holder()->form.TrayNotifyMessage(tray_mouse::kRightButtonUp);
    trayWanted = true;
    m.Holder()->form.RunFromMenu(game);
    m.PumpAll();
  }
  void EndGame(size_t pick, bool toChild) {
    std::vector<ProcessEntry> running;
    m.processes.Snapshot(&running);
    if (running.empty()) return;
    const ProcessEntry& game = running[pick % running.size()];
    if (toChild) m.processes.AddRunning(FolderOf(game.path) + "\\Real.exe", game.id);
    m.processes.EndProcess(game.id);
    for (auto* all : {&copies, &others}) {
      for (size_t i = 0; i < all->size(); ++i) (*all)[i]->launcher.CheckProgramExit();
    }
    m.PumpAll();
  }
  int CopiesLeft() const {
    return std::count_if(copies.begin(), copies.end(), [](const auto& c) { return c->alive; });
  }

  Machine m;
  FakeRegistry otherHive;
  FakeAccountRegistry otherAccount{m.reg, otherHive};
  FakeSession otherSession;
  std::vector<std::unique_ptr<Copy>> copies, others;  // this account's, the other's
  std::string before;
  std::map<std::string, int> expectedLaunches;
  bool trayWanted = false;  // a tray start, or its menu used, since the last Exit
  std::function<void()> whileNotice;  // happens while the next notice is open
};

struct Model {};
using Step = rc::state::Command<Model, Session>;
const auto kAnyGame = rc::gen::elementOf(kGames);

struct TrayOrIconRun : Step {
  std::string game = *kAnyGame;
  bool byIcon = *rc::gen::arbitrary<bool>();
  void run(const Model&, Session& s) const override { s.Run(game, byIcon); }
};

// The shell refuses the file (the game was moved), or C's mode cannot be
// set; while the notice is open a game's icon may hand a run over, which the
// box's message loop takes.
struct FailedRun : TrayOrIconRun {
  bool badMode = *rc::gen::arbitrary<bool>();
  std::string handed = *rc::gen::elementOf(std::vector<std::string>{"A", "B", "C", ""});
  bool gameEnds = *rc::gen::arbitrary<bool>();  // meanwhile, the game watched before
  void run(const Model&, Session& s) const override {
    const auto setFailing = [&s](bool launch, bool mode) {
      s.m.processes.SetLaunchFails(launch);
      s.m.display.RefuseMode(mode ? 1 : -1);  // C's
    };
    setFailing(!badMode, badMode);
    s.whileNotice = [&] {
      setFailing(false, false);
      if (gameEnds) s.EndGame(0, false);
      if (!handed.empty()) s.Run(handed, true);
    };
    s.Run(badMode ? "C" : game, byIcon, !badMode);
    setFailing(false, false);
    s.whileNotice = nullptr;
  }
};

// Two copies at once: the first has claimed the tray but has no window yet
// when the second (a game's icon, or the Run key's start: "") looks for it.
struct TwoAtOnce : Step {
  std::string first = *kAnyGame;
  std::string second = *rc::gen::elementOf(std::vector<std::string>{"A", "B", "C", ""});
  void run(const Model&, Session& s) const override {
    Copy* early = s.NewCopy();
    const std::string line = "tarnwick.exe " + first;
    ++s.expectedLaunches[first];
    bool started = !early->BeforeWindow(line);
    s.m.session.whileWaiting = [&] {
      if (!started) early->WindowStart(line);
      started = true;
      s.m.PumpAll();
    };
    second.empty() ? s.Start("tarnwick.exe") : s.Run(second, true);
    if (!started) early->WindowStart(line);
    s.m.session.whileWaiting = [&s] { s.m.PumpAll(); };
    s.m.PumpAll();
  }
};

struct GameEnds : Step {
  size_t pick = *rc::gen::inRange<size_t>(0, 8);
  bool toChild = *rc::gen::arbitrary<bool>();
  void run(const Model&, Session& s) const override { s.EndGame(pick, toChild); }
};

// Exit from the tray's menu, a game's icon perhaps clicked while it closes;
// or the tray copy is killed and the Run key starts the next one.
struct TrayCopyEnds : TrayOrIconRun {
  bool killed = *rc::gen::arbitrary<bool>();
  void run(const Model&, Session& s) const override {
    if (s.m.Holder() != nullptr && killed) s.m.Holder()->End();
    if (killed) return s.Start("tarnwick.exe");
    if (s.m.Holder() == nullptr) return;
    s.trayWanted = false;
    s.m.Holder()->form.Exit();
    if (byIcon) s.Run(game, true);
    s.m.PumpAll();
  }
};

// Another account's game from its icon, refused only while this account's
// game is watched; its Tarnwick is then killed (or the account logged off)
// mid-game, leaving its restore owed to the machine.
struct OtherAccountRunAndCrash : Step {
  void run(const Model&, Session& s) const override {
    const int before = s.Launched("D");
    Copy* copy = s.NewOtherCopy();
    copy->Start("tarnwick.exe D");
    s.m.PumpAll();
    const bool launched = s.Launched("D") > before;
    RC_ASSERT(launched || copy->ui.notices == std::vector<std::string>{kAnotherAccountsGameNotice});
    s.expectedLaunches["D"] += launched;
    if (copy->alive) copy->End();
  }
};

RC_GTEST_PROP(AnyOrderTest, EveryGameStartsOnceAndTheDriverComesBack, ()) {
  Session s;
  const Model model;
  rc::state::runAll(*rc::state::gen::commands(
                        model, rc::state::gen::execOneOfWithArgs<
                                   TrayOrIconRun, FailedRun, TwoAtOnce, GameEnds, TrayCopyEnds,
                                   OtherAccountRunAndCrash>()),
                    model, s);

  for (std::vector<ProcessEntry> games; s.m.processes.Snapshot(&games) && !games.empty();) {
    s.EndGame(0, false);
  }
  RC_ASSERT(s.CopiesLeft() == (s.trayWanted ? 1 : 0));
  // The next start finishes a restore that an Exit during a game left owed;
  // the other account's, when its own copy was killed, too.
  if (s.CopiesLeft() == 0) s.Start("tarnwick.exe");
  s.NewOtherCopy()->Start("tarnwick.exe");
  RC_ASSERT(s.Driver() == s.before);
  for (RootKey root : {RootKey::LocalMachine, RootKey::CurrentUser}) {
    RC_ASSERT(!s.m.reg.Get(root, kStore, kJournalValue).has_value());
  }
  for (const auto& [game, expected] : s.expectedLaunches) RC_ASSERT(s.Launched(game) == expected);
}

}  // namespace
}  // namespace tw
