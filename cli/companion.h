// tarnwick-cli: the console companion's commands on the program's own core.
// list, show, export, import, apply, restore, export-driver, adopt, unadopt;
// exit status 0 on success, 1 when the work failed (one line on standard
// error), 2 for a usage error.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/shell_links.h"
#include "platform/text_compare.h"
#include "store/reg_file.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CompanionContext {
  SettingCatalogue& catalogue;
  RegistryHandle& programRegistry;
  RegistryHandle& driverRegistry;  // the machine's registry (HKEY_LOCAL_MACHINE)
  const TextCompare& compare;
  const AnsiConverter& ansi;
  Console& console;
  ShellLinks& links;
  std::string tarnwickExe;  // the tray program beside the companion
};

// `args` are the arguments after the program name.
int RunCompanion(const std::vector<std::string>& args, CompanionContext& context);

}  // namespace tw
