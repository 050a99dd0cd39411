// Running a profile from the command line with reloading off, as a desktop
// shortcut does: the driver values written with their "Prev " records, the
// display mode switched before the game starts, the game started with its
// parameters and folder, and a name without a profile.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "harness/driver_display.h"
#include "harness/driver_game.h"
#include "harness/driver_registry.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/shell_link.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {
namespace {

constexpr DWORD kRunTimeoutMs = kDefaultTimeoutMs;
constexpr char kProfileName[] = "Quake III";  // a blank: two arguments on the command line

struct Layout {
  const char* name;
  const char* fixture;
  const char* driverKey;  // under HKEY_LOCAL_MACHINE
};

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

const Layout kWindows98 = {"Windows98", kWin98Voodoo5,
                           "System\\CurrentControlSet\\Services\\Class\\Display\\0000"};
const Layout kWindows2000 = {"Windows2000", kWin2000Voodoo5,
                             "System\\CurrentControlSet\\Services\\3dfxvs\\Device0"};

std::string ProfilePath(const std::string& name) { return std::string(kProgramKey) + "\\" + name; }

// The first message box of the program, or nullptr once it has ended without one.
HWND WaitForBoxOrEnd(const ChildProcess& tarnwick) {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = FindTopWindow(tarnwick.id(), kDialogClass);
        return box != nullptr || !tarnwick.Running();
      },
      kRunTimeoutMs);
  return box;
}

class DriverRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    recordPath_ = TempFolder() + "tarnwick-driver-run.txt";
    DeleteFileA(recordPath_.c_str());
    // A folder of its own, with a blank, so the game's folder cannot pass for it.
    workFolder_ = TempFolder() + "tarnwick driver run";
    CreateDirectoryA(workFolder_.c_str(), nullptr);
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    // With reloading off a command-line run is started and left, the
    // driver holding the profile's values afterwards (journal_test.cpp has
    // the watched ones).
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "Reload settings", DwordValue(0));
  }

  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().gameExe));
    ResetTarnwickState();
    DeleteFileA(recordPath_.c_str());
    RemoveDirectoryA(workFolder_.c_str());
  }

  // A profile that starts the stand-in game with a record of its start.
  void PlantLaunchData(const std::string& profile) {
    const std::string path = ProfilePath(profile);
    WriteValue(HKEY_CURRENT_USER, path, "FilePath", StringValue(TestOptions().gameExe));
    WriteValue(HKEY_CURRENT_USER, path, "Parameters",
               StringValue(QuoteArgument("--record=" + recordPath_) + " +connect \"two words\""));
    WriteValue(HKEY_CURRENT_USER, path, "Directory", StringValue(workFolder_));
    WriteValue(HKEY_CURRENT_USER, path, "Poll", DwordValue(7));
  }

  bool GameStarted() const {
    return ProcessRunningNamed(FileName(TestOptions().gameExe)) ||
           ReadGameRecord(recordPath_).has_value();
  }

  // Runs tarnwick.exe until it ends. A message box on the way is a failure
  // that names its text; it is dismissed so the program can still end.
  void RunToEnd(const std::string& arguments) {
    ChildProcess tarnwick = StartTarnwick(arguments);
    HWND box = WaitForBoxOrEnd(tarnwick);
    if (box != nullptr) {
      ADD_FAILURE() << "message box: \"" << MessageBoxText(box) << "\"";
      DismissMessageBox(box);
    }
    EXPECT_TRUE(tarnwick.WaitForExit(kRunTimeoutMs).has_value())
        << "tarnwick.exe " << arguments << " did not end";
  }

  std::optional<GameRecord> WaitForGameRecord() const {
    std::optional<GameRecord> record;
    WaitUntil([&] { return (record = ReadGameRecord(recordPath_)).has_value(); }, kRunTimeoutMs);
    return record;
  }

  void ExpectGameStartedFromTheProfile(const GameRecord& record) const {
    const std::vector<std::string> expected = {"--record=" + recordPath_, "+connect", "two words"};
    EXPECT_EQ(record.arguments, expected);
    std::string directory = record.fields.count("directory") ? record.fields.at("directory") : "";
    if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    EXPECT_EQ(_stricmp(directory.c_str(), workFolder_.c_str()), 0)
        << "the game ran in \"" << directory << "\", not in \"" << workFolder_ << "\"";
  }

  std::string recordPath_;
  std::string workFolder_;
};

// Before and after of one command-line run, every value of both driver
// subkeys; the comments name the rule a line shows. Each text is read back
// raw and must be a REG_SZ ending in exactly one NUL: a doubled terminator
// shows on every value, a missing one on the empty "Prev SSTH3_GGAMMA" (Wine
// itself terminates the others when they are read).
const ValueTable kDriverD3DBefore = {
    {"SSTH3_OVERLAYMODE", "1"},
    {"Prev SSTH3_OVERLAYMODE", "2"},
    {"SSTH3_ALPHADITHERMODE", "2"},
    {"Prev SSTH3_ALPHADITHERMODE", "3"},
    {"SSTH3_SLI_AA_CONFIGURATION", "2"},
    {"Prev SSTH3_LOD_BIAS", "4"},
    {"SSTH3_MAX_PENDING_BUFFERS", "3"},
    {"SSTH3_Z_CLEAR_OPTIMIZATION", "0"},
    {"SSTH3_RGAMMA", "1.10"},
    {"SSTH3_BGAMMA", "1.20"},
    {"Prev SSTH3_SWAPINTERVAL", "0"},
    {"OtherDriverValue", "kept"},
};
const ValueTable kProfileD3D = {
    {"SSTH3_OVERLAYMODE", "3"},
    {"SSTH3_SLI_AA_CONFIGURATION", "3"},
    {"SSTH3_LOD_DITHER", "1"},
    {"SSTH3_LOD_BIAS", "-8"},
    {"SSTH3_MAX_PENDING_BUFFERS", "9"},
    {"SSTH3_RGAMMA", "1.60"},
    {"SSTH3_BGAMMA", "0.90"},
    {"SSTH3_SWAPINTERVAL", "1"},
};
const ValueTable kDriverD3DAfter = {
    {"SSTH3_OVERLAYMODE", "3"},                 // list: written,
    {"Prev SSTH3_OVERLAYMODE", "1"},            //   the older record overwritten
    {"SSTH3_ALPHADITHERMODE", "2"},             // list the profile lacks: untouched,
    {"Prev SSTH3_ALPHADITHERMODE", "3"},        //   and so is its record
    {"SSTH3_SLI_AA_CONFIGURATION", "3"},        // 2x FSAA of the 5500
    {"Prev SSTH3_SLI_AA_CONFIGURATION", "2"},
    {"SSTH3_LOD_DITHER", "1"},                  // list new to the driver: no record
    {"SSTH3_LOD_BIAS", "-8"},                   // new to the driver:
    {"Prev SSTH3_LOD_BIAS", "4"},               //   the older record stays
    {"SSTH3_MAX_PENDING_BUFFERS", "0"},         // 9 is no choice: the default's number
    {"Prev SSTH3_MAX_PENDING_BUFFERS", "3"},
    {"SSTH3_Z_CLEAR_OPTIMIZATION", "0"},
    {"SSTH3_RGAMMA", "1.60"},                   // gamma: recorded, written
    {"Prev SSTH3_RGAMMA", "1.10"},
    {"SSTH3_GGAMMA", "1.30"},                   // gamma the profile lacks: "1.30",
    {"Prev SSTH3_GGAMMA", ""},                  //   recorded as empty when absent
    {"SSTH3_BGAMMA", "0.90"},
    {"Prev SSTH3_BGAMMA", "1.20"},
    {"SSTH3_SWAPINTERVAL", "0"},                // switch on, whatever the profile's text;
                                                //   was off: its old record deleted
    {"OtherDriverValue", "kept"},
};

const ValueTable kDriverGlideBefore = {
    {"SSTH3_OVERLAYMODE", "2"},
    {"SSTH3_SLI_AA_CONFIGURATION", "4"},
    {"FX_GLIDE_LOD_BIAS", "0"},
    {"FX_GLIDE_SWAPPENDINGCOUNT", "1"},
    {"FX_GLIDE_BPP", "16"},
    {"FX_GL_16BPP_ZPRECISION", "1"},
    {"FX_GL_32BPP_ZPRECISION", "2"},
    {"FX_GL_HSR", "0"},
    {"FX_GLIDE_NO_SPLASH", "0"},
    {"SSTH3_RGAMMA", "1.30"},
    {"SSTH3_GGAMMA", "0.80"},
    {"SSTH3_BGAMMA", "1.50"},
    {"FX_GLIDE_SWAPINTERVAL", "1"},
};
const ValueTable kProfileGlide = {
    {"SSTH3_SLI_AA_CONFIGURATION", "3"},
    {"FX_GLIDE_LOD_BIAS", "2"},
    {"FX_GLIDE_SWAPPENDINGCOUNT", "3"},
    {"FX_GLIDE_ALLOC_COLOR", "3"},
    {"FX_GLIDE_BPP", "32"},
    {"FX_GL_16BPP_ZPRECISION", "0"},
    {"FX_GL_HSR", "2"},
    {"FX_GLIDE_NO_SPLASH", "1"},
    {"SSTH3_RGAMMA", "1.60"},
    {"SSTH3_GGAMMA", "2.00"},
    {"FX_GLIDE_TMU_MEMSIZE", ""},
};
const ValueTable kDriverGlideAfter = {
    {"SSTH3_OVERLAYMODE", "2"},                 // the D3D record is not the Glide one
    {"SSTH3_SLI_AA_CONFIGURATION", "3"},
    {"Prev SSTH3_SLI_AA_CONFIGURATION", "4"},
    {"FX_GLIDE_LOD_BIAS", "2"},
    {"Prev FX_GLIDE_LOD_BIAS", "0"},
    {"FX_GLIDE_SWAPPENDINGCOUNT", "3"},
    {"Prev FX_GLIDE_SWAPPENDINGCOUNT", "1"},
    {"FX_GLIDE_ALLOC_COLOR", "3"},
    {"FX_GLIDE_BPP", "32"},
    {"Prev FX_GLIDE_BPP", "16"},
    {"FX_GL_16BPP_ZPRECISION", "0"},
    {"Prev FX_GL_16BPP_ZPRECISION", "1"},
    {"FX_GL_32BPP_ZPRECISION", "2"},
    {"FX_GL_HSR", "2"},
    {"Prev FX_GL_HSR", "0"},
    {"Prev FX_GLIDE_NO_SPLASH", "0"},           // "Enable" shows the splash: value deleted
    {"SSTH3_RGAMMA", "1.60"},
    {"Prev SSTH3_RGAMMA", "1.30"},
    {"SSTH3_GGAMMA", "2.00"},
    {"Prev SSTH3_GGAMMA", "0.80"},
    {"SSTH3_BGAMMA", "1.30"},
    {"Prev SSTH3_BGAMMA", "1.50"},
    {"Prev FX_GLIDE_SWAPINTERVAL", "0"},        // switch off in the profile: deleted, recorded on
    {"FX_GLIDE_TMU_MEMSIZE", "2"},              // on with an empty text; was off: no record
};

class DriverCommandLineRunTest : public DriverRunTest,
                                 public ::testing::WithParamInterface<Layout> {};

TEST_P(DriverCommandLineRunTest, WritesTheProfileWithPreviousValuesAndStartsTheGame) {
  const std::string d3d = std::string(GetParam().driverKey) + "\\D3D";
  const std::string glide = std::string(GetParam().driverKey) + "\\Glide";
  PlantFixture(GetParam().fixture);
  WriteValueTable(HKEY_LOCAL_MACHINE, d3d, kDriverD3DBefore);
  WriteValueTable(HKEY_LOCAL_MACHINE, glide, kDriverGlideBefore);
  PlantLaunchData(kProfileName);
  WriteValueTable(HKEY_CURRENT_USER, ProfilePath(kProfileName) + "\\D3D", kProfileD3D);
  WriteValueTable(HKEY_CURRENT_USER, ProfilePath(kProfileName) + "\\Glide", kProfileGlide);

  RunToEnd(kProfileName);

  const std::optional<ValueTable> d3dAfter = ReadValueTable(HKEY_LOCAL_MACHINE, d3d);
  ASSERT_TRUE(d3dAfter.has_value()) << "driver D3D key gone";
  const std::string d3dDiff = DescribeDifferences(kDriverD3DAfter, *d3dAfter);
  EXPECT_TRUE(d3dDiff.empty()) << "driver D3D:\n" << d3dDiff;

  const std::optional<ValueTable> glideAfter = ReadValueTable(HKEY_LOCAL_MACHINE, glide);
  ASSERT_TRUE(glideAfter.has_value()) << "driver Glide key gone";
  const std::string glideDiff = DescribeDifferences(kDriverGlideAfter, *glideAfter);
  EXPECT_TRUE(glideDiff.empty()) << "driver Glide:\n" << glideDiff;

  const std::optional<GameRecord> record = WaitForGameRecord();
  ASSERT_TRUE(record.has_value()) << "the game never started";
  ExpectGameStartedFromTheProfile(*record);
}

// Opened as a double click opens it, a shortcut set to "Minimized" starts
// Tarnwick minimized, and the game with the same window state.
TEST_F(DriverRunTest, AShortcutSetToMinimizedStartsTheGameMinimized) {
  PlantFixture(kWin2000Voodoo5);
  PlantLaunchData(kProfileName);
  const std::string link = workFolder_ + "\\Quake III.lnk";
  LinkFields fields{TestOptions().tarnwickExe, QuoteArgument(kProfileName)};
  fields.showCommand = SW_SHOWMINNOACTIVE;
  ASSERT_TRUE(MakeShortcut(link, fields));
  ASSERT_TRUE(OpenShortcut(link)) << "the shortcut could not be opened";

  const std::optional<GameRecord> record = WaitForGameRecord();
  DeleteFileA(link.c_str());
  ASSERT_TRUE(record.has_value()) << "the game never started";
  ExpectGameStartedFromTheProfile(*record);
  EXPECT_EQ(record->fields.at("show"), std::to_string(SW_SHOWMINNOACTIVE));
}

INSTANTIATE_TEST_SUITE_P(, DriverCommandLineRunTest, ::testing::Values(kWindows98, kWindows2000),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DriverRunTest, DesktopModeIsSwitchedBeforeTheGameStarts) {
  DesktopModeGuard desktop;
  const ScreenMode before = CurrentScreenMode();
  // Any other size at the current depth will do; 800x600 unless that is current.
  const DWORD width = before.width == 800 ? 640 : 800;
  const DWORD height = before.width == 800 ? 480 : 600;
  const std::optional<DWORD> number = FindModeNumber(width, height, before.bitsPerPixel);
  ASSERT_TRUE(number.has_value()) << "no " << width << "x" << height << " mode at "
                                  << before.bitsPerPixel << " bits to switch to";

  PlantFixture(kWindows2000.fixture);
  PlantLaunchData(kProfileName);
  WriteValue(HKEY_CURRENT_USER, ProfilePath(kProfileName), "Desktop Mode", DwordValue(*number));
  const std::optional<ScreenMode> storedBefore = StoredScreenMode();

  {
    // Asks, at the moment of the switch, whether the game has been started.
    DisplayChangeWatch watch([this] { return GameStarted(); });
    ASSERT_TRUE(watch.Listening());
    RunToEnd(kProfileName);

    const std::vector<DisplayChangeWatch::Change> changes = watch.Changes();
    ASSERT_FALSE(changes.empty()) << "the display mode was never changed";
    EXPECT_EQ(changes.front().width, width);
    EXPECT_EQ(changes.front().height, height);
    EXPECT_FALSE(changes.front().probe) << "the game started before the display mode changed";
    EXPECT_EQ(changes.size(), 1u) << "the display mode changed again";
  }
  const ScreenMode after = CurrentScreenMode();
  EXPECT_TRUE(after.width == width && after.height == height)
      << "the desktop is " << after.width << "x" << after.height;
  // The game's mode is not stored: a crash during the game would boot into it.
  const std::optional<ScreenMode> storedAfter = StoredScreenMode();
  EXPECT_EQ(storedAfter.has_value(), storedBefore.has_value());
  if (storedAfter && storedBefore) {
    EXPECT_TRUE(storedAfter->width == storedBefore->width &&
                storedAfter->height == storedBefore->height)
        << "the display stores " << storedAfter->width << "x" << storedAfter->height;
  }

  const std::optional<GameRecord> record = WaitForGameRecord();
  ASSERT_TRUE(record.has_value()) << "the game never started";
  ExpectGameStartedFromTheProfile(*record);

  EXPECT_TRUE(desktop.Restore()) << "could not put the desktop back";
}

// The launch comes after the switch, from a posted message; the program ends
// only once its message about a failed launch has been read.
TEST_F(DriverRunTest, AFailedLaunchAfterADisplaySwitchIsReportedBeforeTheProgramEnds) {
  DesktopModeGuard desktop;
  const ScreenMode before = CurrentScreenMode();
  const DWORD width = before.width == 800 ? 640 : 800;
  const DWORD height = before.width == 800 ? 480 : 600;
  const std::optional<DWORD> number = FindModeNumber(width, height, before.bitsPerPixel);
  ASSERT_TRUE(number.has_value()) << "no " << width << "x" << height << " mode to switch to";

  PlantFixture(kWindows2000.fixture);
  PlantLaunchData(kProfileName);
  const std::string missing = workFolder_ + "\\no such game.exe";
  WriteValue(HKEY_CURRENT_USER, ProfilePath(kProfileName), "FilePath", StringValue(missing));
  WriteValue(HKEY_CURRENT_USER, ProfilePath(kProfileName), "Desktop Mode", DwordValue(*number));

  ChildProcess tarnwick = StartTarnwick(kProfileName);
  // One box, Tarnwick's own: the shell is told to show none of its own
  // ("Path not found.") first.
  HWND box = WaitForBoxOrEnd(tarnwick);
  ASSERT_NE(box, nullptr) << "the program ended without saying why";
  ASSERT_EQ(WindowText(box), kAppTitle) << "the shell showed its own box";
  EXPECT_EQ(MessageBoxText(box), "Could not start " + missing);
  EXPECT_TRUE(tarnwick.Running()) << "the program ended under its own message";
  ASSERT_TRUE(DismissMessageBox(box)) << "the message closed by itself";
  EXPECT_TRUE(tarnwick.WaitForExit(kRunTimeoutMs).has_value()) << "still running after OK";
  EXPECT_TRUE(desktop.Restore()) << "could not put the desktop back";
}

TEST_F(DriverRunTest, NameWithoutProfileFailsToStartAndCreatesNothing) {
  const std::string d3d = std::string(kWindows98.driverKey) + "\\D3D";
  const std::string glide = std::string(kWindows98.driverKey) + "\\Glide";
  PlantFixture(kWindows98.fixture);

  ChildProcess tarnwick = StartTarnwick("NoSuchGame");
  // An empty file must not reach the shell, which would first report it in a
  // box of its own (owned by the main window).
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = FindTopWindow(tarnwick.id(), kDialogClass);
        if (box != nullptr && WindowText(box) != kAppTitle) {
          ADD_FAILURE() << "the shell's box: \"" << WindowText(box) << "\": \""
                        << MessageBoxText(box) << "\"";
          DismissMessageBox(box);
          box = nullptr;
        }
        return box != nullptr || !tarnwick.Running();
      },
      kRunTimeoutMs);
  ASSERT_NE(box, nullptr) << "no message box captioned " << kAppTitle;
  EXPECT_EQ(MessageBoxText(box), "Could not start ");
  ASSERT_TRUE(DismissMessageBox(box));
  EXPECT_TRUE(tarnwick.WaitForExit(kRunTimeoutMs).has_value()) << "still running after OK";

  const std::string profile = ProfilePath("NoSuchGame");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, profile));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, profile + "\\D3D"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, profile + "\\Glide"));
  // Without profile groups the driver is not touched at all.
  EXPECT_EQ(ReadValueTable(HKEY_LOCAL_MACHINE, d3d), ValueTable{});
  EXPECT_EQ(ReadValueTable(HKEY_LOCAL_MACHINE, glide), ValueTable{});
}

// A wrong-typed value raises the store's error deep in the run; it must come
// up through every frame to the one report (the exe carries its own unwind
// record search and exception memory, platform/win32/unwind_records.cpp).
TEST_F(DriverRunTest, AnErrorRaisedDeepInARunComesUpToTheReport) {
  PlantFixture(kWindows98.fixture);
  WriteValue(HKEY_CURRENT_USER, ProfilePath("Broken"), "FilePath", DwordValue(5));

  ChildProcess tarnwick = StartTarnwick("Broken");
  HWND box = WaitForBoxOrEnd(tarnwick);
  ASSERT_NE(box, nullptr) << "the program ended without a report";
  EXPECT_EQ(WindowText(box), kAppTitle);
  EXPECT_EQ(MessageBoxText(box), "Invalid data type for 'FilePath'");
  ASSERT_TRUE(DismissMessageBox(box));
  EXPECT_TRUE(tarnwick.WaitForExit(kRunTimeoutMs).has_value()) << "still running after OK";
}

}  // namespace
}  // namespace e2e
