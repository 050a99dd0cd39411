// The tray commands on in-memory parts: a fake registry with a Voodoo5 driver
// key, the two popup menus from their tables, and a main window view that
// records.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "driver/launcher.h"
#include "platform/command_error.h"
#include "platform/fake/fake_desktop_shell.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_menus.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "platform/fake/fake_ui.h"
#include "platform/messages.h"
#include "shell/tray_commands.h"
#include "shell/tray_menus.h"

namespace tw {

class RecordingMainView : public MainWindowView {
 public:
  bool EditorOpen() const override { return editorOpen; }
  bool AboutOpen() const override { return aboutOpen; }
  bool MainWindowDisabled() const override { return disabled; }
  ScreenPoint CursorPosition() const override { return {640, 750}; }
  void ShowPopup(TrayPopup menu, ScreenPoint at) override {
    calls.push_back(std::string(menu == TrayPopup::PopupMenu1 ? "PopupMenu1" : "PopupMenu2") +
                    " at " + std::to_string(at.x) + "," + std::to_string(at.y));
    if (whileShown) whileShown();
  }
  void OpenAbout(const StoredPosition& position) override {
    calls.push_back("About at " + (position.left ? std::to_string(*position.left) : "-") + "," +
                    (position.top ? std::to_string(*position.top) : "-"));
  }
  void CloseMainWindow() override {
    calls.push_back("Close");
    if (onClose) onClose();
  }

  bool editorOpen = false;
  bool aboutOpen = false;
  bool disabled = false;                // a message box is open
  std::function<void()> whileShown;     // runs while a menu is shown
  std::function<void()> onClose;        // the window's WM_CLOSE is posted
  std::vector<std::string> calls;
};

// The editor's openings, recorded in the view's call list. Add program notes
// whether the tray was told to ignore clicks meanwhile, and can fail.
class RecordingEditors : public EditorCommands {
 public:
  explicit RecordingEditors(std::vector<std::string>& calls) : calls_(calls) {}
  void AddProgram() override {
    calls_.push_back(std::string("Editor: add program") +
                     (form && form->AddingProgram ? " (tray ignores clicks)" : ""));
    if (fail) throw CommandError("'x' is not a valid integer value");
  }
  void EditProfile(const std::string& name) override { calls_.push_back("Editor: " + name); }
  void EditUserDefaults() override { calls_.push_back("Editor: user defaults"); }
  void EditLiveSettings() override { calls_.push_back("Editor: live settings"); }

  TrayCommands* form = nullptr;
  bool fail = false;

 private:
  std::vector<std::string>& calls_;
};

// Card model changes come back from the start-up code to the main window.
class ForwardingStartupView : public StartupView {
 public:
  void AddLogLine(const std::string&) override {}
  void HideMainWindow() override {}
  void Notice(const std::string&) override {}
  void ErrorReport(const std::string&) override {}
  void RequestQuit() override {}
  void AskCardModel(int&) override { ++asked; }
  void CardModelApplied(int model) override {
    if (tray) tray->CardModelApplied(model);
  }
  void RunProfile(const std::string&) override {}
  void StartProgram(const LaunchRequest&) override {}
  RunRoute RouteRun(const std::string&) override { return RunRoute::Direct; }
  void AddTrayIcon() override {}
  void BuildMenus() override {}
  std::string ResumePendingRestore() override { return std::string(); }

  TrayCommands* tray = nullptr;
  int asked = 0;
};

// The program around one machine (registry, processes, display) as the main
// window wires it: start-up state, driver settings, the launcher and the tray
// commands. Several over one machine are several copies of tarnwick.exe.
struct ProgramStack {
  ProgramStack(RegistryBackend& reg, FakeProcesses& processes, FakeDisplay& display)
      : programRegistry(reg, RootKey::CurrentUser),
        driverRegistry(reg, RootKey::LocalMachine),
        startupRegistry(reg, RootKey::LocalMachine),
        modes(display, ui),
        launcher(programRegistry, driver, modes, processes, timer, ui, questions, flags) {
    forwardingView.tray = &form;
  }
  ProgramStack(const ProgramStack&) = delete;
  ProgramStack& operator=(const ProgramStack&) = delete;

  RegistryHandle programRegistry;
  RegistryHandle driverRegistry;
  RegistryHandle startupRegistry;
  FakeTextCompare compare;
  SettingCatalogue catalogue;
  StartupState state;
  FakeUserInterface ui;
  DisplayModes modes;
  FakeTimer timer;
  RunFlags flags;
  DriverSettings driver{catalogue, programRegistry, driverRegistry, state.driverKey};
  FakeQuestions questions;
  Launcher launcher;
  FakeDesktopShell shell;
  FakeMenuSet menus{&PopupMenu1Layout(), &PopupMenu2Layout()};
  RecordingMainView mainView;
  ForwardingStartupView forwardingView;
  RecordingEditors editors{mainView.calls};
  FakeTimer clickTimer;
  TrayCommands form{{catalogue, programRegistry, startupRegistry, compare, state, flags, driver,
                     modes, launcher, ui, questions, shell, menus, mainView, forwardingView,
                     editors, clickTimer, driverRegistry}};
};

// The machine's fakes, built before the program that refers to them.
struct FakeMachineParts {
  FakeRegistry reg;
  FakeDisplay display;
  FakeProcesses processes;
};

class TrayCommandsTest : public ::testing::Test, protected FakeMachineParts, protected ProgramStack {
 protected:
  static constexpr RootKey kHkcu = RootKey::CurrentUser;
  static constexpr RootKey kHklm = RootKey::LocalMachine;
  static constexpr const char* kStore = "Software\\Hexmoor\\Tarnwick";
  static constexpr const char* kDriver = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";
  static constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

  TrayCommandsTest() : ProgramStack(reg, processes, display) {
    state.driverKey = std::string(kDriver) + "\\";
    display.SetModes({{8, 640, 480, 60}, {16, 800, 600, 60}, {32, 1024, 768, 60}});
    display.SetCurrent({800, 600, 16});
    editors.form = &form;
  }

  static std::string Profile(const std::string& name) { return std::string(kStore) + "\\" + name; }
  static std::string DriverGroup(const char* group) { return std::string(kDriver) + "\\" + group; }

  void AddProfile(const std::string& name) { reg.PutKey(kHkcu, Profile(name)); }
  // Chooses the card model from the menu, as start-up does with a stored one.
  void Model(int model) { ApplyCardModel(model, catalogue, program, state, startupView); }
  std::optional<std::string> DriverValue(const char* group, const std::string& name) const {
    return reg.GetString(kHklm, DriverGroup(group), name);
  }
  void Command(int id) { ASSERT_TRUE(form.MenuCommand(id)) << "no item with id " << id; }

  // The names the tray's tests know these by.
  RegistryHandle& program = programRegistry;
  RecordingMainView& view = mainView;
  ForwardingStartupView& startupView = forwardingView;
};

}  // namespace tw
