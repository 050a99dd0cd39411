// The installer and the uninstaller it writes, run as a scripted install
// runs them (/S, /D=): one pass through a machine's life with Tarnwick. A
// first install with every option, the program started from it, an install
// over it while it watches a game, the program killed during that watch, an
// uninstall that must put the driver and an adopted shortcut back, and the
// driver backup imported last, which must give back the driver keys exactly
// as before the install.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "harness/driver_game.h"
#include "harness/options.h"
#include "harness/process.h"
#include "harness/registry.h"
#include "harness/shell_link.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 60000;
// A blank in the folder, so the Run value must come quoted.
constexpr char kInstallDir[] = "C:\\Program Files\\Tarnwick Test";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwick";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRedGamma[] = "SSTH3_RGAMMA";
constexpr char kJournal[] = "Pending Restore";
constexpr int kRunPlace = 7;  // "Run" in the right-click menu, as the keyboard walks it

std::string InInstall(const std::string& file) { return std::string(kInstallDir) + "\\" + file; }

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
  return path;
}

// A key tree as "subkey path|value name" -> value, for comparing whole.
using Tree = std::map<std::string, Value>;
void ReadTree(HKEY root, const std::string& path, const std::string& below, Tree* tree) {
  Key key = OpenKey(root, path);
  if (!key) return;
  tree->emplace(below + "|", Value{});  // the key itself, also when empty
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (std::optional<Value> value = ReadValue(root, path, name)) {
      (*tree)[below + "|" + name] = *value;
    }
  }
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    ReadTree(root, path + "\\" + name, below + "\\" + name, tree);
  }
}

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TestOptions().setupExe.empty()) << "--setup= is needed";
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    // The uninstaller goes on from a copy of itself named Un.exe.
    for (const std::string& name :
         {FileName(TestOptions().setupExe), std::string("uninstall.exe"), std::string("Un.exe")}) {
      PinWindowsVersion(name, TestOptions().winVersion);
    }
    RemoveInstall();
    const bool win98 = TestOptions().winVersion == "win98";
    PlantFixture(win98 ? kWin98Voodoo5 : kWin2000Voodoo5);
    driver_ = win98 ? "System\\CurrentControlSet\\Services\\Class\\Display\\0000"
                    : "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";
    WriteValue(HKEY_LOCAL_MACHINE, driver_ + "\\D3D", kRedGamma, StringValue("1.10"));
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    recordPath_ = TempFolder() + "tarnwick-install-run.txt";
    backupCopy_ = TempFolder() + "tarnwick-driver-backup.reg";
    DeleteFileA(recordPath_.c_str());
  }
  void TearDown() override {
    KillProcessesNamed("tarnwick.exe");
    KillProcessesNamed(FileName(TestOptions().gameExe));
    RemoveInstall();
    ResetTarnwickState();
    DeleteFileA(recordPath_.c_str());
    DeleteFileA(backupCopy_.c_str());
  }

  // What an earlier run may have left, so every run starts from a clean machine.
  static void RemoveInstall() {
    for (const char* file : {"tarnwick.exe", "tarnwick-cli.exe", "README.TXT", "uninstall.exe",
                             "driver-backup.reg"}) {
      DeleteFileA(InInstall(file).c_str());
    }
    RemoveDirectoryA(kInstallDir);
    const std::string group = ShellFolder(CSIDL_PROGRAMS) + "\\Tarnwick";
    for (const char* link : {"Tarnwick.lnk", "Read me.lnk", "Uninstall Tarnwick.lnk"}) {
      DeleteFileA((group + "\\" + link).c_str());
    }
    RemoveDirectoryA(group.c_str());
    DeleteFileA((ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tarnwick.lnk").c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick");
  }

  Tree Driver() const {
    Tree tree;
    ReadTree(HKEY_LOCAL_MACHINE, driver_ + "\\D3D", "D3D", &tree);
    ReadTree(HKEY_LOCAL_MACHINE, driver_ + "\\Glide", "Glide", &tree);
    return tree;
  }
  std::optional<std::string> Gamma() const {
    return Text(HKEY_LOCAL_MACHINE, driver_ + "\\D3D", kRedGamma);
  }

  // Runs the installer silently into the test folder; its exit code.
  std::optional<DWORD> Install(const char* what) {
    const DWORD start = GetTickCount();
    ChildProcess setup = ChildProcess::Start(TestOptions().setupExe,
                                             std::string("/S /DESKTOP /STARTUP /D=") + kInstallDir);
    const std::optional<DWORD> code = setup.WaitForExit(kTimeoutMs);
    std::printf("%s: silent install took %lu ms\n", what, GetTickCount() - start);
    return code;
  }

  ChildProcess StartInstalled(HWND* main) {
    ChildProcess program = ChildProcess::Start(InInstall("tarnwick.exe"), "");
    *main = WaitForProgramWindow(program, kMainWindowClass);
    return program;
  }

  std::string driver_;
  std::string recordPath_;
  std::string backupCopy_;
};

TEST_F(InstallTest, InstallUpdateOverARunningCopyAndUninstallWithARestoreOwed) {
  const Tree before = Driver();
  ASSERT_EQ(Install("first install"), 0u);

  // The files, the shortcuts read back, the Add/Remove Programs entry, the Run value.
  for (const char* file : {"tarnwick.exe", "tarnwick-cli.exe", "README.TXT", "uninstall.exe",
                           "driver-backup.reg"}) {
    EXPECT_TRUE(Exists(InInstall(file))) << file;
  }
  const std::string group = ShellFolder(CSIDL_PROGRAMS) + "\\Tarnwick\\";
  EXPECT_EQ(ShortcutTarget(group + "Tarnwick.lnk"), InInstall("tarnwick.exe"));
  EXPECT_EQ(ShortcutTarget(group + "Read me.lnk"), InInstall("README.TXT"));
  EXPECT_EQ(ShortcutTarget(group + "Uninstall Tarnwick.lnk"), InInstall("uninstall.exe"));
  const std::string desktopLink = ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tarnwick.lnk";
  EXPECT_EQ(ShortcutTarget(desktopLink), InInstall("tarnwick.exe"));
  const std::pair<const char*, std::string> entry[] = {
      {"DisplayName", "Tarnwick"},
      {"Publisher", "Hexmoor"},
      {"UninstallString", "\"" + InInstall("uninstall.exe") + "\""},
      {"InstallLocation", kInstallDir},
      {"DisplayIcon", InInstall("tarnwick.exe") + ",0"}};
  for (const auto& [name, text] : entry) {
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, name), text) << name;
  }
  EXPECT_TRUE(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"), DwordValue(1));
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair"), DwordValue(1));
  const std::optional<Value> size = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
  ASSERT_TRUE(size && size->type == REG_DWORD);
  EXPECT_GT(*reinterpret_cast<const DWORD*>(size->bytes.data()), 100u);
  // As the tray's "Start at Windows startup" writes it: quoted, the path holds a blank.
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick"), "\"" + InInstall("tarnwick.exe") + "\"");
  ASSERT_TRUE(CopyFileA(InInstall("driver-backup.reg").c_str(), backupCopy_.c_str(), FALSE));

  // The installed program starts to the tray; a watched run begins.
  const std::string quake = std::string(kProgramKey) + "\\Quake III";
  WriteValue(HKEY_CURRENT_USER, quake, "FilePath", StringValue(TestOptions().gameExe));
  WriteValue(HKEY_CURRENT_USER, quake, "Parameters",
             StringValue(QuoteArgument("--record=" + recordPath_) + " --sleep=120000"));
  // Run in its own folder, as a game is: a folder a process works in
  // cannot be removed.
  const std::string game = TestOptions().gameExe;
  WriteValue(HKEY_CURRENT_USER, quake, "Directory", StringValue(game.substr(0, game.rfind('\\'))));
  WriteValue(HKEY_CURRENT_USER, quake, "Poll", DwordValue(1));
  WriteValue(HKEY_CURRENT_USER, quake + "\\D3D", kRedGamma, StringValue("1.60"));
  HWND main = nullptr;
  ChildProcess first = StartInstalled(&main);
  ASSERT_NE(main, nullptr) << "the installed program did not start";
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kTimeoutMs)) << "no tray icon";
  ASSERT_TRUE(ChooseFromTrayMenu(first, main, WM_RBUTTONUP, MenuKeys({kRunPlace, 1})));
  ASSERT_TRUE(WaitUntil([&] { return Exists(recordPath_); }, kTimeoutMs)) << "no game";
  ASSERT_TRUE(WaitUntil([&] { return Gamma() == "1.60"; }, kTimeoutMs));

  // An install over it closes it, replaces it and starts it again; the
  // watch and the profiles survive.
  ASSERT_EQ(Install("install over a running copy"), 0u);
  EXPECT_TRUE(first.WaitForExit(kTimeoutMs).has_value()) << "the running copy was not closed";
  HWND again = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (again = FindWindowA(kMainWindowClass, nullptr)) != nullptr; },
                        kTimeoutMs))
      << "not started again";
  DWORD againId = 0;
  GetWindowThreadProcessId(again, &againId);
  EXPECT_NE(againId, first.id());
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kProgramKey, kJournal).has_value());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, quake));
  EXPECT_EQ(Gamma(), "1.60");

  // The game's own desktop shortcut, adopted: the uninstall puts it back.
  const std::string gameLink = ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Quake Game.lnk";
  // Adopted only when it starts the game as the profile does.
  ASSERT_TRUE(MakeShortcut(gameLink, {game, Text(HKEY_CURRENT_USER, quake, "Parameters").value_or("")}));
  ASSERT_EQ(RunToExit(InInstall("tarnwick-cli.exe"), "adopt \"Quake III\""), DWORD{0});
  EXPECT_EQ(ShortcutTarget(gameLink), InInstall("tarnwick.exe"));

  // Killed during the watch: the restore is owed, and the uninstall pays it.
  KillProcessesNamed("tarnwick.exe");
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kProgramKey, kJournal).has_value());
  const DWORD start = GetTickCount();
  ChildProcess uninstall = ChildProcess::Start(InInstall("uninstall.exe"), "/S");
  ASSERT_TRUE(uninstall.WaitForExit(kTimeoutMs).has_value());
  // It goes on from a copy of itself; its entry goes last.
  EXPECT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
                                    !ProcessRunningNamed("Un.exe"); },
                        kTimeoutMs));
  std::printf("silent uninstall took %lu ms\n", GetTickCount() - start);

  EXPECT_EQ(Gamma(), "1.10");
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kProgramKey, kJournal).has_value());
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_FALSE(Exists(group));
  EXPECT_FALSE(Exists(desktopLink));
  EXPECT_EQ(ShortcutTarget(gameLink), game);
  DeleteFileA(gameLink.c_str());
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick").has_value());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, quake)) << "a silent uninstall keeps the profiles";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType"), DwordValue(5500));

  // The backup gives the driver keys back exactly, "Prev " values and all gone.
  EXPECT_NE(Driver(), before);
  ASSERT_EQ(RunToExit("C:\\windows\\regedit.exe", "/s " + QuoteArgument(backupCopy_)), 0u);
  EXPECT_EQ(Driver(), before);
}

}  // namespace
}  // namespace e2e
