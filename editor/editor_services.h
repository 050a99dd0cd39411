// What the profile editor works with: the process's registry handles and
// catalogue, the display modes, the driver writer, the user interface, and
// the values it shares with the main window.
#pragma once

#include <string>

#include "driver/display_modes.h"
#include "driver/driver_settings.h"
#include "platform/desktop_shell.h"
#include "platform/questions.h"
#include "platform/ui.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {

enum class EditorMode { NewProgram, EditProfile, UserDefaults, LiveSettings };

// Working values the editor shares with the main window.
struct EditorWorkingValues {
  std::string profileFilePath;
  std::string profileParameters;
  std::string profileDirectory;
  std::string editedProfileName;  // empty for a new program
  bool isNewProgram = false;
};

// What the editor asks of the main window's tray menus.
class EditorHost {
 public:
  virtual ~EditorHost() = default;
  // Rebuilds the "Config" and "Run" submenus from the profile store.
  virtual void BuildProgramMenus() = 0;
  // Enables "Reset to user defaults".
  virtual void EnableResetToUserDefaults() = 0;
};

struct EditorServices {
  const SettingCatalogue& catalogue;
  RegistryHandle& programRegistry;
  RegistryHandle& driverRegistry;
  const std::string& driverKey;
  DisplayModes& modes;
  DriverSettings& driver;
  UserInterface& ui;
  Questions& questions;
  DesktopShell& shell;
  EditorHost& host;
  EditorWorkingValues& working;
};

}  // namespace tw
