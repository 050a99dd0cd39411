// The installer and the uninstaller it writes, run as a scripted install
// runs them (/S, /D=): one pass through a machine's life with Tarnwick. A
// first install with every option into a folder named with "\xFC", the
// program started from it, an adopted game shortcut and one of the editor's,
// an upgrade into another folder while it watches a game, the program killed
// during that watch, an uninstall that must put the driver and the adopted
// shortcut back and keep the driver backup, and that backup imported last,
// which must give back the driver keys exactly as before the install.
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
// Blanks in both folders, so the Run value must come quoted. The first is
// ANSI, as a German user names it: tarnwick-cli must not take the installer's
// arguments for OEM text.
constexpr char kFirstDir[] = "C:\\Werkzeuge f\xFCr Voodoo";
constexpr char kInstallDir[] = "C:\\Program Files\\Tarnwick Test";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwick";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRedGamma[] = "SSTH3_RGAMMA";
constexpr char kJournal[] = "Pending Restore";
constexpr int kRunPlace = 7;  // "Run" in the right-click menu, as the keyboard walks it

std::string InInstall(const std::string& file) { return std::string(kInstallDir) + "\\" + file; }
std::string InFirst(const std::string& file) { return std::string(kFirstDir) + "\\" + file; }
constexpr const char* kInstalledFiles[] = {"tarnwick.exe", "tarnwick-cli.exe", "README.TXT",
                                           "uninstall.exe", "driver-backup.reg"};

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
  return path;
}

// Setup installs for all users on 2000/XP, for the user on 98.
bool ForAllUsers() { return TestOptions().winVersion != "win98"; }
std::string StartMenuGroup() {
  return ShellFolder(ForAllUsers() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\Tarnwick";
}
std::string InstallerDesktopLink() {
  return ShellFolder(ForAllUsers() ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY) +
         "\\Tarnwick.lnk";
}
// Where the uninstall keeps the driver backup.
std::string KeptBackup() { return ShellFolder(CSIDL_PERSONAL) + "\\Tarnwick driver backup.reg"; }

std::string FileBytes(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
    std::fclose(file);
  }
  return bytes;
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
    DeleteFileA(recordPath_.c_str());
  }
  void TearDown() override {
    KillProcessesNamed("tarnwick.exe");
    KillProcessesNamed(FileName(TestOptions().gameExe));
    RemoveInstall();
    ResetTarnwickState();
    DeleteFileA(recordPath_.c_str());
  }

  // What an earlier run may have left, so every run starts from a clean machine.
  static void RemoveInstall() {
    for (const char* file : kInstalledFiles) {
      DeleteFileA(InInstall(file).c_str());
      DeleteFileA(InFirst(file).c_str());
    }
    RemoveDirectoryA(kInstallDir);
    RemoveDirectoryA(kFirstDir);
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
      const std::string group = ShellFolder(csidl) + "\\Tarnwick";
      for (const char* link : {"Tarnwick.lnk", "Read me.lnk", "Uninstall Tarnwick.lnk"}) {
        DeleteFileA((group + "\\" + link).c_str());
      }
      RemoveDirectoryA(group.c_str());
    }
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PROGRAMS}) {
      for (const char* link : {"\\Tarnwick.lnk", "\\Quake III.lnk", "\\Quake Game.lnk"}) {
        DeleteFileA((ShellFolder(csidl) + link).c_str());
      }
    }
    DeleteFileA(KeptBackup().c_str());
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

  // Runs the installer silently into `folder`; its exit code.
  std::optional<DWORD> Install(const char* what, const char* options, const char* folder) {
    const DWORD start = GetTickCount();
    ChildProcess setup =
        ChildProcess::Start(TestOptions().setupExe, std::string(options) + " /D=" + folder);
    const std::optional<DWORD> code = setup.WaitForExit(kTimeoutMs);
    std::printf("%s: silent install took %lu ms\n", what, GetTickCount() - start);
    return code;
  }

  ChildProcess StartInstalled(const std::string& exe, HWND* main) {
    ChildProcess program = ChildProcess::Start(exe, "");
    *main = WaitForProgramWindow(program, kMainWindowClass);
    return program;
  }

  std::string driver_;
  std::string recordPath_;
};

TEST_F(InstallTest, InstallMoveOverARunningCopyAndUninstallWithARestoreOwed) {
  const Tree before = Driver();
  ASSERT_EQ(Install("first install", "/S /DESKTOP /STARTUP", kFirstDir), 0u);

  // The files with the driver backup, the shortcuts read back, the
  // Add/Remove Programs entry, the Run value.
  for (const char* file : kInstalledFiles) EXPECT_TRUE(Exists(InFirst(file))) << file;
  const std::string group = StartMenuGroup() + "\\";
  EXPECT_EQ(ShortcutTarget(group + "Tarnwick.lnk"), InFirst("tarnwick.exe"));
  EXPECT_EQ(ShortcutTarget(group + "Read me.lnk"), InFirst("README.TXT"));
  EXPECT_EQ(ShortcutTarget(group + "Uninstall Tarnwick.lnk"), InFirst("uninstall.exe"));
  EXPECT_EQ(ShortcutTarget(InstallerDesktopLink()), InFirst("tarnwick.exe"));
  const std::pair<const char*, std::string> entry[] = {
      {"DisplayName", "Tarnwick"},
      {"Publisher", "Hexmoor"},
      {"UninstallString", "\"" + InFirst("uninstall.exe") + "\""},
      {"InstallLocation", kFirstDir},
      {"DisplayIcon", InFirst("tarnwick.exe") + ",0"},
      {"ShellContext", ForAllUsers() ? "all" : "current"}};
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
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick"), "\"" + InFirst("tarnwick.exe") + "\"");
  const std::string backup = FileBytes(InFirst("driver-backup.reg"));
  ASSERT_NE(backup.find("[-HKEY_LOCAL_MACHINE\\"), std::string::npos);

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
  ChildProcess first = StartInstalled(InFirst("tarnwick.exe"), &main);
  ASSERT_NE(main, nullptr) << "the installed program did not start";
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kTimeoutMs)) << "no tray icon";
  ASSERT_TRUE(ChooseFromTrayMenu(first, main, WM_RBUTTONUP, MenuKeys({kRunPlace, 1})));
  ASSERT_TRUE(WaitUntil([&] { return Exists(recordPath_); }, kTimeoutMs)) << "no game";
  ASSERT_TRUE(WaitUntil([&] { return Gamma() == "1.60"; }, kTimeoutMs));

  // The game's own Start menu shortcut, adopted, and the editor's desktop
  // "Shortcut". (Wine's desktop window was seen to crash when a desktop
  // link is rewritten under it on XP, and a Tarnwick cannot close then.)
  const std::string desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
  const std::string gameLink = ShellFolder(CSIDL_PROGRAMS) + "\\Quake Game.lnk";
  // Adopted only when it starts the game as the profile does.
  ASSERT_TRUE(MakeShortcut(gameLink, {game, Text(HKEY_CURRENT_USER, quake, "Parameters").value_or("")}));
  ASSERT_EQ(RunToExit(InFirst("tarnwick-cli.exe"), "adopt \"Quake III\""), DWORD{0});
  EXPECT_EQ(ShortcutTarget(gameLink), InFirst("tarnwick.exe"));
  const std::string editorLink = desktop + "\\Quake III.lnk";
  ASSERT_TRUE(MakeShortcut(editorLink, {InFirst("tarnwick.exe"), "\"Quake III\"",
                                        InFirst(""), game, 0}));

  // An upgrade into another folder, without the options: it closes the
  // running copy, moves everything to the new folder and starts it again;
  // the watch and the profiles survive, the old folder goes.
  ASSERT_EQ(Install("upgrade into another folder", "/S", kInstallDir), 0u);
  EXPECT_TRUE(first.WaitForExit(kTimeoutMs).has_value()) << "the running copy was not closed";
  HWND again = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (again = FindWindowA(kMainWindowClass, nullptr)) != nullptr; },
                        kTimeoutMs))
      << "not started again";
  DWORD againId = 0;
  GetWindowThreadProcessId(again, &againId);
  EXPECT_NE(againId, first.id());
  EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, kProgramKey, kJournal).has_value());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, quake));
  EXPECT_EQ(Gamma(), "1.60");
  EXPECT_FALSE(Exists(kFirstDir)) << "the old folder was left";
  for (const char* file : kInstalledFiles) EXPECT_TRUE(Exists(InInstall(file))) << file;
  EXPECT_EQ(FileBytes(InInstall("driver-backup.reg")), backup);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), kInstallDir);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick"), "\"" + InInstall("tarnwick.exe") + "\"");
  for (const std::string& link : {gameLink, editorLink, InstallerDesktopLink(),
                                  group + "Tarnwick.lnk"}) {
    EXPECT_EQ(ShortcutTarget(link), InInstall("tarnwick.exe")) << link;
  }

  // Killed during the watch: the restore is owed, and the uninstall pays it.
  KillProcessesNamed("tarnwick.exe");
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, kProgramKey, kJournal).has_value());
  const DWORD start = GetTickCount();
  ChildProcess uninstall = ChildProcess::Start(InInstall("uninstall.exe"), "/S");
  ASSERT_TRUE(uninstall.WaitForExit(kTimeoutMs).has_value());
  // It goes on from a copy of itself; its entry goes last.
  EXPECT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
                                    !ProcessRunningNamed("Un.exe"); },
                        kTimeoutMs));
  std::printf("silent uninstall took %lu ms\n", GetTickCount() - start);

  EXPECT_EQ(Gamma(), "1.10");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProgramKey)) << "the machine's record was left";
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_FALSE(Exists(group));
  EXPECT_FALSE(Exists(InstallerDesktopLink()));
  EXPECT_FALSE(Exists(editorLink)) << "the editor's shortcut was left";
  EXPECT_EQ(ShortcutTarget(gameLink), game);
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick").has_value());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, quake)) << "a silent uninstall keeps the profiles";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType"), DwordValue(5500));

  // The backup is kept, and gives the driver keys back exactly, "Prev "
  // values and all gone.
  ASSERT_EQ(FileBytes(KeptBackup()), backup);
  EXPECT_NE(Driver(), before);
  ASSERT_EQ(RunToExit("C:\\windows\\regedit.exe", "/s " + QuoteArgument(KeptBackup())), 0u);
  EXPECT_EQ(Driver(), before);
}

}  // namespace
}  // namespace e2e
