// The installer's look for MSVCRT.DLL, as Windows 95 runs it (Wine reports
// 95 to it). Wine always has its own MSVCRT.DLL, so the runs that must find
// none point the check at an empty folder (/MSVCRTDIR=).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "harness/options.h"
#include "harness/process.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/window_probe.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 60000;
constexpr char kInstallDir[] = "C:\\Tarnwick 95 Test";

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string InInstall(const std::string& file) { return std::string(kInstallDir) + "\\" + file; }

class MsvcrtCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TestOptions().setupExe.empty()) << "--setup= is needed";
    PinWindowsVersion(FileName(TestOptions().setupExe), TestOptions().winVersion);
    PinWindowsVersion("uninstall.exe", TestOptions().winVersion);
    emptyDir_ = TempFolder() + "tarnwick-no-msvcrt";
    CreateDirectoryA(emptyDir_.c_str(), nullptr);
  }
  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().setupExe));
    RemoveDirectoryA(emptyDir_.c_str());
  }

  // The message box of `setup` once its text is there; nullptr after the timeout.
  static HWND WaitForMessage(const ChildProcess& setup, std::string* text) {
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 50) {
      for (HWND box : TopWindows(setup.id(), kDialogClass)) {
        *text = MessageBoxText(box);
        if (!text->empty()) return box;
      }
      Sleep(50);
    }
    return nullptr;
  }

  ChildProcess Setup(const std::string& arguments) {
    return ChildProcess::Start(TestOptions().setupExe, arguments + " /D=" + kInstallDir);
  }

  std::string emptyDir_;
};

TEST_F(MsvcrtCheckTest, WithoutTheDllSetupSaysWhatToInstallAndInstallsNothing) {
  const std::string noDll = "/MSVCRTDIR=" + QuoteArgument(emptyDir_);

  // Shown: one message, then Setup ends without a page.
  ChildProcess setup = Setup(noDll);
  std::string text;
  HWND box = WaitForMessage(setup, &text);
  ASSERT_NE(box, nullptr) << "no message";
  for (const char* part : {"Tarnwick needs MSVCRT.DLL", emptyDir_.c_str(), "Internet Explorer 4",
                           "Windows Sockets 2 update", "Visual C++ run-time", "run Setup again"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " not in: " << text;
  }
  ASSERT_TRUE(DismissMessageBox(box));
  EXPECT_EQ(setup.WaitForExit(kTimeoutMs), DWORD{2});

  // Silent: no message, the same end.
  EXPECT_EQ(Setup("/S " + noDll).WaitForExit(kTimeoutMs), DWORD{2});
  EXPECT_FALSE(Exists(kInstallDir));
}

TEST_F(MsvcrtCheckTest, WithTheDllInTheSystemFolderSetupInstalls) {
  ASSERT_EQ(Setup("/S").WaitForExit(kTimeoutMs), DWORD{0});
  for (const char* file : {"tarnwick.exe", "tarnwick-cli.exe", "README.TXT", "uninstall.exe"}) {
    EXPECT_TRUE(Exists(InInstall(file))) << file;
  }
  // In place (_?=), so the uninstaller ends when its work is done.
  ChildProcess uninstall = ChildProcess::Start(InInstall("uninstall.exe"),
                                               std::string("/S _?=") + kInstallDir);
  EXPECT_EQ(uninstall.WaitForExit(kTimeoutMs), DWORD{0});
  EXPECT_FALSE(Exists(InInstall("tarnwick.exe")));
  DeleteFileA(InInstall("uninstall.exe").c_str());
  RemoveDirectoryA(kInstallDir);
}

}  // namespace
}  // namespace e2e
