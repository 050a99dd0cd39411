// A watched run from the tray that Tarnwick does not see to its end: the
// program is ended (TerminateProcess) while the stand-in game runs, then
// started again. With the game still running it watches it again and
// restores after it ends; with the game gone it asks, and Yes restores.
// And a stand-in launcher that starts the game and ends at once: the driver
// keeps the profile's values until the game itself has ended. A second tray
// copy ends at once and brings back the first one's icon; tray clicks under
// the start-up question open nothing. A game started from its icon
// (`tarnwick.exe NAME`, what an adopted shortcut starts) is watched too:
// alone, by its own copy, which then ends; beside a tray copy, by that copy,
// also while its editor is open; two at once, by one copy. A moved game gives
// the driver back before its notice, from the tray and from its icon.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "harness/driver_game.h"
#include "harness/driver_registry.h"
#include "harness/options.h"
#include "harness/process.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/messages.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = kDefaultTimeoutMs;
constexpr char kRedGamma[] = "SSTH3_RGAMMA";
constexpr char kJournal[] = "Pending Restore";
constexpr int kRunPlace = 7;  // "Run" in the right-click menu, as the keyboard walks it
constexpr char kQuestion[] =
    "Tarnwick was closed while \"Quake III\" was running. Put the driver settings back as they "
    "were before it started?";

bool GameRunning() { return ProcessRunningNamed(FileName(TestOptions().gameExe)); }

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    const bool win98 = TestOptions().winVersion == "win98";
    PlantFixture(win98 ? kWin98Voodoo5 : kWin2000Voodoo5);
    d3d_ = std::string(win98 ? "System\\CurrentControlSet\\Services\\Class\\Display\\0000"
                             : "System\\CurrentControlSet\\Services\\3dfxvs\\Device0") +
           "\\D3D";
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    WriteValue(HKEY_LOCAL_MACHINE, d3d_, kRedGamma, StringValue("1.10"));
    recordPath_ = TempFolder() + "tarnwick-journal-run-";
    DeleteFiles();
  }
  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().gameExe));
    ResetTarnwickState();
    DeleteFiles();
  }
  void DeleteFiles() const {
    for (const char* name : {"Quake III", "Unreal"}) DeleteFileA((recordPath_ + name + ".txt").c_str());
  }

  // "Quake III" runs the stand-in game with these arguments, polled each second.
  void PlantProfile(const std::string& gameArguments, const std::string& name = "Quake III",
                    const std::string& file = TestOptions().gameExe) {
    const std::string quake = std::string(kProgramKey) + "\\" + name;
    WriteValue(HKEY_CURRENT_USER, quake, "FilePath", StringValue(file));
    WriteValue(HKEY_CURRENT_USER, quake, "Parameters",
               StringValue(QuoteArgument("--record=" + recordPath_ + name + ".txt") + " " + gameArguments));
    WriteValue(HKEY_CURRENT_USER, quake, "Poll", DwordValue(1));
    WriteValue(HKEY_CURRENT_USER, quake + "\\D3D", kRedGamma, StringValue("1.60"));
  }

  void Start() {
    tarnwick_ = StartTarnwick();
    ASSERT_TRUE(tarnwick_.WaitForIdle(kTimeoutMs)) << "start-up did not finish";
    main_ = FindTopWindow(tarnwick_.id(), kMainWindowClass);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }, kTimeoutMs)) << "no tray icon";
  }

  // Runs "Quake III", the only profile, from the Run submenu and waits until
  // the game has started.
  void RunFromTray() {
    ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({kRunPlace, 1})));
    ASSERT_TRUE(WaitUntil([&] { return ReadGameRecordExists(); }, kTimeoutMs))
        << "the game never started";
  }
  bool ReadGameRecordExists(const std::string& name = "Quake III") const {
    return GetFileAttributesA((recordPath_ + name + ".txt").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::optional<std::string> Gamma() const { return Text(HKEY_LOCAL_MACHINE, d3d_, kRedGamma); }
  std::optional<std::string> GammaBecomes(const std::string& expected) const {
    WaitUntil([&] { return Gamma() == expected; }, kTimeoutMs);
    return Gamma();
  }
  // Both driver keys without the "Prev " records.
  ValueTable DriverValues() const {
    ValueTable values;
    const std::string key = d3d_.substr(0, d3d_.size() - 3);
    for (const char* group : {"D3D", "Glide"}) {
      const ValueTable read = ReadValueTable(HKEY_LOCAL_MACHINE, key + group).value_or(ValueTable{});
      for (const auto& value : read) {
        if (value.first.compare(0, 5, "Prev ") != 0) {
          values[std::string(group) + "\\" + value.first] = value.second;
        }
      }
    }
    return values;
  }
  bool JournalPresent() const {
    return ReadValue(HKEY_LOCAL_MACHINE, kProgramKey, kJournal).has_value();
  }

  std::string d3d_;
  std::string recordPath_;
  ChildProcess tarnwick_;
  HWND main_ = nullptr;
};

TEST_F(JournalTest, KilledDuringARunWatchesTheGameAgainAfterARestart) {
  PlantProfile("--sleep=60000");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(RunFromTray());
  EXPECT_EQ(GammaBecomes("1.60"), "1.60");
  EXPECT_TRUE(JournalPresent());
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kProgramKey, kJournal).has_value()) << "not the machine's";

  tarnwick_.Terminate();
  ASSERT_TRUE(GameRunning());
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_FALSE(FindTopWindow(tarnwick_.id(), kDialogClass)) << "asked while the game runs";
  EXPECT_EQ(Gamma(), "1.60");

  // A second tray copy ends at once: it would show a second icon and
  // restore the same run again. It asks the first to show its icon, which
  // the shell may have refused at logon.
  ASSERT_TRUE(DeleteTrayIcon(main_));
  ChildProcess second = StartTarnwick();
  EXPECT_EQ(second.WaitForExit(kTimeoutMs), std::optional<DWORD>(0)) << "two tray copies run";
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }, kTimeoutMs))
      << "the second start did not bring the icon back";

  KillProcessesNamed(FileName(TestOptions().gameExe));
  EXPECT_EQ(GammaBecomes("1.10"), "1.10") << "the restarted watch did not restore";
  EXPECT_TRUE(WaitUntil([&] { return !JournalPresent(); }, kTimeoutMs));
  EXPECT_TRUE(tarnwick_.Running());
}

TEST_F(JournalTest, KilledDuringARunWhoseGameEndedAsksAndYesRestores) {
  PlantProfile("--sleep=60000");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(RunFromTray());
  EXPECT_EQ(GammaBecomes("1.60"), "1.60");
  tarnwick_.Terminate();
  KillProcessesNamed(FileName(TestOptions().gameExe));

  tarnwick_ = StartTarnwick();
  HWND box = WaitForTopWindow(tarnwick_.id(), kDialogClass, "Warning", kTimeoutMs);
  ASSERT_NE(box, nullptr) << "no question at the restart";
  EXPECT_EQ(MessageBoxText(box), kQuestion);
  EXPECT_EQ(Gamma(), "1.60") << "restored before the answer";
  // The shell still posts the icon's clicks under the box: they open no
  // menu, whose Exit would throw the owed restore away.
  HWND main = FindTopWindow(tarnwick_.id(), kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(PostTrayCallback(main, WM_RBUTTONUP));
  EXPECT_TRUE(PostTrayCallback(main, WM_LBUTTONUP));
  EXPECT_FALSE(WaitUntil([&] { return PopupMenuShown(tarnwick_); }, 2 * GetDoubleClickTime()))
      << "a tray menu opened under the question";
  EXPECT_TRUE(ClickButton(GetDlgItem(box, IDYES)));
  EXPECT_EQ(GammaBecomes("1.10"), "1.10");
  EXPECT_TRUE(WaitUntil([&] { return !JournalPresent(); }, kTimeoutMs));

  // Asked once: the next start is quiet.
  tarnwick_.Terminate();
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_FALSE(FindTopWindow(tarnwick_.id(), kDialogClass));
  EXPECT_EQ(Gamma(), "1.10");
}

TEST_F(JournalTest, ALauncherThatEndsAtOnceHandsTheWatchToItsGame) {
  // The game ends with 259, STILL_ACTIVE's own number.
  PlantProfile("--hand-over --sleep=5000 --exit=259");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(RunFromTray());
  EXPECT_EQ(GammaBecomes("1.60"), "1.60");
  // The launcher has ended; two polls later the game still runs, and so
  // do its settings.
  Sleep(2500);
  ASSERT_TRUE(GameRunning()) << "the game ended too early to tell";
  EXPECT_EQ(Gamma(), "1.60") << "restored while the game still ran";
  EXPECT_TRUE(WaitUntil([] { return !GameRunning(); }, kTimeoutMs));
  EXPECT_EQ(GammaBecomes("1.10"), "1.10");
}

TEST_F(JournalTest, AGameStartedFromItsIconAloneIsWatchedByThatCopyWhichThenEnds) {
  PlantProfile("--sleep=3000");
  const ValueTable before = DriverValues();
  ChildProcess icon = StartTarnwick("Quake III");
  ASSERT_TRUE(WaitUntil([&] { return ReadGameRecordExists(); }, kTimeoutMs)) << "no game";
  EXPECT_EQ(GammaBecomes("1.60"), "1.60");
  // It is the tray copy meanwhile: its icon is there.
  HWND main = WaitForProgramWindow(icon, kMainWindowClass);
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kTimeoutMs)) << "no tray icon";
  // Pointing at the icon to read its tip is no use of it: the copy still ends.
  EXPECT_TRUE(PostTrayCallback(main, WM_MOUSEMOVE));
  EXPECT_TRUE(GameRunning()) << "the game ended too early to tell";
  EXPECT_TRUE(icon.Running()) << "the icon's copy left its game unwatched";
  EXPECT_TRUE(icon.WaitForExit(kTimeoutMs).has_value()) << "the icon's copy stayed after its game";
  EXPECT_EQ(DescribeDifferences(before, DriverValues()), "");
  EXPECT_FALSE(JournalPresent());
}

TEST_F(JournalTest, AGameStartedFromItsIconBesideATrayCopyIsHandedToIt) {
  PlantProfile("--sleep=3000");
  ASSERT_NO_FATAL_FAILURE(Start());
  const ValueTable before = DriverValues();
  // The tray copy is busy: its editor is open.
  ASSERT_TRUE(PostMessageA(main_, tw::kShowLiveSettingsMessage, 0, 0));
  ASSERT_TRUE(WaitUntil([&] { return FindTopWindow(tarnwick_.id(), "TForm1") != nullptr; },
                        kTimeoutMs));
  ChildProcess icon = StartTarnwick("Quake III");
  EXPECT_EQ(icon.WaitForExit(kTimeoutMs), std::optional<DWORD>(0)) << "not handed over";
  ASSERT_TRUE(WaitUntil([&] { return ReadGameRecordExists(); }, kTimeoutMs)) << "no game";
  EXPECT_EQ(GammaBecomes("1.60"), "1.60");
  EXPECT_TRUE(WaitUntil([] { return !GameRunning(); }, kTimeoutMs));
  EXPECT_EQ(GammaBecomes("1.10"), "1.10") << "the tray copy did not give the game back";
  EXPECT_EQ(DescribeDifferences(before, DriverValues()), "");
  EXPECT_TRUE(WaitUntil([&] { return !JournalPresent(); }, kTimeoutMs));
  EXPECT_TRUE(tarnwick_.Running());
}

// Two icons clicked at once, no tray copy: one copy claims the tray, the
// other hands its run to it once it is ready; both games are given back.
TEST_F(JournalTest, TwoIconsStartedTogetherBothRunAndBothAreGivenBack) {
  PlantProfile("--sleep=4000");
  PlantProfile("--sleep=4000", "Unreal");
  const ValueTable before = DriverValues();
  ChildProcess first = StartTarnwick("Quake III");
  ChildProcess second = StartTarnwick("Unreal");
  EXPECT_TRUE(WaitUntil([&] { return ReadGameRecordExists() && ReadGameRecordExists("Unreal"); },
                        kTimeoutMs)) << "a game did not start";
  EXPECT_TRUE(first.WaitForExit(3 * kTimeoutMs).has_value());
  EXPECT_TRUE(second.WaitForExit(kTimeoutMs).has_value());
  EXPECT_EQ(DescribeDifferences(before, DriverValues()), "");
  EXPECT_FALSE(JournalPresent());
}

// The game was moved: by the time "Could not start" shows, the driver holds
// its values from before, and nothing is owed.
TEST_F(JournalTest, AMovedGameGivesTheDriverBackFromTheTrayAndFromItsIcon) {
  const std::string moved = "C:\\Games\\Moved\\quake3.exe";
  PlantProfile("", "Quake III", moved);
  const ValueTable before = DriverValues();
  for (bool byIcon : {false, true}) {
    SCOPED_TRACE(byIcon ? "from its icon" : "from the tray");
    if (byIcon) {
      tarnwick_ = StartTarnwick("Quake III");
    } else {
      ASSERT_NO_FATAL_FAILURE(Start());
      ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({kRunPlace, 1})));
    }
    HWND box = WaitForTopWindow(tarnwick_.id(), kDialogClass, "Tarnwick", kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no notice";
    EXPECT_EQ(MessageBoxText(box), "Could not start " + moved);
    EXPECT_EQ(DescribeDifferences(before, DriverValues()), "");
    EXPECT_FALSE(JournalPresent());
    EXPECT_TRUE(ClickButton(GetDlgItem(box, IDOK)));
    if (byIcon) {
      EXPECT_TRUE(tarnwick_.WaitForExit(kTimeoutMs).has_value()) << "the icon's copy stayed";
    } else {
      tarnwick_.Terminate();
    }
  }
}

}  // namespace
}  // namespace e2e
