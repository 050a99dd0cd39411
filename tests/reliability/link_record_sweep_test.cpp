// Every command that changes adopted shortcuts, run once for each registry
// call it makes with that call failing, once for each link write failing, and
// once killed after each change it makes (a registry change or a link
// written). After each: every link that starts Tarnwick because Tarnwick
// adopted it has its record, and putting everything back from the records
// gives every link exactly as the game's installer left it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/companion.h"
#include "platform/fake/fake_console.h"
#include "platform/fake/fake_menus.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/tray_commands.h"
#include "shell/tray_menus.h"
#include "store/link_adoption.h"
#include "tests/editor/editor_fixture.h"
#include "tests/reliability/scenario_name.h"
#include "tests/shell/tray_commands_fixture.h"

namespace tw {
namespace {

using Kind = FakeRegistry::CallKind;
const std::string kGame = "C:\\Games\\Demo\\DEMO.EXE";
const std::string kOldTarnwick = "C:\\Old\\tarnwick.exe";

struct Killed {};  // the process ends here: nothing after it runs

// The editor, the tray's commands and tarnwick-cli on one registry and one
// set of links.
struct World : EditorTest {
  void TestBody() override {}
  using EditorTest::chooser;
  using EditorTest::Click;
  using EditorTest::openings;
  using EditorTest::program;
  using EditorTest::questions;
  using EditorTest::reg;
  using EditorTest::shell;
  using EditorTest::Type;

  World() {
    StoreProgram("Demo", kGame);
    reg.PutString(HKCU, Profile("Demo"), "Directory", "C:\\Games\\Demo");
    for (const char* file : {"C:\\Start Menu\\Programs\\Demo\\Demo.lnk", "C:\\Desktop\\Demo.lnk",
                             "C:\\Desktop\\Demo (safe mode).lnk"}) {
      LinkFields link;
      link.target = kGame;
      link.workingDirectory = "C:\\Games\\Demo";
      link.showCommand = 7;
      shell.shellLinks.links[file] = link;
    }
    shell.shellLinks.links["C:\\Desktop\\Demo (safe mode).lnk"].arguments = "-safe";
    state.driverKey = kDriverKey;
  }

  int Cli(const std::vector<std::string>& args) {
    CompanionContext context{catalogue, program, driver, compare, ansi,
                             console, shell.shellLinks, shell.exePath};
    return RunCompanion(args, context);
  }
  void Adopt(const std::string& tarnwick) {
    LinkAdoption(program, shell.shellLinks, tarnwick)
        .Adopt("Demo", FindProgramLinks(shell.shellLinks, kGame, tarnwick));
  }

  RegistryHandle startupRegistry{reg, HKLM};
  FakeTextCompare compare;
  FakeAnsiConverter ansi;
  FakeConsole console;
  StartupState state;
  RunFlags flags;
  FakeTimer timer;
  FakeProcesses processes;
  Launcher launcher{program, driverSettings, modes, processes, timer, ui, questions, flags};
  FakeMenuSet menus{&PopupMenu1Layout(), &PopupMenu2Layout()};
  RecordingMainView view;
  ForwardingStartupView startupView;
  RecordingEditors editors{view.calls};
  FakeTimer clickTimer;
  TrayCommands tray{{catalogue, program, startupRegistry, compare, state, flags, driverSettings,
                     modes, launcher, ui, questions, shell, menus, view, startupView, editors,
                     clickTimer, driver}};
};

struct Scenario {
  const char* name;
  std::function<void(World&)> prepare;
  std::function<void(World&)> command;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

void Adopted(World& w) { w.Adopt(w.shell.exePath); }
void AdoptedAndYes(World& w) {
  Adopted(w);
  w.questions.Answer(true);
}

const Scenario kScenarios[] = {
    {"adopt", nullptr, [](World& w) { w.Cli({"adopt", "Demo"}); }},
    {"adopt from Add program",
     [](World& w) {
       w.chooser.answer = kGame;
       w.questions.Answer(true);
     },
     [](World& w) {
       w.openings.AddProgram();
       w.Type("Edit1", "Demo 2");
       w.Click("Button1");
     }},
    {"unadopt", Adopted, [](World& w) { w.Cli({"unadopt", "Demo"}); }},
    {"unadopt --all", Adopted, [](World& w) { w.Cli({"unadopt", "--all"}); }},
    {"rename", AdoptedAndYes,
     [](World& w) {
       w.openings.EditProfile("Demo");
       w.Type("Edit1", "Demo Renamed");
       w.Click("Button1");
     }},
    {"Remove", Adopted,
     [](World& w) {
       w.openings.EditProfile("Demo");
       w.Click("Button4");
     }},
    {"Remove from Windows registry", AdoptedAndYes,
     [](World& w) { w.tray.RemoveFromRegistry(); }},
    {"relink", [](World& w) { w.Adopt(kOldTarnwick); },
     [](World& w) { w.Cli({"relink", kOldTarnwick}); }},
};

// The profile a link's arguments name, as Tarnwick reads them.
std::string NamedProfile(const std::string& arguments) {
  std::string name = arguments;
  if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
  return name;
}

// The rule, and the way back it promises.
void ExpectEveryAdoptedLinkCanGoBack(World& w, const std::map<std::string, LinkFields>& original) {
  for (const auto& link : w.shell.shellLinks.links) {
    const std::string& target = link.second.target;
    if (target != w.shell.exePath && target != kOldTarnwick) continue;
    const std::string profile = NamedProfile(link.second.arguments);
    bool recorded = false;
    for (const AdoptedLink& record : LinkAdoption(w.program, w.shell.shellLinks, w.shell.exePath)
                                         .List(profile)) {
      recorded |= record.file == link.first;
    }
    EXPECT_TRUE(recorded) << link.first << " starts Tarnwick with \"" << profile
                          << "\" and has no record";
  }
  RegistryHandle fresh(w.reg, HKCU);
  const AdoptionReport back =
      LinkAdoption(fresh, w.shell.shellLinks, w.shell.exePath).UnadoptAll();
  EXPECT_EQ(w.shell.shellLinks.links, original) << "the records did not lead back";
  // A record too many, left by a kill, goes without a word about its link.
  EXPECT_EQ(back.problems, std::vector<std::string>{});
  // An empty place may stay where its last delete was refused; no record may.
  EXPECT_EQ(w.reg.SubkeyNames(HKCU, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts"),
            std::vector<std::string>{});
}

class LinkRecordSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(LinkRecordSweep, EveryFailureAndKillLeavesAWayBack) {
  const Scenario& scenario = GetParam();
  std::map<std::string, LinkFields> original;
  int calls[FakeRegistry::kCallKinds] = {};
  int changes = 0;
  // The same start for every run; `arm` sets the fault after the preparation.
  const auto run = [&](const std::function<void(World&)>& arm) {
    auto w = std::make_unique<World>();
    original = w->shell.shellLinks.links;
    if (scenario.prepare) scenario.prepare(*w);
    w->reg.ResetCallCounts();
    w->shell.shellLinks.writes = 0;
    if (arm) arm(*w);
    try {
      scenario.command(*w);
    } catch (const Killed&) {
    } catch (const std::exception&) {
    }
    w->reg.SetChangeObserver(nullptr);
    for (int k = 0; k < FakeRegistry::kCallKinds; ++k) calls[k] = w->reg.CallCount(static_cast<Kind>(k));
    changes = w->reg.Changes();
    w->reg.ResetCallCounts();
    w->shell.shellLinks.afterWrite = nullptr;
    w->shell.shellLinks.writesBeforeFailure = -1;
    return w;
  };

  const std::unique_ptr<World> clean = run(nullptr);
  const int linkWrites = clean->shell.shellLinks.writes;
  const int cleanChanges = changes;
  int cleanCalls[FakeRegistry::kCallKinds];
  std::copy(calls, calls + FakeRegistry::kCallKinds, cleanCalls);
  ASSERT_GT(linkWrites, 0) << "the scenario writes no link";
  int registryCalls = 0;
  for (int count : cleanCalls) registryCalls += count;
  std::printf("link sweep \"%s\": %d registry calls, %d link writes, %d kill points\n",
              scenario.name, registryCalls, linkWrites, cleanChanges + linkWrites);
  ExpectEveryAdoptedLinkCanGoBack(*clean, original);

  for (int k = 0; k < FakeRegistry::kCallKinds; ++k) {
    for (int n = 1; n <= cleanCalls[k]; ++n) {
      SCOPED_TRACE("registry call " + std::to_string(n) + " of kind " + std::to_string(k) + " fails");
      std::unique_ptr<World> w = run([&](World& at) { at.reg.FailCall(static_cast<Kind>(k), n); });
      ExpectEveryAdoptedLinkCanGoBack(*w, original);
    }
  }
  // One link write failing, and every write from one on (a folder that
  // turned read-only), so that a put-back after a failure fails too.
  for (int failures : {1, -1}) {
    for (int n = 0; n < linkWrites; ++n) {
      SCOPED_TRACE("link write " + std::to_string(n + 1) + " fails, " +
                   (failures > 0 ? "once" : "and every one after it"));
      std::unique_ptr<World> w = run([&](World& at) {
        at.shell.shellLinks.writesBeforeFailure = n;
        at.shell.shellLinks.failures = failures;
      });
      ExpectEveryAdoptedLinkCanGoBack(*w, original);
    }
  }
  for (int step = 1; step <= cleanChanges + linkWrites; ++step) {
    SCOPED_TRACE("killed after change " + std::to_string(step) + " of " +
                 std::to_string(cleanChanges + linkWrites));
    int done = 0;
    std::unique_ptr<World> w = run([&](World& at) {
      const auto tick = [&] {
        if (++done == step) throw Killed{};
      };
      at.reg.SetChangeObserver(tick);
      at.shell.shellLinks.afterWrite = tick;
    });
    ExpectEveryAdoptedLinkCanGoBack(*w, original);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, LinkRecordSweep, ::testing::ValuesIn(kScenarios),
                         ScenarioTestName<Scenario>);

}  // namespace
}  // namespace tw
