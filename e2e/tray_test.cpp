// The tray menus of the real program, chosen with the keyboard from the popup
// menus the tray callback opens: the driver resets under two card models,
// Direct FSAA, the card model, start-up registration, "Reload settings", the
// icon coming back after a taskbar restart, the about box, removal from the
// registry, a watched run from "Run" and "Exit"; and an icon a shell still
// busy at logon refuses at first.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "harness/driver_display.h"
#include "harness/driver_game.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/messages.h"
#include "shell/menu_ids.h"
#include "shell/tray_icon_retry.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = kDefaultTimeoutMs;
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kAboutClass[] = "TForm3";
constexpr char kFsaa[] = "SSTH3_SLI_AA_CONFIGURATION";
constexpr char kRedGamma[] = "SSTH3_RGAMMA";

// Places of the items, counted as the keyboard walks them.
namespace place {
// PopupMenu1 (right click)
constexpr int kDefaults = 1, kDirectFsaa = 2, kRun = 7, kAbout = 8, kExit = 9;
// in Defaults
constexpr int kFactory = 1, kUserDefaults = 2, kPrevious = 4, kStartup = 5, kReload = 6;
// in Direct FSAA under a V5-6000: Single chip, Fastest, 2x FSAA, ...
constexpr int k2xFsaaOf6000 = 3;
// PopupMenu2 (left click)
constexpr int kRemove = 1, kMyVoodoo = 2;
// in My Voodoo is a ...
constexpr int kV56000 = 1;
}  // namespace place

std::string ProfilePath(const std::string& name) { return std::string(kProgramKey) + "\\" + name; }

// A shell still busy at logon: a hidden window of the taskbar's class, on top
// so the system's notify call finds it before Wine's own, that refuses the
// program's first tries to show its icon and takes the next. A try is an add
// (a refused add is followed by a modify, which is refused too).
class RefusingShell {
 public:
  explicit RefusingShell(size_t refusals) : refusals_(refusals) {
    std::promise<void> started;
    thread_ = std::thread([this, &started] {
      threadId_ = GetCurrentThreadId();
      WNDCLASSA windowClass = {};
      windowClass.lpfnWndProc = &RefusingShell::Procedure;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = "Shell_TrayWnd";
      RegisterClassA(&windowClass);
      window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0,
                                0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
      SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      started.set_value();
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
      DestroyWindow(window_);
      UnregisterClassA("Shell_TrayWnd", windowClass.hInstance);
    });
    started.get_future().wait();
  }
  ~RefusingShell() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  // When each try of the program's main window came (GetTickCount).
  std::vector<DWORD> Tries() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tries_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<RefusingShell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    char className[16] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    if (std::string(className) != kMainWindowClass) return FALSE;
    std::lock_guard<std::mutex> lock(self->mutex_);
    const ULONG_PTR command = reinterpret_cast<COPYDATASTRUCT*>(lParam)->dwData;
    if (command == NIM_ADD) self->tries_.push_back(GetTickCount());
    return self->tries_.size() > self->refusals_;
  }

  size_t refusals_;
  std::mutex mutex_;
  std::vector<DWORD> tries_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  std::thread thread_;
};

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick");
    const bool win98 = TestOptions().winVersion == "win98";
    PlantFixture(win98 ? kWin98Voodoo5 : kWin2000Voodoo5);
    driverKey_ = win98 ? "System\\CurrentControlSet\\Services\\Class\\Display\\0000"
                       : "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    // A copy in a folder with a blank, as under "Program Files".
    folder_ = TempFolder() + "tarnwick tray";
    CreateDirectoryA(folder_.c_str(), nullptr);
    exe_ = folder_ + "\\tarnwick.exe";
    ASSERT_TRUE(CopyFileA(TestOptions().tarnwickExe.c_str(), exe_.c_str(), FALSE))
        << "cannot copy tarnwick.exe to " << exe_;
    recordPath_ = TempFolder() + "tarnwick-tray-run.txt";
    DeleteFileA(recordPath_.c_str());
  }

  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().gameExe));
    ResetTarnwickState();
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick");
    DeleteFileA(exe_.c_str());
    DeleteFileA(recordPath_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  // Starts the copy and waits until it sits in the tray.
  void Start() {
    tarnwick_ = ChildProcess::Start(exe_, "");
    ASSERT_TRUE(tarnwick_.WaitForIdle(kTimeoutMs)) << "start-up did not finish";
    main_ = FindTopWindow(tarnwick_.id(), kMainWindowClass);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }, kTimeoutMs)) << "no tray icon";
  }

  void Choose(UINT mouse, std::initializer_list<int> path) {
    ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, mouse, MenuKeys(path)))
        << "the popup menu did not open and close";
  }
  void Right(std::initializer_list<int> path) { Choose(WM_RBUTTONUP, path); }
  void Left(std::initializer_list<int> path) { Choose(WM_LBUTTONUP, path); }

  std::string Group(const char* group) const { return driverKey_ + "\\" + group; }
  std::optional<std::string> Driver(const char* group, const std::string& name) const {
    return Text(HKEY_LOCAL_MACHINE, Group(group), name);
  }
  // Waits for a driver value, then reports what it is.
  std::optional<std::string> DriverBecomes(const char* group, const std::string& name,
                                           const std::string& expected) const {
    WaitUntil([&] { return Driver(group, name) == expected; }, kTimeoutMs);
    return Driver(group, name);
  }
  std::optional<Value> ProgramValueBecomes(const std::string& name,
                                           const std::optional<Value>& expected) const {
    WaitUntil([&] { return ReadValue(HKEY_CURRENT_USER, kProgramKey, name) == expected; },
              kTimeoutMs);
    return ReadValue(HKEY_CURRENT_USER, kProgramKey, name);
  }

  // The next message box of the program: its caption and text, then the
  // button with this id is clicked.
  std::string Answer(const std::string& caption, int button) {
    HWND box = WaitForTopWindow(tarnwick_.id(), kDialogClass, caption, kTimeoutMs);
    if (!box) return "<no box captioned " + caption + ">";
    const std::string text = MessageBoxText(box);
    EXPECT_TRUE(ClickButton(GetDlgItem(box, button)));
    WaitUntil([&] { return !IsWindow(box); }, kTimeoutMs);
    return text;
  }

  std::string driverKey_;
  std::string folder_;
  std::string exe_;
  std::string recordPath_;
  ChildProcess tarnwick_;
  HWND main_ = nullptr;
};

TEST_F(TrayTest, EveryCommandOfBothMenus) {
  WriteValue(HKEY_CURRENT_USER, ProfilePath("User Default") + "\\D3D", kRedGamma,
             StringValue("0.80"));
  WriteValue(HKEY_LOCAL_MACHINE, Group("D3D"), kRedGamma, StringValue("1.10"));
  WriteValue(HKEY_LOCAL_MACHINE, Group("D3D"), kFsaa, StringValue("4"));
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Left", DwordValue(100));
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Top", DwordValue(50));
  ASSERT_NO_FATAL_FAILURE(Start());

  // Factory defaults under the V5-5500: its FSAA default is "Fastest", 2.
  Right({place::kDefaults, place::kFactory});
  EXPECT_EQ(DriverBecomes("D3D", kFsaa, "2"), "2");
  EXPECT_EQ(Driver("D3D", "Prev " + std::string(kFsaa)), "4");
  EXPECT_EQ(DriverBecomes("D3D", kRedGamma, "1.30"), "1.30");
  EXPECT_EQ(DriverBecomes("D3D", "Prev " + std::string(kRedGamma), "1.10"), "1.10");

  // The card model changes to a V5-6000; the driver is left as it is.
  Left({place::kMyVoodoo, place::kV56000});
  EXPECT_EQ(ProgramValueBecomes("VoodooType", DwordValue(6000)), DwordValue(6000));
  EXPECT_EQ(Driver("D3D", kFsaa), "2");

  // Factory defaults now use the V5-6000's list: "Fastest" is 5.
  Right({place::kDefaults, place::kFactory});
  EXPECT_EQ(DriverBecomes("D3D", kFsaa, "5"), "5");
  EXPECT_EQ(DriverBecomes("Glide", kFsaa, "5"), "5");

  // User defaults exist, so their reset is enabled.
  Right({place::kDefaults, place::kUserDefaults});
  EXPECT_EQ(DriverBecomes("D3D", kRedGamma, "0.80"), "0.80");

  // Previous settings, twice: back and forth. (The whole reset has been
  // written once its last group shows it.)
  Right({place::kDefaults, place::kPrevious});
  EXPECT_EQ(DriverBecomes("D3D", kRedGamma, "1.30"), "1.30");
  EXPECT_EQ(DriverBecomes("D3D", "Prev " + std::string(kRedGamma), "0.80"), "0.80");
  Right({place::kDefaults, place::kPrevious});
  EXPECT_EQ(DriverBecomes("D3D", kRedGamma, "0.80"), "0.80");

  // Direct FSAA, "2x FSAA" of the V5-6000 into both groups.
  Right({place::kDirectFsaa, place::k2xFsaaOf6000});
  EXPECT_EQ(DriverBecomes("D3D", kFsaa, "6"), "6");
  EXPECT_EQ(DriverBecomes("Glide", kFsaa, "6"), "6");

  // Start at Windows startup, on and off; the path has a blank, so it is quoted.
  Right({place::kDefaults, place::kStartup});
  std::string expected = "Next time Windows starts, it will try to load Tarnwick from this location: ";
  EXPECT_EQ(Answer(kAppTitle, IDOK), expected + "\r" + exe_);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick"), "\"" + exe_ + "\"");
  Right({place::kDefaults, place::kStartup});
  EXPECT_EQ(Answer(kAppTitle, IDOK), "Tarnwick has been removed from Windows startup");
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarnwick"), std::nullopt);

  // Reload settings after finishing game: stored at once, each way.
  Right({place::kDefaults, place::kReload});
  EXPECT_EQ(ProgramValueBecomes("Reload settings", DwordValue(0)), DwordValue(0));
  Right({place::kDefaults, place::kReload});
  EXPECT_EQ(ProgramValueBecomes("Reload settings", DwordValue(1)), DwordValue(1));

  // A restarted taskbar announces itself; the icon comes back.
  ASSERT_TRUE(DeleteTrayIcon(main_));
  ASSERT_FALSE(TrayIconPresent(main_));
  ASSERT_TRUE(PostMessageA(main_, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }, kTimeoutMs))
      << "the icon did not come back after TaskbarCreated";

  // The about box opens at the stored place; while it is open the icon's
  // clicks do nothing (a menu would keep the sent message from returning).
  Right({place::kAbout});
  HWND about = WaitForTopWindow(tarnwick_.id(), kAboutClass, std::string("About Tarnwick"),
                                kTimeoutMs);
  ASSERT_NE(about, nullptr) << "no about box";
  RECT rect = {};
  GetWindowRect(about, &rect);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 50);
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutA(main_, tw::kTrayNotifyMessage, 1, WM_RBUTTONUP, SMTO_NORMAL, 5000, &result), 0)
      << "a click on the icon was handled while the about box was open";
  EXPECT_FALSE(PopupMenuShown(tarnwick_));
  // Esc closes the box and Enter presses OK (the mouse on OK is in the
  // desktop-clicks script).
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kTimeoutMs)) << "Esc kept the box";
  // A place stored on a larger desktop: the box opens inside the work area.
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Left", DwordValue(5000));
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Top", DwordValue(4000));
  Right({place::kAbout});
  about = WaitForTopWindow(tarnwick_.id(), kAboutClass, std::string("About Tarnwick"),
                           kTimeoutMs);
  ASSERT_NE(about, nullptr) << "no about box the second time";
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(about, &rect);
  EXPECT_EQ(rect.right, area.right);
  EXPECT_EQ(rect.bottom, area.bottom);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kTimeoutMs)) << "Enter kept the box";

  // Removal: "No" changes nothing; "Yes" removes the store and ends.
  const std::string question =
      "Do you want Tarnwick and its game-settings removed from the Windows registry?";
  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kMenuRemoveReg));
  EXPECT_EQ(Answer("Warning", IDNO), question);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, ProfilePath("User Default")));
  EXPECT_TRUE(tarnwick_.Running());
  Left({place::kRemove});
  EXPECT_EQ(Answer("Warning", IDYES), question);
  EXPECT_EQ(Answer(kAppTitle, IDOK), "Tarnwick will close now.");
  EXPECT_TRUE(tarnwick_.WaitForExit(kTimeoutMs).has_value()) << "still running after removal";
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgramKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Hexmoor"));
}

// Tried again every two seconds until the shell takes it, then no more.
TEST_F(TrayTest, AnIconTheShellRefusesAtFirstComesBackByItsRetries) {
  constexpr size_t kRefusals = 2;
  std::vector<DWORD> tries;
  {
    RefusingShell shell(kRefusals);
    tarnwick_ = ChildProcess::Start(exe_, "");
    EXPECT_TRUE(WaitUntil([&] { return shell.Tries().size() > kRefusals; }, kTimeoutMs));
    Sleep(2 * tw::TrayIconRetry::kRetryMs);
    tries = shell.Tries();
  }
  ASSERT_EQ(tries.size(), kRefusals + 1) << "the stand-in shell saw the wrong number of tries";
  for (size_t i = 1; i < tries.size(); ++i) {
    EXPECT_GE(tries[i] - tries[i - 1], tw::TrayIconRetry::kRetryMs - 200) << "try " << i;
  }
}

TEST_F(TrayTest, WatchedRunFromTheRunMenuPutsEverythingBack) {
  DesktopModeGuard desktop;
  const ScreenMode before = CurrentScreenMode();
  const DWORD width = before.width == 800 ? 640 : 800;
  const DWORD height = before.width == 800 ? 480 : 600;
  const std::optional<DWORD> mode = FindModeNumber(width, height, before.bitsPerPixel);
  ASSERT_TRUE(mode.has_value()) << "no " << width << "x" << height << " mode";

  const std::string workFolder = folder_;  // not the game's own folder
  const std::string quake = ProfilePath("Quake III");
  WriteValue(HKEY_CURRENT_USER, quake, "FilePath", StringValue(TestOptions().gameExe));
  WriteValue(HKEY_CURRENT_USER, quake, "Parameters",
             StringValue(QuoteArgument("--record=" + recordPath_) + " --sleep=6000 +map q3dm17"));
  WriteValue(HKEY_CURRENT_USER, quake, "Directory", StringValue(workFolder));
  WriteValue(HKEY_CURRENT_USER, quake, "Poll", DwordValue(1));
  WriteValue(HKEY_CURRENT_USER, quake, "Desktop Mode", DwordValue(*mode));
  WriteValue(HKEY_CURRENT_USER, quake + "\\D3D", kRedGamma, StringValue("1.60"));
  WriteValue(HKEY_CURRENT_USER, ProfilePath("Descent"), "FilePath", StringValue("descent.exe"));
  WriteValue(HKEY_LOCAL_MACHINE, Group("D3D"), kRedGamma, StringValue("1.10"));
  ASSERT_NO_FATAL_FAILURE(Start());

  // "Quake III" is the second of the Run submenu.
  Right({place::kRun, 2});
  std::optional<GameRecord> record;
  ASSERT_TRUE(WaitUntil([&] { return (record = ReadGameRecord(recordPath_)).has_value(); },
                        kTimeoutMs))
      << "the game never started";
  const std::optional<std::string> whileRunning = Driver("D3D", kRedGamma);
  const ScreenMode during = CurrentScreenMode();
  ASSERT_TRUE(ProcessRunningNamed(FileName(TestOptions().gameExe)))
      << "the game ended before its run could be looked at";
  EXPECT_EQ(whileRunning, "1.60");
  EXPECT_TRUE(during.width == width && during.height == height)
      << "the desktop is " << during.width << "x" << during.height;
  const std::vector<std::string> arguments = {"--record=" + recordPath_, "--sleep=6000", "+map",
                                              "q3dm17"};
  EXPECT_EQ(record->arguments, arguments);
  std::string directory = record->fields["directory"];
  if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
  EXPECT_EQ(_stricmp(directory.c_str(), workFolder.c_str()), 0) << directory;

  // Once the game has ended, the watch puts the driver and the desktop back.
  ASSERT_TRUE(WaitUntil([] { return !ProcessRunningNamed(FileName(TestOptions().gameExe)); },
                        kTimeoutMs));
  EXPECT_EQ(DriverBecomes("D3D", kRedGamma, "1.10"), "1.10");
  EXPECT_TRUE(WaitUntil(
      [&] {
        const ScreenMode now = CurrentScreenMode();
        return now.width == before.width && now.height == before.height;
      },
      kTimeoutMs))
      << "the desktop mode was not restored";

  // Exit is the last item.
  Right({place::kExit});
  const std::optional<DWORD> code = tarnwick_.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value()) << "still running after Exit";
  EXPECT_EQ(*code, 0u);
  EXPECT_TRUE(desktop.Restore());
}

}  // namespace
}  // namespace e2e
