// Code page 932 (LANG=ja_JP.UTF-8 for Wine): a profile "表示テスト" whose game
// lies in C:\ゲーム\ソフト表 (表 and ソ end in the byte of '\'), through every
// way in. Shift-JIS bytes as escapes: MinGW reads UTF-8 sources.
#include <gtest/gtest.h>

#include "harness/driver_game.h"
#include "harness/editor_probe.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/shell_link.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {
namespace {

const std::string kName = "\x95\x5c\x8e\xa6\x83\x65\x83\x58\x83\x67";  // 表示テスト
const std::string kOther = "\x83\x5c\x83\x74\x83\x67\x95\x5c";         // ソフト表
const std::string kFolder = "C:\\\x83\x51\x81\x5b\x83\x80";           // C:\ゲーム
const std::string kGameFolder = kFolder + "\\" + kOther;               // ...\ソフト表
constexpr char kRedGamma[] = "SSTH3_RGAMMA";

std::string Profile(const std::string& name) { return std::string(kProgramKey) + "\\" + name; }

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8";
    ResetTarnwickState();
    const bool win98 = TestOptions().winVersion == "win98";
    PlantFixture(win98 ? kWin98Voodoo5 : kWin2000Voodoo5);
    d3d_ = win98 ? "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\D3D"
                 : "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\D3D";
    for (const std::string& dir : {kFolder, kGameFolder}) CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(TestOptions().gameExe.c_str(), game_.c_str(), FALSE));
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    WriteValue(HKEY_CURRENT_USER, Profile(kName), "FilePath", StringValue(game_));
    WriteValue(HKEY_CURRENT_USER, Profile(kName), "Parameters", StringValue(parameters_));
    WriteValue(HKEY_CURRENT_USER, Profile(kName), "Directory", StringValue(kGameFolder + "\\"));
    WriteValue(HKEY_CURRENT_USER, Profile(kName) + "\\D3D", kRedGamma, StringValue("1.60"));
    WriteValue(HKEY_LOCAL_MACHINE, d3d_, kRedGamma, StringValue("1.10"));
  }
  void TearDown() override {
    KillProcessesNamed("game.exe");
    ResetTarnwickState();
    for (const std::string& file : {record_, game_}) DeleteFileA(file.c_str());
    for (const std::string& folder : {kGameFolder, kFolder}) RemoveDirectoryA(folder.c_str());
  }

  // The game ran in its own folder, and with the profile's gamma.
  void ExpectGameRan() {
    std::optional<GameRecord> run;
    ASSERT_TRUE(WaitUntil([&] { return (run = ReadGameRecord(record_)).has_value(); }));
    EXPECT_EQ(run->fields["directory"], kGameFolder);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, d3d_, kRedGamma), "1.60");
    DeleteFileA(record_.c_str());
  }

  std::string d3d_;
  std::string game_ = kGameFolder + "\\game.exe";
  std::string record_ = TempFolder() + "tarnwick-codepage.txt";
  std::string parameters_ = QuoteArgument("--record=" + record_) + " --sleep=3000";
};

TEST_F(CodePageTest, TrayRunEditorShortcutAndCommandLineRun) {
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Reload settings", DwordValue(1));
  ChildProcess tarnwick = StartTarnwick();
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs));
  HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
  ASSERT_TRUE(ChooseFromTrayMenu(tarnwick, main, WM_RBUTTONUP, MenuKeys({7, 1})));  // Run
  ExpectGameRan();
  EXPECT_TRUE(WaitUntil([&] { return Text(HKEY_LOCAL_MACHINE, d3d_, kRedGamma) == "1.10"; }));

  const std::string link = DesktopFolder() + "\\" + kName + ".lnk";
  ASSERT_TRUE(ChooseFromTrayMenu(tarnwick, main, WM_RBUTTONUP, MenuKeys({6, 1})));  // Config
  HWND editor = WaitForTopWindow(tarnwick.id(), kEditorClass, std::nullopt, kDefaultTimeoutMs);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor) != FALSE; }));
  ASSERT_TRUE(PostClick(editor, "Button7"));
  HWND confirm = WaitForTopWindow(tarnwick.id(), kDialogClass, "Confirm", kDefaultTimeoutMs);
  ASSERT_TRUE(ClickButton(GetDlgItem(confirm, IDYES))) << "no question";  // "はい"
  LinkFields fields;
  EXPECT_TRUE(WaitUntil([&] { return ReadShellLink(link, &fields); })) << link;
  EXPECT_EQ(fields.arguments, "\"" + kName + "\"");
  DeleteFileA(link.c_str());
  tarnwick.Terminate();

  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Reload settings", DwordValue(0));
  ChildProcess direct = StartTarnwick(kName);
  EXPECT_TRUE(direct.WaitForExit(kDefaultTimeoutMs).has_value());
  ExpectGameRan();
}

TEST_F(CodePageTest, CompanionShowsExportsImportsAndAdopts) {
  EXPECT_EQ(RunToExit(CompanionExe(), "show " + kName), DWORD{0});
  const std::string file = TempFolder() + "tarnwick-codepage.reg";
  ASSERT_EQ(RunToExit(CompanionExe(), "export " + QuoteArgument(file) + " " + kName), DWORD{0});
  ASSERT_EQ(RunToExit(CompanionExe(), "import " + QuoteArgument(file) + " --as " + kOther),
            DWORD{0});
  EXPECT_EQ(Text(HKEY_CURRENT_USER, Profile(kOther), "FilePath"), game_);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, Profile(kOther) + "\\D3D", kRedGamma), "1.60");
  DeleteFileA(file.c_str());

  const std::string link = DesktopFolder() + "\\" + kOther + ".lnk";
  ASSERT_TRUE(MakeShortcut(link, {game_, parameters_}));
  EXPECT_EQ(RunToExit(CompanionExe(), "adopt " + kName), DWORD{0});
  LinkFields fields;
  ASSERT_TRUE(ReadShellLink(link, &fields));
  EXPECT_EQ(lstrcmpiA(fields.target.c_str(), TestOptions().tarnwickExe.c_str()), 0);
  DeleteFileA(link.c_str());
}

}  // namespace
}  // namespace e2e
