// A game's own shortcuts adopted through tarnwick-cli, then used the way
// people use them: an all-users shortcut clicked by an account that has no
// such profile, and a shortcut held open by another program while it is
// put back. They are Start menu shortcuts: Wine's desktop process can crash
// when shortcuts on the desktop it shows are rewritten under it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "harness/driver_game.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/shell_link.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/wait.h"

namespace e2e {
namespace {

constexpr char kSharedRecords[] = "Software\\Hexmoor\\Tarnwick Shared Shortcuts";
constexpr char kDisplay[] = "System\\CurrentControlSet\\Services\\Class\\Display";

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

std::string Profile(const std::string& name) { return std::string(kProgramKey) + "\\" + name; }

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return "";
  return path;
}

std::string Describe(const std::string& file) {
  LinkFields f;
  if (!ReadShellLink(file, &f)) return "(no link)";
  return f.target + "|" + f.arguments + "|" + f.workingDirectory + "|" + f.iconFile + "|" +
         std::to_string(f.iconIndex);
}

bool StartsTarnwick(const std::string& file) {
  return lstrcmpiA(ShortcutTarget(file).c_str(), TestOptions().tarnwickExe.c_str()) == 0;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

class AdoptedLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    PlantFixture(kWin98Voodoo5);
    record_ = TempFolder() + "tarnwick-adopted-run.txt";
    DeleteFileA(record_.c_str());
  }
  void TearDown() override {
    if (!link_.empty()) DeleteFileA(link_.c_str());
    DeleteFileA(record_.c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, kSharedRecords);
    ResetTarnwickState();
  }

  // A game's link as its installer leaves it, and its profile.
  void MakeGameLink(const std::string& file, const std::string& profile,
                    const std::string& arguments) {
    link_ = file;
    const std::string game = TestOptions().gameExe;
    ASSERT_TRUE(MakeShortcut(file, {game, arguments, Folder(game)})) << file;
    WriteValue(HKEY_CURRENT_USER, Profile(profile), "FilePath", StringValue(game));
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
  }

  std::string record_;
  std::string link_;
};

// Another account has no profile of the adopted name: the click starts the
// game as the link did, with no card question and the driver untouched.
TEST_F(AdoptedLinksTest, AnAllUsersShortcutStillStartsItsGameWithoutTheAccountsSettings) {
  const std::string common = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  ASSERT_FALSE(common.empty());
  MakeGameLink(common + "\\Tarnwick Shared Game.lnk", "Shared Game",
               "--record=" + record_ + " --sleep=100");
  const std::string before = Describe(link_);
  ASSERT_EQ(RunToExit(CompanionExe(), "adopt \"Shared Game\""), DWORD{0});
  EXPECT_TRUE(StartsTarnwick(link_));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kSharedRecords) + "\\1"));
  DeleteTree(HKEY_CURRENT_USER, kProgramKey);
  const std::vector<std::string> driver = DumpTree(HKEY_LOCAL_MACHINE, kDisplay);

  SHELLEXECUTEINFOA click{};
  click.cbSize = sizeof click;
  click.fMask = SEE_MASK_FLAG_NO_UI;
  click.lpFile = link_.c_str();
  click.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExA(&click));
  std::optional<GameRecord> run;
  ASSERT_TRUE(WaitUntil([&] { return (run = ReadGameRecord(record_)).has_value(); },
                        kDefaultTimeoutMs));
  EXPECT_EQ(run->arguments, (std::vector<std::string>{"--record=" + record_, "--sleep=100"}));
  EXPECT_EQ(lstrcmpiA(run->fields["directory"].c_str(),
                      WithoutTrailingBackslash(Folder(TestOptions().gameExe)).c_str()),
            0)
      << run->fields["directory"];
  // It ends by itself: a card question would keep it waiting.
  EXPECT_TRUE(WaitUntil([] { return !ProcessRunningNamed("tarnwick.exe"); }, kDefaultTimeoutMs));
  EXPECT_EQ(DumpTree(HKEY_LOCAL_MACHINE, kDisplay), driver);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgramKey));

  // The uninstaller's part puts it back exactly, from the machine's record.
  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt --all-users"), DWORD{0});
  EXPECT_EQ(Describe(link_), before);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSharedRecords));
}

// Held open, shared with nobody, the link cannot be read: it is not taken
// for deleted, keeps its record, and goes back once free.
TEST_F(AdoptedLinksTest, AShortcutHeldOpenKeepsItsRecordAndGoesBackOnceFree) {
  MakeGameLink(SpecialFolder(CSIDL_PROGRAMS) + "\\Tarnwick Held Game.lnk", "Held", "");
  const std::string before = Describe(link_);
  ASSERT_EQ(RunToExit(CompanionExe(), "adopt Held"), DWORD{0});
  // Wine's menu builder reads a link written in the Start menu for a moment.
  HANDLE held = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(WaitUntil(
      [&] {
        held = CreateFileA(link_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return held != INVALID_HANDLE_VALUE;
      },
      kDefaultTimeoutMs));
  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt Held"), DWORD{1});
  CloseHandle(held);
  EXPECT_TRUE(StartsTarnwick(link_));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts"));

  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt --all"), DWORD{0});
  EXPECT_EQ(Describe(link_), before);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Held") + "\\Adopted Shortcuts"));

  // Deleted, it is gone for good: reported, and its record goes.
  ASSERT_EQ(RunToExit(CompanionExe(), "adopt Held"), DWORD{0});
  ASSERT_TRUE(DeleteFileA(link_.c_str()));
  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt Held"), DWORD{1});
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Held") + "\\Adopted Shortcuts"));
}

}  // namespace
}  // namespace e2e
