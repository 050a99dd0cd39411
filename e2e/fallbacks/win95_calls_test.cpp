// The run-time look-ups of calls Windows 95 lacks, each fallback forced, on
// the system's own files and windows: it must give what the system's function
// gives.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win95_calls.h"

namespace tw {
namespace {

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

TEST(Win95Calls, LongPathNameByPartsGivesWhatTheSystemGives) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  const std::string folder = LongPathName(temp) + "Tarnwick Long Folder Name";
  const std::string file = folder + "\\Some Game Program.exe";
  CreateDirectoryA(folder.c_str(), nullptr);
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
  const std::string shortFile = ShortPath(file);
  ASSERT_NE(shortFile, file) << "the system made no short name";
  const std::string shortFolder = Parent(shortFile);

  const struct {
    std::string path, expected;
  } cases[] = {
      {file, file},
      {shortFile, file},
      {shortFolder + "\\Some Game Program.exe", file},
      {folder + "\\" + shortFile.substr(shortFile.rfind('\\') + 1), file},
      {shortFolder + "\\", folder + "\\"},
      {shortFolder + "\\.\\" + shortFile.substr(shortFile.rfind('\\') + 1), folder + "\\.\\Some Game Program.exe"},
      {file.substr(0, 3), file.substr(0, 3)},  // the drive's root
      {folder + "\\Missing.exe", ""},
      {shortFolder + "\\Missing\\x.exe", ""},
      {folder + "\\*.exe", ""},
  };
  for (const auto& c : cases) {
    const std::string system = LongPathName(c.path, CallRoute::System);
    const std::string fallback = LongPathName(c.path, CallRoute::Fallback);
    EXPECT_EQ(fallback, c.expected) << c.path;
    EXPECT_EQ(lstrcmpiA(system.c_str(), fallback.c_str()), 0) << c.path << ": system " << system;
  }
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(Win95Calls, RootWindowFollowsParentsButNotOwners) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto make = [&](DWORD style, HWND parent) {
    return CreateWindowExA(0, "STATIC", "", style, 0, 0, 50, 50, parent, nullptr, instance, nullptr);
  };
  HWND top = make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND child = make(WS_CHILD, top);
  HWND grandchild = make(WS_CHILD, child);
  HWND popup = make(WS_POPUP, top);  // owned by `top`, not its child
  HWND popupChild = make(WS_CHILD, popup);
  ASSERT_TRUE(top && child && grandchild && popup && popupChild);

  const struct {
    const char* name;
    HWND window, root;
  } cases[] = {
      {"top", top, top},       {"child", child, top},   {"grandchild", grandchild, top},
      {"popup", popup, popup}, {"popup's child", popupChild, popup},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RootWindow(c.window, CallRoute::Fallback), c.root) << c.name;
    EXPECT_EQ(RootWindow(c.window, CallRoute::System), c.root) << c.name;
  }
  DestroyWindow(popup);
  DestroyWindow(top);
}

}  // namespace
}  // namespace tw
