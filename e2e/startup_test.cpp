// Start-up of tarnwick.exe: card detection in both driver layouts, the
// detection log, the missing-card message and the card model question.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {
namespace {

constexpr DWORD kExitTimeoutMs = 10000;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTarnwickState(); }
  void TearDown() override { ResetTarnwickState(); }

  static void StoreCardModel(DWORD model) {
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(model));
  }

  static std::optional<Value> ProgramValue(const std::string& name) {
    return ReadValue(HKEY_CURRENT_USER, kProgramKey, name);
  }

  // Ends the program the way Windows does on shutdown, and checks it goes.
  static void CloseMainWindow(ChildProcess& tarnwick) {
    HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
    ASSERT_NE(main, nullptr) << "no " << kMainWindowClass << " window to close";
    ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
    EXPECT_TRUE(tarnwick.WaitForExit(kExitTimeoutMs).has_value())
        << "still running after WM_CLOSE to the main window";
  }
};

struct LayoutCase {
  const char* name;
  const char* fixture;
  std::vector<std::string> log;  // the detection log of "-DEBUG"
};

const LayoutCase kLayouts[] = {
    {"Windows98",
     kWin98Voodoo5,
     {"[Windows 95/98 check]",
      "OpenKey: System\\CurrentControlSet\\Services\\Class\\Display\\0000",
      "DriverDescription: Voodoo5 5500 AGP", "Matched by its description", "Voodoo found"}},
    {"Windows2000",
     kWin2000Voodoo5,
     {"[Windows 95/98 check]", "[Windows 2000 check]",
      "OpenKey: System\\CurrentControlSet\\Services\\3dfxvs\\Device0", "3Dfx driver found"}},
};

void PrintTo(const LayoutCase& layout, std::ostream* out) { *out << layout.name; }

class CardFoundTest : public StartupTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(CardFoundTest, KeepsRunningHiddenAndStoresReloadSettings) {
  PlantFixture(GetParam().fixture);
  StoreCardModel(5500);

  ChildProcess tarnwick = StartTarnwick();
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs)) << "start-up did not finish";

  ASSERT_TRUE(tarnwick.Running());
  HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowVisible(main)) << "the start-up window shows without -DEBUG";
  EXPECT_EQ(FindTopWindow(tarnwick.id(), kCardDialogClass), nullptr)
      << "card model asked although it is stored";
  EXPECT_EQ(FindTopWindow(tarnwick.id(), kDialogClass), nullptr) << "unexpected message box";

  EXPECT_EQ(ProgramValue("Reload settings"), DwordValue(1));
  EXPECT_EQ(ProgramValue("VoodooType"), DwordValue(5500));

  CloseMainWindow(tarnwick);
}

TEST_P(CardFoundTest, DebugShowsTheDetectionLog) {
  PlantFixture(GetParam().fixture);
  StoreCardModel(5500);

  ChildProcess tarnwick = StartTarnwick("-DEBUG");
  HWND main =
      WaitForProgramWindow(tarnwick, kMainWindowClass, std::string("Tarnwick Startup check"));
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs)) << "start-up did not finish";
  EXPECT_TRUE(IsWindowVisible(main));

  HWND memo = FindDescendant(main, "Edit");
  ASSERT_NE(memo, nullptr) << "no log box in the start-up window";
  EXPECT_EQ(SplitLines(WindowText(memo)), GetParam().log);

  CloseMainWindow(tarnwick);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CardFoundTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(StartupTest, WithoutACardTellsSoAndEndsWithoutWritingAnything) {
  ChildProcess tarnwick = StartTarnwick();
  HWND box = WaitForProgramWindow(tarnwick, kDialogClass, std::string(kAppTitle));
  ASSERT_NE(box, nullptr) << "no message box";
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs)) << "the box does not wait for input";
  EXPECT_EQ(MessageBoxText(box), "No Voodoo4 or higher was detected.");

  ASSERT_TRUE(DismissMessageBox(box));
  EXPECT_TRUE(tarnwick.WaitForExit(kExitTimeoutMs).has_value()) << "still running after OK";

  const std::optional<KeyContents> written = CountContents(HKEY_CURRENT_USER, kProgramKey);
  if (written) {
    EXPECT_EQ(written->values, 0u);
    EXPECT_EQ(written->subkeys, 0u);
  }
}

struct CardDialogCase {
  const char* name;
  std::vector<std::string> clicks;  // radio buttons, in order
  bool closeWithTitleBar;           // instead of "OK"
  DWORD storedModel;
};

const CardDialogCase kCardDialogCases[] = {
    {"ChooseVoodoo6000", {"Voodoo 5 - 6000"}, false, 6000},
    {"ChangeMindToVoodoo5500", {"Voodoo 5 - 6000", "Voodoo 5 - 5500"}, false, 5500},
    {"CloseAtOnceKeepsTheOfferedModel", {}, true, 5500},
    {"ChangeMindTo4500", {"Voodoo 4 - 4500"}, false, 4500},
};

void PrintTo(const CardDialogCase& choice, std::ostream* out) { *out << choice.name; }

class CardDialogTest : public StartupTest,
                       public ::testing::WithParamInterface<CardDialogCase> {};

TEST_P(CardDialogTest, StoresTheChosenModel) {
  PlantFixture(kWin98Voodoo5);

  ChildProcess tarnwick = StartTarnwick();
  HWND dialog = WaitForProgramWindow(tarnwick, kCardDialogClass, std::string(kAppTitle));
  ASSERT_NE(dialog, nullptr) << "card model not asked";
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs)) << "the dialog does not wait for input";
  // The fixture's driver names a 5500: that is the model offered.
  HWND offered = FindDescendant(dialog, "Button", std::string("Voodoo 5 - 5500"));
  ASSERT_NE(offered, nullptr);
  EXPECT_TRUE(IsButtonChecked(offered));
  EXPECT_FALSE(IsButtonChecked(FindDescendant(dialog, "Button", std::string("Voodoo 4 - 4500"))));

  for (const std::string& caption : GetParam().clicks) {
    HWND radio = FindDescendant(dialog, "Button", caption);
    ASSERT_NE(radio, nullptr) << "no radio button " << caption;
    ASSERT_TRUE(ClickButton(radio));
  }
  if (GetParam().closeWithTitleBar) {
    ASSERT_TRUE(PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0));
  } else {
    ASSERT_TRUE(ClickButton(FindDescendant(dialog, "Button", std::string("OK"))));
  }

  EXPECT_TRUE(WaitUntil([&] { return ProgramValue("VoodooType").has_value(); }))
      << "no VoodooType stored";
  EXPECT_EQ(ProgramValue("VoodooType"), DwordValue(GetParam().storedModel));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog is never destroyed";

  CloseMainWindow(tarnwick);
}

INSTANTIATE_TEST_SUITE_P(Choices, CardDialogTest, ::testing::ValuesIn(kCardDialogCases),
                         [](const ::testing::TestParamInfo<CardDialogCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace e2e
