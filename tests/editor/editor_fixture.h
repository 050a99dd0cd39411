// An editor opened the way the main window opens it, on in-memory controls,
// registry, display and shell.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "editor/editor_events.h"
#include "editor/editor_layout.h"
#include "editor/editor_openings.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_desktop_shell.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_questions.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "platform/messages.h"
#include "store/registry_error.h"

namespace tw {

constexpr RootKey HKCU = RootKey::CurrentUser;
constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr SettingKind D3D = SettingKind::Direct3D;
constexpr SettingKind GLIDE = SettingKind::Glide;

class RecordingHost : public EditorHost {
 public:
  void BuildProgramMenus() override {
    ++menuBuilds;
    // As a profile whose level of detail is stored as a number.
    if (buildFails) throw RegistryError::InvalidType("SSTH3_LOD_BIAS");
  }
  void EnableResetToUserDefaults() override { resetEnabled = true; }
  int menuBuilds = 0;
  bool buildFails = false;
  bool resetEnabled = false;
};

class FakeEditorFactory : public EditorFactory {
 public:
  explicit FakeEditorFactory(const EditorServices& services) : services_(services) {}

  std::unique_ptr<EditorInstance> CreateEditor() override {
    auto editor = std::make_unique<Instance>(services_);
    lastForm = &editor->form;
    editor->logic.ShowProgramFile();
    return editor;
  }

  FakeForm* lastForm = nullptr;

 private:
  struct Instance : EditorInstance {
    explicit Instance(const EditorServices& services) : form(EditorLayout()), logic(form, services) {}
    ProfileEditor& Editor() override { return logic; }
    FakeForm form;
    ProfileEditor logic;
  };
  const EditorServices& services_;
};

class EditorTest : public ::testing::Test {
 protected:
  static constexpr const char* kDriverKey = "System\\CurrentControlSet\\Services\\Class\\Display\\0000";

  EditorTest() {
    catalogue.FillFsaaLists(5500);
    // A palette mode between the listed ones: the list's entries are modes
    // 1, 3, 4 and 5, not a run of numbers from the first.
    display.SetModes({{8, 640, 480, 60},
                      {16, 640, 480, 60},
                      {8, 800, 600, 60},
                      {16, 800, 600, 60},
                      {16, 1024, 768, 60},
                      {32, 1024, 768, 60}});
    display.SetCurrent({1024, 768, 16});
  }

  // Registry paths without the leading backslash, as the fake takes them.
  static std::string Profile(const std::string& name) { return "Software\\Hexmoor\\Tarnwick\\" + name; }
  static std::string Group(const std::string& name, SettingKind kind) {
    return Profile(name) + (kind == D3D ? "\\D3D" : "\\Glide");
  }
  static std::string Driver(SettingKind kind) {
    return std::string(kDriverKey) + (kind == D3D ? "\\D3D" : "\\Glide");
  }
  std::optional<std::string> Stored(const std::string& name, SettingKind kind,
                                    const std::string& value) const {
    return reg.GetString(HKCU, Group(name, kind), value);
  }
  std::optional<std::string> Live(SettingKind kind, const std::string& value) const {
    return reg.GetString(HKLM, Driver(kind), value);
  }
  void SetLive(SettingKind kind, const std::string& value, const std::string& text) {
    reg.PutString(HKLM, Driver(kind), value, text);
  }
  void Store(const std::string& name, SettingKind kind, const std::string& value,
             const std::string& text) {
    reg.PutString(HKCU, Group(name, kind), value, text);
  }
  // A stored profile with its program values.
  void StoreProgram(const std::string& name, const std::string& path) {
    reg.PutString(HKCU, Profile(name), "FilePath", path);
    reg.PutKey(HKCU, Group(name, D3D));
    reg.PutKey(HKCU, Group(name, GLIDE));
  }

  FakeForm& Form() { return *factory.lastForm; }
  ProfileEditor& Editor() { return *openings.OpenEditor(); }
  void Click(const std::string& name) {
    ASSERT_TRUE(DispatchEditorEvent(Editor(), name, EditorEvent::Click)) << name;
  }
  void Change(const std::string& name) {
    ASSERT_TRUE(DispatchEditorEvent(Editor(), name, EditorEvent::Change)) << name;
  }
  void Type(const std::string& name, const std::string& text) {
    Form().Get(name.c_str()).SetText(text);
    if (name == "Edit1") Change(name);
  }
  // Moves a slider as the user would.
  void Slide(const std::string& track, int position) {
    Form().TrackBar(track.c_str()).SetPosition(position);
    Change(track);
  }
  void Pick(const std::string& box, const std::string& caption) {
    ListControl& list = Form().List(box.c_str());
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Item(i) == caption) {
        list.SetItemIndex(i);
        return;
      }
    }
    ADD_FAILURE() << caption << " not in " << box;
  }
  std::string Shown(const std::string& box) { return Form().List(box.c_str()).Text(); }
  bool Closed() { return !ui.posted.empty() && ui.posted.back() == kEditorClosedMessage; }

  FakeRegistry reg;
  RegistryHandle program{reg, HKCU};
  RegistryHandle driver{reg, HKLM};
  std::string driverKey = kDriverKey;
  SettingCatalogue catalogue;
  FakeDisplay display;
  FakeUserInterface ui;
  DisplayModes modes{display, ui};
  DriverSettings driverSettings{catalogue, program, driver, driverKey};
  FakeQuestions questions;
  FakeDesktopShell shell;
  RecordingHost host;
  EditorWorkingValues working;
  EditorServices services{catalogue, program, driver, driverKey, modes, driverSettings,
                          ui,        questions, shell, host, working};
  FakeEditorFactory factory{services};
  FakeProgramChooser chooser;
  EditorOpenings openings{factory, working, chooser};
};

}  // namespace tw
