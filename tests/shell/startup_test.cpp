#include <gtest/gtest.h>

#include "dialogs/card_model_question.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/startup.h"
#include "tests/shell/recording_startup_view.h"

namespace tw {
namespace {

using Calls = std::vector<std::string>;
constexpr RootKey kHklm = RootKey::LocalMachine;
constexpr RootKey kHkcu = RootKey::CurrentUser;
const char* kProgram = "Software\\Hexmoor\\Tarnwick";
const std::string kNoCard = std::string("Notice: ") + kNoVoodooMessage;
// Without a "Start in" of its own, in the game's folder.
const std::string kShared = "Start C:\\G\\g.exe|-x|C:\\G\\";

class Startup : public ::testing::Test {
 protected:
  void Card(const std::string& description = "Voodoo5 5500 AGP") {
    reg.PutString(kHklm, "System\\CurrentControlSet\\Services\\Class\\Display\\0000", "DriverDesc",
                  description);
  }
  void Run(const std::string& commandLine) {
    RunStartup(commandLine, catalogue, program, driver, startup, compare, state, view);
  }
  std::optional<uint32_t> StoredModel() const { return reg.GetDword(kHkcu, kProgram, "VoodooType"); }

  FakeRegistry reg;
  RegistryHandle program{reg, kHkcu};
  RegistryHandle driver{reg, kHklm};
  RegistryHandle startup{reg, kHklm};
  FakeTextCompare compare;
  SettingCatalogue catalogue;
  StartupState state;
  RecordingStartupView view;
};

TEST_F(Startup, Outcomes) {
  // A named run with reloading on asks where it goes: handed to the tray
  // copy (this copy ends), watched here as the tray copy, or run directly.
  constexpr RunRoute kDirect = RunRoute::Direct;
  const struct {
    const char* line;
    bool card;
    Calls calls;
    bool logged;
    bool reload = true;
    RunRoute route = kDirect;
    bool driverReadOnly = false;  // a limited account: the tray says so once, up front
  } cases[] = {
      {"t.exe", true, {"Hide", "Model 5500", "Tray", "Menus", "Resume"}, false},
      {"t.exe", false, {"Hide", kNoCard, "Quit"}, false},
      {"t.exe -DEBUG", true, {"Model 5500", "Tray", "Menus", "Resume"}, true},
      {"t.exe -DEBUG", false, {}, true},
      {"t.exe Quake III", true, {"Hide", "Model 5500", "Route Quake III", "Run Quake III", "Quit"},
       false},
      {"t.exe -debug \"Quake III\"", true,
       {"Model 5500", "Route Quake III", "Run Quake III", "Quit"}, true},
      {"t.exe Quake III", false, {"Hide", kNoCard, "Quit"}, false},
      // An all-users shortcut another account adopted: no profile here, so
      // its game starts as the shortcut did, before the card is looked for.
      {"t.exe shared", true, {"Hide", kShared, "Quit"}, false},
      {"t.exe -debug Shared", false, {kShared, "Quit"}, false},
      {"t.exe Quake III", true, {"Hide", "Model 5500", "Run Quake III", "Quit"}, false, false},
      {"t.exe Quake III", true, {"Hide", "Model 5500", "Route Quake III", "Quit"}, false, true,
       RunRoute::HandedOver},
      {"t.exe Quake III", true,
       {"Hide", "Model 5500", "Route Quake III", "Resume", "Run Quake III", "Menus", "Tray"}, false,
       true, RunRoute::Alone},
      {"t.exe -DEBUG Quake III", true,
       {"Model 5500", "Route Quake III", "Resume", "Run Quake III", "Menus", "Tray"}, true, true,
       RunRoute::Alone},
      {"t.exe", true,
       {"Hide", "Model 5500", "Tray", "Menus", "Resume",
        "Notice: This account may not change the driver's settings."},
       false, true, kDirect, true},
  };
  const std::string record = "Software\\Hexmoor\\Tarnwick Shared Shortcuts\\1";
  for (const char* name : {"File", "Arguments", "Directory", "Icon"}) {
    reg.PutString(kHklm, record, name, "");
  }
  reg.PutString(kHklm, record, "Target", "C:\\G\\g.exe");
  reg.PutString(kHklm, record, "Arguments", "-x");
  reg.PutString(kHklm, record, "Profile", "Shared");
  reg.PutString(kHklm, record, "Tarnwick", "C:\\Tarnwick\\tarnwick.exe");
  for (const auto& c : cases) {
    reg.RemoveKey(kHklm, "System");
    if (c.card) Card();
    reg.PutDword(kHkcu, kProgram, "VoodooType", 5500);
    reg.PutString(kHkcu, std::string(kProgram) + "\\Quake III", "FilePath", "C:\\Q3\\q3.exe");
    reg.PutDword(kHkcu, kProgram, "Reload settings", c.reload ? 1 : 0);
    state = StartupState{};
    view = RecordingStartupView{};
    view.resumeNote = "Restore owed to elsewhere";  // for the log alone
    view.route = c.route;
    if (c.driverReadOnly) {
      reg.RefuseWrites(kHklm, "System\\CurrentControlSet\\Services\\Class\\Display\\0000");
    }
    Run(c.line);
    reg.ClearRefusals();
    EXPECT_EQ(view.calls, c.calls) << c.line << " card " << c.card;
    EXPECT_EQ(!view.log.empty(), c.logged) << c.line << " card " << c.card;
    if (c.logged && !c.calls.empty() && c.calls.back() == "Resume") {
      EXPECT_EQ(view.log.back(), view.resumeNote) << c.line;
    }
    // Only the tray copy, or the copy in its place, takes a game's icon's run.
    EXPECT_EQ(state.takesRuns, c.card && (c.line == std::string("t.exe") ||
                                          c.line == std::string("t.exe -DEBUG") ||
                                          c.route == RunRoute::Alone))
        << c.line;
  }
}

TEST_F(Startup, CloseButton) {
  Run("t.exe -DEBUG");
  StartupCloseClicked(state, view);
  EXPECT_EQ(view.calls, (Calls{kNoCard, "Quit"}));

  Card();
  state = StartupState{};
  view = RecordingStartupView{};
  Run("t.exe -DEBUG");
  StartupCloseClicked(state, view);
  EXPECT_EQ(view.calls.back(), "Hide");
}

TEST_F(Startup, CardModelIsAskedOnceAndStoredAlsoInADirectRun) {
  Card();
  view.answer = [](int& model) {
    CardModelQuestion dialog(model);
    dialog.Choose6000();
    dialog.Choose5500();
    dialog.Confirm();
  };
  Run("t.exe Quake");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Ask 5500", "Model 5500", "Run Quake", "Quit"}));
  EXPECT_EQ(StoredModel(), 5500u);

  SettingCatalogue expected;
  expected.FillFsaaLists(5500);
  for (SettingKind kind : {SettingKind::Direct3D, SettingKind::Glide}) {
    ASSERT_EQ(catalogue.ChoiceCount(kind, 3), expected.ChoiceCount(kind, 3));
    ASSERT_GT(catalogue.ChoiceCount(kind, 3), 0);
    EXPECT_EQ(catalogue.ChoiceCaption(kind, 3, 1), expected.ChoiceCaption(kind, 3, 1));
  }

  view = RecordingStartupView{};
  Run("t.exe");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Model 5500", "Tray", "Menus", "Resume"}));
}

// The question offers the model the driver names; 4500 when it names none.
TEST_F(Startup, ClosingTheCardDialogAtOnceKeepsTheOfferedModel) {
  const std::pair<const char*, int> cases[] = {
      {"Voodoo4 4500 AGP", 4500}, {"AMIGAMERLIN 3.1-R11 For Voodoo 5 5500 AGP", 5500},
      {"3dfx Voodoo5 6000 AGP", 6000}, {"Omega Voodoo5", 4500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    reg.RemoveKey(kHkcu, "Software");
    Card(c.first);
    view = RecordingStartupView{};
    Run("t.exe");
    const std::string model = std::to_string(c.second);
    EXPECT_EQ(view.calls, (Calls{"Hide", "Ask " + model, "Model " + model, "Tray", "Menus", "Resume"}));
    EXPECT_EQ(StoredModel(), static_cast<uint32_t>(c.second));
  }
}

TEST_F(Startup, UnknownStoredModelAppliesNothing) {
  Card();
  reg.PutDword(kHkcu, kProgram, "VoodooType", 1234);
  Run("t.exe");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Tray", "Menus", "Resume"}));
  EXPECT_EQ(StoredModel(), 1234u);
  EXPECT_EQ(catalogue.ChoiceCount(SettingKind::Direct3D, 3), 0);
}

// A hand-made .reg file may store the program's own values with other types;
// start-up reads them as missing and stores proper ones, instead of failing
// every start.
TEST_F(Startup, WrongTypedProgramValuesReadAsMissingAndAreStoredAgain) {
  const RawValue text{reg_type::kString, std::string("5500", 5)};
  const RawValue shortDword{reg_type::kDword, std::string(2, '\1')};
  for (const RawValue& odd : {text, shortDword}) {
    reg.RemoveKey(kHkcu, "Software");
    Card();
    reg.PutRaw(kHkcu, kProgram, "VoodooType", odd);
    reg.PutRaw(kHkcu, kProgram, "Reload settings", odd);
    state = StartupState{};
    state.reloadChecked = false;
    view = RecordingStartupView{};
    view.answer = [](int& model) { model = 6000; };
    Run("t.exe");
    EXPECT_EQ(view.calls, (Calls{"Hide", "Ask 5500", "Model 6000", "Tray", "Menus", "Resume"}));
    EXPECT_EQ(StoredModel(), 6000u);
    EXPECT_TRUE(state.reloadChecked);
    EXPECT_EQ(reg.GetDword(kHkcu, kProgram, "Reload settings"), 1u);
  }
}

TEST_F(Startup, AFailedResumeOfAnOwedRestoreIsReportedAndTheTrayStays) {
  Card();
  reg.PutDword(kHkcu, kProgram, "VoodooType", 5500);
  view.resumeFails = true;
  Run("t.exe");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Model 5500", "Tray", "Menus", "Resume",
                               "Error: Failed to set data for 'SSTH3_RGAMMA'"}));
}

TEST_F(Startup, ErrorsEndTheSequenceAndNeverLeaveTheProgramInvisible) {
  Card();
  reg.RefuseValueWrite("Reload settings");
  Run("t.exe");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Error: Failed to set data for 'Reload settings'", "Quit"}));

  view = RecordingStartupView{};
  state = StartupState{};
  Run("t.exe -DEBUG");
  EXPECT_EQ(view.calls, (Calls{"Error: Failed to set data for 'Reload settings'"}));
  reg.ClearRefusals();
  StartupCloseClicked(state, view);
  EXPECT_EQ(view.calls.back(), "Quit");

  reg.PutDword(kHkcu, kProgram, "VoodooType", 6000);
  view = RecordingStartupView{};
  view.runFails = true;
  state = StartupState{};
  Run("t.exe Quake");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Model 6000", "Run Quake", "Error: Cannot run", "Quit"}));
}

TEST_F(Startup, RefusedModelWriteIsReported) {
  Card();
  reg.RefuseValueWrite("VoodooType");
  view.answer = [](int& model) { model = 6000; };
  Run("t.exe");
  EXPECT_EQ(view.calls, (Calls{"Hide", "Ask 5500", "Error: Failed to set data for 'VoodooType'", "Quit"}));
}

}  // namespace
}  // namespace tw
