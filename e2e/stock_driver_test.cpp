// tarnwick.exe on the registry as the display driver's own setup leaves it
// (e2e/fixtures/*-3dfx-stock.reg): it starts to the tray, a watched run and
// its restore leave the driver's keys as they were, subkeys included, the
// live editor shows and writes the splash setting as the driver reads it,
// and export-driver with regedit gives both keys back byte for byte.
// Windows 98 and ME keep the 98 layout; XP the 2000 one. On 98/ME a card
// moved to another slot is found by its device node of this boot.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/driver_game.h"
#include "harness/editor_probe.h"
#include "harness/options.h"
#include "harness/process.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "shell/menu_ids.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = kDefaultTimeoutMs;
constexpr char kRegedit[] = "C:\\windows\\regedit.exe";
constexpr char kRecords[] = "Prev ";
constexpr char kProfile[] = "Stock Game";
constexpr int kRunMenu = 7;         // place of "Run" in the right-click menu
constexpr int kSplashDisable = 0;   // GComboBox10: "Disable", "Enable"
constexpr int kSplashEnable = 1;
constexpr char kDeviceNodes[] = "Config Manager\\Enum";
constexpr char kDisplayClass[] = "System\\CurrentControlSet\\Services\\Class\\Display\\";
constexpr char kVoodooDevice[] = "VEN_121A&DEV_0009&SUBSYS_0004121A&REV_01";

bool Nt() { return TestOptions().winVersion != "win98" && TestOptions().winVersion != "winme"; }

// A device node present this boot, as Windows 9x lists it: volatile keys,
// as everything below HKEY_DYN_DATA must be.
void PlantDeviceNode(const std::string& node, const std::string& hardwareKey) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const std::string path = std::string(kDeviceNodes) + "\\" + node;
  ASSERT_EQ(RegCreateKeyExA(HKEY_DYN_DATA, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS)
      << path;
  const LONG rc = RegSetValueExA(key, "HardWareKey", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(hardwareKey.c_str()),
                                 static_cast<DWORD>(hardwareKey.size() + 1));
  RegCloseKey(key);
  ASSERT_EQ(rc, ERROR_SUCCESS);
}

class StockDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    const bool nt = Nt();
    PlantFixture(nt ? "win2000-3dfx-stock.reg" : "win98-3dfx-stock.reg");
    driverKey_ = nt ? "System\\CurrentControlSet\\Services\\3dfxvs\\Device0"
                    : "System\\CurrentControlSet\\Services\\Class\\Display\\0001";
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    recordPath_ = TempFolder() + "tarnwick-stock-run.txt";
    exportPath_ = TempFolder() + "tarnwick-stock-driver.reg";
    DeleteFileA(recordPath_.c_str());
  }
  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().gameExe));
    DeleteTree(HKEY_DYN_DATA, kDeviceNodes);
    ResetTarnwickState();
    DeleteFileA(recordPath_.c_str());
    DeleteFileA(exportPath_.c_str());
  }

  std::string Group(const char* group) const { return driverKey_ + "\\" + group; }
  // Both driver groups whole; without the "Prev " records when `records` is false.
  std::vector<std::string> DriverKeys(bool records) const {
    std::vector<std::string> all;
    for (const char* group : {"D3D", "Glide"}) {
      const std::vector<std::string> tree =
          DumpTree(HKEY_LOCAL_MACHINE, Group(group), records ? nullptr : kRecords);
      all.insert(all.end(), tree.begin(), tree.end());
    }
    return all;
  }
  std::optional<std::string> Splash() const {
    return Text(HKEY_LOCAL_MACHINE, Group("Glide"), "FX_GLIDE_NO_SPLASH");
  }

  // A profile that changes lists the driver has and lacks, a gamma, a switch
  // and the splash, and runs the stand-in game for a moment.
  void PlantProfile() {
    const std::string key = std::string(kProgramKey) + "\\" + kProfile;
    WriteValue(HKEY_CURRENT_USER, key, "FilePath", StringValue(TestOptions().gameExe));
    WriteValue(HKEY_CURRENT_USER, key, "Parameters",
               StringValue(QuoteArgument("--record=" + recordPath_) + " --sleep=3000"));
    WriteValue(HKEY_CURRENT_USER, key, "Poll", DwordValue(1));
    const std::pair<const char*, const char*> d3d[] = {
        {"SSTH3_LOD_BIAS", "8"}, {"SSTH3_SLI_AA_CONFIGURATION", "4"}, {"SSTH3_RGAMMA", "1.60"}};
    for (const auto& v : d3d) WriteValue(HKEY_CURRENT_USER, key + "\\D3D", v.first, StringValue(v.second));
    const std::pair<const char*, const char*> glide[] = {{"FX_GLIDE_NO_SPLASH", "0"},
                                                         {"FX_GLIDE_LOD_DITHER", "1"},
                                                         {"FX_GLIDE_TMU_MEMSIZE", ""},
                                                         {"SSTH3_BGAMMA", "0.90"}};
    for (const auto& v : glide) {
      WriteValue(HKEY_CURRENT_USER, key + "\\Glide", v.first, StringValue(v.second));
    }
  }

  void StartToTray() {
    tarnwick_ = StartTarnwick();
    ASSERT_TRUE(tarnwick_.WaitForIdle(kTimeoutMs)) << "start-up did not finish";
    main_ = FindTopWindow(tarnwick_.id(), kMainWindowClass);
    ASSERT_NE(main_, nullptr) << "not running: no card found?";
    EXPECT_EQ(FindTopWindow(tarnwick_.id(), kDialogClass), nullptr) << "unexpected message box";
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }, kTimeoutMs)) << "no tray icon";
  }

  // The live editor: the splash box shows `shown`, then `chosen` is written.
  void SetSplashLive(int shown, int chosen) {
    ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kCurrentsettings1));
    HWND editor = nullptr;
    // Shown only once its controls are filled.
    WaitUntil([&] {
      editor = FindTopWindow(tarnwick_.id(), kEditorClass);
      return editor != nullptr && IsWindowVisible(editor);
    }, kTimeoutMs);
    ASSERT_NE(editor, nullptr) << "the live editor did not open";
    EXPECT_EQ(SelectedEntry(editor, "GComboBox10"), shown);
    ASSERT_TRUE(SelectEntry(editor, "GComboBox10", chosen));
    ASSERT_TRUE(PostClick(editor, "Button5"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, kTimeoutMs));
  }

  std::string driverKey_;
  std::string recordPath_;
  std::string exportPath_;
  ChildProcess tarnwick_;
  HWND main_ = nullptr;
};

TEST_F(StockDriverTest, RunsRestoresShowsTheSplashAndExportsAsTheDriverHasIt) {
  PlantProfile();
  const std::vector<std::string> fresh = DriverKeys(false);
  ASSERT_FALSE(Splash().has_value());
  ASSERT_NO_FATAL_FAILURE(StartToTray());

  // A watched run from the tray: the game's values while it runs, and the
  // driver as it was once it has ended; the description subkeys throughout.
  ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({kRunMenu, 1})));
  ASSERT_TRUE(WaitUntil([&] { return ReadGameRecord(recordPath_).has_value(); }, kTimeoutMs))
      << "the game never started";
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, Group("D3D"), "SSTH3_LOD_BIAS"), "8");
  EXPECT_EQ(Splash(), "1");
  EXPECT_TRUE(WaitUntil([&] { return DriverKeys(false) == fresh; }, 3 * kTimeoutMs))
      << "the restore did not give back the driver as it was";
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, Group("Glide"), "Prev SSTH3_BGAMMA"), "0.90");

  // The splash as the driver reads it: absent shows it, any text hides it.
  ASSERT_NO_FATAL_FAILURE(SetSplashLive(kSplashEnable, kSplashDisable));
  EXPECT_EQ(Splash(), "1");
  ASSERT_NO_FATAL_FAILURE(SetSplashLive(kSplashDisable, kSplashEnable));
  EXPECT_FALSE(Splash().has_value());
  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kClose1));
  EXPECT_TRUE(tarnwick_.WaitForExit(kTimeoutMs).has_value()) << "still running after Exit";

  // export-driver, some changes, and regedit gives back both keys exactly.
  const std::vector<std::string> exported = DriverKeys(true);
  ASSERT_EQ(RunToExit(CompanionExe(), "export-driver " + QuoteArgument(exportPath_)), DWORD{0});
  WriteValue(HKEY_LOCAL_MACHINE, Group("Glide"), "FX_GLIDE_NO_SPLASH", StringValue("1"));
  DeleteTree(HKEY_LOCAL_MACHINE, Group("Glide") + "\\Glide Splash Screen");
  DeleteValue(HKEY_LOCAL_MACHINE, Group("Glide"), "FX_GLIDE_V3FIFO");
  ASSERT_EQ(RunToExit(kRegedit, "/S " + QuoteArgument(exportPath_)), DWORD{0});
  EXPECT_EQ(DriverKeys(true), exported);
}

// Windows 98/ME after the board moved to another slot: its old PCI instance
// stays bound to 0001, which comes first; the new one, bound to 0002, is the
// device node present this boot. Tarnwick starts to the tray, and a run
// writes the live key alone.
TEST_F(StockDriverTest, AMovedCardRunsOnTheLiveAdapterKey) {
  if (Nt()) GTEST_SKIP() << "the Windows 98/ME layout only";
  const std::string stale = driverKey_;
  driverKey_ = std::string(kDisplayClass) + "0002";
  WriteValue(HKEY_LOCAL_MACHINE, driverKey_, "DriverDesc", StringValue("3dfx Voodoo Series"));
  WriteValue(HKEY_LOCAL_MACHINE, Group("D3D"), "SSTH3_LOD_BIAS", StringValue("0"));
  WriteValue(HKEY_LOCAL_MACHINE, Group("Glide"), "FX_GLIDE_BPP", StringValue("16"));
  const std::string instance = std::string(kVoodooDevice) + "\\BUS_02&DEV_00&FUNC_00";
  WriteValue(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + instance, "Driver", StringValue("Display\\0002"));
  ASSERT_NO_FATAL_FAILURE(PlantDeviceNode(
      "C29A3B00", "PCI\\VEN_8086&DEV_7121&SUBSYS_00000000&REV_03\\BUS_00&DEV_01&FUNC_00"));
  ASSERT_NO_FATAL_FAILURE(PlantDeviceNode("C29A3B01", "PCI\\" + instance));
  PlantProfile();
  const std::vector<std::string> staleKey = DumpTree(HKEY_LOCAL_MACHINE, stale);
  const std::vector<std::string> fresh = DriverKeys(false);

  ASSERT_NO_FATAL_FAILURE(StartToTray());
  ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({kRunMenu, 1})));
  ASSERT_TRUE(WaitUntil([&] { return ReadGameRecord(recordPath_).has_value(); }, kTimeoutMs))
      << "the game never started";
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, Group("D3D"), "SSTH3_LOD_BIAS"), "8");
  EXPECT_TRUE(WaitUntil([&] { return DriverKeys(false) == fresh; }, 3 * kTimeoutMs))
      << "the restore did not give back the live key as it was";
  EXPECT_EQ(DumpTree(HKEY_LOCAL_MACHINE, stale), staleKey) << "the stale key was written";
  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kClose1));
  EXPECT_TRUE(tarnwick_.WaitForExit(kTimeoutMs).has_value()) << "still running after Exit";
}

}  // namespace
}  // namespace e2e
