// Every command that touches the registry, run once for each registry call it
// makes with exactly that call failing. Whatever fails, the user sees at most
// one message, and one whenever the command could not finish; no key stays
// open; the command works again once the registry does; and the registry
// holds exactly what was written before the failure, or, where the command
// may go on without the call, what a run without failure writes; and the
// tray's check marks still say what the registry holds.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "driver/launcher.h"
#include "driver/restore_journal.h"
#include "platform/fake/fake_desktop_shell.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_menus.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "platform/fake/fake_ui.h"
#include "shell/startup.h"
#include "shell/tray_commands.h"
#include "shell/tray_menus.h"
#include "store/setting_catalogue.h"
#include "tests/shell/recording_startup_view.h"
#include "tests/reliability/scenario_name.h"
#include "tests/shell/tray_commands_fixture.h"
#include "tests/shell/tray_commands_fixture.h"

namespace tw {
namespace {

using Kind = FakeRegistry::CallKind;
constexpr RootKey kHkcu = RootKey::CurrentUser;
constexpr RootKey kHklm = RootKey::LocalMachine;
constexpr const char* kProgram = "Software\\Hexmoor\\Tarnwick";
constexpr const char* kAdapter = "System\\CurrentControlSet\\Services\\Class\\Display\\0000";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

const char* KindName(Kind kind) {
  static const char* const names[] = {"open", "read", "write", "delete", "enumerate"};
  return names[static_cast<int>(kind)];
}

// The whole program around one registry: start-up, driver settings, the
// launcher, as the main window wires them.
struct Program : FakeMachineParts, ProgramStack {
  RecordingStartupView view;

  Program() : ProgramStack(reg, processes, display) {
    const std::string d3d = std::string(kAdapter) + "\\D3D";
    const std::string glide = std::string(kAdapter) + "\\Glide";
    reg.PutString(kHklm, kAdapter, "DriverDesc", "Voodoo5 5500 AGP");
    reg.PutString(kHklm, kRun, "Tarnwick", "c:\\tarnwick.exe");
    reg.PutKey(kHklm, "Software\\Hexmoor\\Tarnwick");  // where a restore was owed before
    reg.PutString(kHklm, d3d, "SSTH3_OVERLAYMODE", "2");
    reg.PutString(kHklm, d3d, "Prev SSTH3_OVERLAYMODE", "3");
    reg.PutString(kHklm, d3d, "SSTH3_RGAMMA", "1.10");
    reg.PutString(kHklm, d3d, "Prev SSTH3_RGAMMA", "0.90");
    reg.PutString(kHklm, d3d, "Prev SSTH3_SWAPINTERVAL", "0");
    reg.PutString(kHklm, d3d, "Previous LOD value", "-1.50");
    reg.PutString(kHklm, glide, "FX_GLIDE_BPP", "32");
    reg.PutString(kHklm, glide, "Prev FX_GLIDE_BPP", "16");
    reg.PutString(kHklm, glide, "FX_GLIDE_TMU_MEMSIZE", "2");
    reg.PutString(kHklm, glide, "Previous LOD value", "2");
    reg.PutDword(kHkcu, kProgram, "VoodooType", 5500);
    reg.PutDword(kHkcu, kProgram, "Reload settings", 1);
    const std::string quake = std::string(kProgram) + "\\Quake";
    reg.PutString(kHkcu, quake, "FilePath", "c:\\games\\quake.exe");
    reg.PutDword(kHkcu, quake, "Poll", 2);
    reg.PutString(kHkcu, quake + "\\D3D", "SSTH3_OVERLAYMODE", "3");
    reg.PutString(kHkcu, quake + "\\D3D", "SSTH3_LOD_BIAS", "+1");
    reg.PutString(kHkcu, quake + "\\D3D", "SSTH3_SWAPINTERVAL", "0");
    reg.PutString(kHkcu, quake + "\\Glide", "SSTH3_GGAMMA", "1.60");
    reg.PutString(kHkcu, quake + "\\Glide", "FX_GLIDE_BPP", "16");
    const std::string defaults = std::string(kProgram) + "\\User Default";
    reg.PutString(kHkcu, defaults + "\\D3D", "SSTH3_ALPHADITHERMODE", "3");
    reg.PutString(kHkcu, defaults + "\\Glide", "FX_GL_HSR", "2");
    reg.PutString(kHkcu, defaults + "\\Glide", "FX_GLIDE_SWAPINTERVAL", "0");

    state.driverKey = std::string(kAdapter) + "\\";
    catalogue.FillFsaaLists(5500);
    display.SetModes({{16, 800, 600, 60}, {32, 1024, 768, 60}});
    display.SetCurrent({800, 600, 16});
    menus.SetChecked("StartupMenu", true);
    menus.SetChecked("ReloadSettings", true);
  }

  // One command as the message loop runs it: an error ends it and is shown.
  void Command(const std::function<void(Program&)>& command) {
    try {
      command(*this);
    } catch (const std::exception& error) {
      ui.ErrorReport(error.what());
    }
  }

  // The check marks that differ from what the registry holds, as a start reads it.
  std::string MarksUnlikeTheStore() const {
    const std::optional<uint32_t> reload = reg.GetDword(kHkcu, kProgram, "Reload settings");
    std::string unlike;
    if (menus.Checked("StartupMenu") != reg.Get(kHklm, kRun, "Tarnwick").has_value()) {
      unlike += "StartupMenu ";
    }
    if (menus.Checked("ReloadSettings") != (!reload || *reload != 0)) unlike += "ReloadSettings";
    return unlike;
  }

  // Every box the user was shown, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> shown = ui.notices;
    shown.insert(shown.end(), ui.errorReports.begin(), ui.errorReports.end());
    for (const std::string& call : view.calls) {
      if (call.rfind("Error: ", 0) == 0 || call.rfind("Notice: ", 0) == 0) shown.push_back(call);
    }
    return shown;
  }
};

// A message that names the registry's failure, or the start-up's verdict
// when the card's entry could not be read.
bool IsRegistryMessage(const std::string& text) {
  for (const char* start : {"Failed to set data for '", "Failed to get data for '",
                            "Invalid data type for '"}) {
    if (text.find(start) != std::string::npos) return true;
  }
  // The tray's own words for a removal the registry would not allow.
  if (text.find("could not be removed") != std::string::npos) return true;
  // A driver write refused: the run goes on without it, and says so.
  if (text.find("may not change the driver's settings") != std::string::npos) return true;
  return text.find(kNoVoodooMessage) != std::string::npos;
}

// A registry dump without the watched run's pending-restore record: a run
// that fails withdraws its own record, the one change made after a failure.
std::string WithoutPendingRestore(const std::string& dump) {
  std::string out;
  size_t start = 0;
  while (start < dump.size()) {
    size_t end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    if (line.find(std::string("\"") + kJournalValue + "\"") == std::string::npos) out += line + "\n";
    start = end + 1;
  }
  return out;
}

struct Scenario {
  const char* name;
  std::function<void(Program&)> prepare;  // runs without failures
  std::function<void(Program&)> command;
  // Reads everything it needs before its first write, so a failed read
  // leaves the registry as it was.
  bool readsFirst = false;
  // A run: driver writes that fail part-way are given back, so the registry
  // may also end as it was before.
  bool givesBack = false;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

void RunStartupCommand(Program& p) {
  RunStartup("tarnwick.exe", p.catalogue, p.programRegistry, p.driverRegistry,
             p.startupRegistry, p.compare, p.state, p.view);
}

const Scenario kScenarios[] = {
    {"start-up", nullptr, RunStartupCommand},
    {"first start-up",
     [](Program& p) {
       p.reg.RemoveKey(kHkcu, kProgram);
       p.view.answer = [](int& model) { model = 6000; };
     },
     RunStartupCommand},
    // Reads the pending-restore record again once the game has started.
    {"run from the tray", nullptr, [](Program& p) { p.launcher.RunProfile("Quake"); }, false,
     true},
    {"run from the command line", [](Program& p) { p.flags.runDirect = true; },
     [](Program& p) { p.launcher.RunProfile("Quake"); }, true, true},
    {"end of a watched run",
     [](Program& p) {
       p.launcher.RunProfile("Quake");
       p.processes.SetExitCode(p.processes.LastHandle(), 0);
     },
     [](Program& p) { p.launcher.CheckProgramExit(); }, true},
    {"reset to previous settings", nullptr, [](Program& p) { p.launcher.RestorePreviousSettings(); },
     true},
    {"reset factory defaults", nullptr, [](Program& p) { p.driver.ResetToFactoryDefaults(); }, true},
    {"reset to user defaults", nullptr, [](Program& p) { p.driver.ResetToUserDefaults(); }, true},
    {"quick anti-aliasing choice", [](Program& p) { p.state.cardModel = 5500; },
     [](Program& p) { p.form.SetFsaa2x(); }},
    {"card model change", nullptr, [](Program& p) { p.form.ChooseModel6000(); }},
    {"reload settings after finishing game", [](Program& p) { p.menus.SetChecked("ReloadSettings", true); },
     [](Program& p) { p.form.ToggleReloadSettings(); }},
    {"start at Windows startup",
     [](Program& p) {
       p.reg.RemoveKey(kHklm, kRun);
       p.menus.SetChecked("StartupMenu", false);
     },
     [](Program& p) { p.form.ToggleStartAtWindowsStartup(); }},
    {"no longer start at Windows startup", [](Program& p) { p.menus.SetChecked("StartupMenu", true); },
     [](Program& p) { p.form.ToggleStartAtWindowsStartup(); }},
    {"remove from the Windows registry",
     [](Program& p) {
       p.questions.Answer(true);  // this run
       p.questions.Answer(true);  // and the one after it
     },
     [](Program& p) { p.form.RemoveFromRegistry(); }},
};

class FaultInjection : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultInjection, EveryFailingCallEndsCleanly) {
  const Scenario& scenario = GetParam();

  // A run without failures: its calls, its final state and every state on
  // the way, one per change.
  auto clean = std::make_unique<Program>();
  if (scenario.prepare) scenario.prepare(*clean);
  clean->reg.ResetCallCounts();
  const std::string before = clean->reg.Dump();
  std::vector<std::string> states = {before};
  clean->reg.SetChangeObserver([&] { states.push_back(clean->reg.Dump()); });
  clean->Command(scenario.command);
  clean->reg.SetChangeObserver(nullptr);
  ASSERT_EQ(clean->ui.errorReports, std::vector<std::string>{}) << "fails without a fault";
  EXPECT_EQ(clean->MarksUnlikeTheStore(), "");
  const std::string finished = clean->reg.Dump();
  const size_t cleanMessages = clean->Messages().size();

  std::string matrix;
  for (int k = 0; k < FakeRegistry::kCallKinds; ++k) {
    const Kind kind = static_cast<Kind>(k);
    const int calls = clean->reg.CallCount(kind);
    int stopped = 0;
    int absorbed = 0;
    for (int n = 1; n <= calls; ++n) {
      SCOPED_TRACE(std::string(scenario.name) + ": " + KindName(kind) + " call " +
                   std::to_string(n) + " of " + std::to_string(calls) + " fails");
      auto p = std::make_unique<Program>();
      if (scenario.prepare) scenario.prepare(*p);
      p->reg.ResetCallCounts();
      p->reg.FailCall(kind, n);
      p->Command(scenario.command);
      ASSERT_TRUE(p->reg.InjectedFailureHappened());

      const std::string after = p->reg.Dump();
      const std::vector<std::string> messages = p->Messages();
      const bool finishedAnyway = after == finished && messages.size() <= cleanMessages;
      if (finishedAnyway) {
        ++absorbed;
      } else {
        ++stopped;
        const std::string atFailure =
            WithoutPendingRestore(states[static_cast<size_t>(p->reg.ChangesBeforeFailure())]);
        if (!scenario.givesBack || WithoutPendingRestore(after) != WithoutPendingRestore(before)) {
          EXPECT_EQ(WithoutPendingRestore(after), atFailure)
              << "the registry holds more, or other, than was written before the failure";
        }
        if (scenario.readsFirst && kind == Kind::Read) {
          EXPECT_EQ(after, before) << "a failed read left the registry half-written";
        }
        ASSERT_EQ(messages.size(), 1u) << "a command that could not finish must say so, once";
        EXPECT_TRUE(IsRegistryMessage(messages[0])) << messages[0];
      }
      EXPECT_EQ(p->reg.OpenHandles(), 0u) << "a key was left open";
      EXPECT_EQ(p->MarksUnlikeTheStore(), "");

      // The program goes on: the same command works once the registry does.
      p->ui.notices.clear();
      p->ui.errorReports.clear();
      p->view.calls.clear();
      p->Command(scenario.command);
      EXPECT_EQ(p->Messages().size(), cleanMessages) << "the next command failed too";
    }
    char line[96];
    std::snprintf(line, sizeof line, "  %-9s %3d calls: %3d stopped with one message, %3d absorbed\n",
                  KindName(kind), calls, stopped, absorbed);
    matrix += line;
  }
  std::printf("fault sweep \"%s\":\n%s", scenario.name, matrix.c_str());
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjection, ::testing::ValuesIn(kScenarios),
                         ScenarioTestName<Scenario>);

}  // namespace
}  // namespace tw
