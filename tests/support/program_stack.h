// The program around one machine (registry, processes, display) as the main
// window wires it: start-up state, driver settings, the launcher and the tray
// commands. Several over one machine are several copies of tarnwick.exe.
#pragma once

#include "tests/shell/tray_commands_fixture.h"

namespace tw {

struct ProgramStack {
  ProgramStack(FakeRegistry& reg, FakeProcesses& processes, FakeDisplay& display)
      : programRegistry(reg, RootKey::CurrentUser),
        driverRegistry(reg, RootKey::LocalMachine),
        startupRegistry(reg, RootKey::LocalMachine),
        modes(display, ui),
        launcher(programRegistry, driver, modes, processes, timer, ui, questions, flags) {
    forwardingView.form = &form;
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

}  // namespace tw
