// The process list on the system's own calls: a program started the way the
// launcher starts one has an id, the snapshot shows it with its full path,
// and the game it hands over to shows up as its child, from the same folder.
// Run with the Windows version pinned (Toolhelp differs between 9x and NT:
// only NT leaves the path out of the process entry).
//
// Also the tray icon record against a shell that times out on the add.
//
//   processes_check.exe GAME.exe
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/process_watch.h"
#include "harness/options.h"
#include "platform/win32/processes_win32.h"
#include "shell/win32/tray_icon.h"

namespace tw {
namespace {

std::string g_game;

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Polls the snapshot for a child of `parent` (25 ms steps, 10 s at most).
bool FindChild(Win32Processes& processes, uint32_t parent, ProcessEntry* child) {
  for (int i = 0; i < 400; ++i) {
    std::vector<ProcessEntry> list;
    if (processes.Snapshot(&list)) {
      for (const ProcessEntry& entry : list) {
        if (entry.parentId == parent) {
          *child = entry;
          return true;
        }
      }
    }
    Sleep(25);
  }
  return false;
}

TEST(Processes, ALaunchedLauncherAndTheGameItStartsAreFoundWithTheirPaths) {
  Win32Processes processes;
  const std::string game = processes.FullPath(g_game);
  ProcessHandle launcher = 0;
  ASSERT_TRUE(processes.Launch(LaunchRequest{g_game, "--hand-over --sleep=3000", ""}, &launcher));
  ASSERT_NE(launcher, 0u);
  const uint32_t launcherId = processes.IdOf(launcher);
  ASSERT_NE(launcherId, 0u) << "no id for the launched process";

  ProcessEntry child;
  ASSERT_TRUE(FindChild(processes, launcherId, &child)) << "the handed-over game was not seen";
  EXPECT_TRUE(SamePath(child.path, game)) << child.path << " vs " << game;
  EXPECT_TRUE(IsInFolder(child.path, FolderOf(game)));

  const ProcessHandle opened = processes.Open(child.id);
  ASSERT_NE(opened, 0u);
  EXPECT_EQ(processes.IdOf(opened), child.id);
  uint32_t code = 0;
  ASSERT_TRUE(processes.ExitCode(opened, &code));
  EXPECT_EQ(code, kStillActive);
  TerminateProcess(reinterpret_cast<HANDLE>(opened), 0);
  WaitForSingleObject(reinterpret_cast<HANDLE>(opened), 5000);
  processes.Close(opened);
  WaitForSingleObject(reinterpret_cast<HANDLE>(launcher), 5000);
  processes.Close(launcher);
}

// The hand-over through each way of finding the launched process's id, the
// older ones forced (Wine has GetProcessId even as Windows 98). The game
// ends with 259, STILL_ACTIVE's own number, which must still count as ended.
TEST(Processes, EachIdRouteFollowsALauncherToItsGameUntilTheGameEnds) {
  for (ProcessIdRoute route :
       {ProcessIdRoute::System, ProcessIdRoute::NtQuery, ProcessIdRoute::ProcessLists}) {
    SCOPED_TRACE(static_cast<int>(route));
    Win32Processes processes;
    processes.ForceIdRoute(route);
    const std::string game = processes.FullPath(g_game);
    ProcessHandle launcher = 0;
    ASSERT_TRUE(processes.Launch(
        LaunchRequest{g_game, "--hand-over --sleep=1500 --exit=259", ""}, &launcher));
    ASSERT_NE(launcher, 0u);
    EXPECT_NE(processes.IdOf(launcher), 0u) << "no id for the launched process";

    ProcessWatch watch(processes);
    watch.Start(launcher, game, FolderOf(game));
    bool followed = false;
    bool running = true;
    for (int i = 0; running && i < 400; ++i) {
      bool changed = false;
      running = watch.Check(&changed);
      followed = followed || (changed && running);
      Sleep(25);
    }
    EXPECT_TRUE(followed) << "the watch never passed to the game";
    EXPECT_FALSE(running) << "the game's end was not seen";
    watch.Stop();
    processes.Close(launcher);
  }
}

// A shell busy at logon times out on NIM_ADD and shows the icon anyway.
std::vector<DWORD> g_notified;
BOOL WINAPI BusyShell(DWORD message, PNOTIFYICONDATAA) {
  g_notified.push_back(message);
  return message != NIM_ADD;
}

TEST(TrayIcon, AnAddThatTimesOutStillTakesTheTipAndIsDeletedAtExit) {
  {
    TrayIcon icon(BusyShell);
    EXPECT_TRUE(icon.Add(GetDesktopWindow(), nullptr, WM_APP));
    EXPECT_TRUE(icon.SetTip("Tarnwick - Quake III"));
  }
  EXPECT_EQ(g_notified, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_DELETE}));
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  tw::g_game = e2e::ToWindowsPath(argv[1]);
  return RUN_ALL_TESTS();
}
