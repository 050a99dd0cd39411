#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"
#include "shell/startup.h"

namespace tw {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsLikeTheRuntime) {
  const struct {
    const char* line;
    Args args;
  } cases[] = {
      {"tarnwick.exe", {}},
      {"", {}},
      {"\"C:\\Program Files\\Tarnwick\\tarnwick.exe\" Quake III", {"Quake", "III"}},
      {"tarnwick.exe  \"Quake III\"  ", {"Quake III"}},
      {"tarnwick.exe\tab\"c d\"e\t\nx", {"abc de", "x"}},
      {"tarnwick.exe \"\" \"   \"", {"", "   "}},
      {"tarnwick.exe \"open to the end", {"open to the end"}},
      {"tarnwick.exe Caf\xe9", {"Caf\xe9"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

// A game's icon is handed to the tray copy at once only for a profile that
// exists here, outside debug mode, with reloading on (missing or unreadable:
// on). Only "Quake III" has a profile below.
TEST(CommandLine, DebugSwitchAndProfileName) {
  FakeRegistry reg;
  reg.PutString(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick\\Quake III", "FilePath", "q3.exe");
  RegistryHandle program(reg, RootKey::CurrentUser);
  const struct {
    const char* line;
    bool debug;
    const char* profile;
  } cases[] = {
      {"t.exe", false, ""},
      {"t.exe -debug", true, ""},
      {"t.exe \"-DeBuG\"", true, ""},
      {"t.exe Quake III", false, "Quake III"},
      {"t.exe \"Quake III\"", false, "Quake III"},
      {"t.exe   Quake\t\tIII  ", false, "Quake III"},
      {"t.exe -DEBUG Quake III", true, "Quake III"},
      {"t.exe \"   \"", false, ""},
      {"t.exe -DEBUG -debug", true, "-debug"},  // only the first argument switches
      {"t.exe Quake -DEBUG", false, "Quake -DEBUG"},
      {"t.exe -DEBUGGER", false, "-DEBUGGER"},
  };
  for (const auto& c : cases) {
    StartupState state;
    ParseArguments(SplitCommandLine(c.line), state);
    EXPECT_EQ(state.debugMode, c.debug) << c.line;
    EXPECT_EQ(state.commandLineProfile, c.profile) << c.line;
    EXPECT_EQ(state.runDirect, *c.profile != '\0') << c.line;
    EXPECT_EQ(StartsInTray(c.line), *c.profile == '\0') << c.line;  // the one-copy rule
    const bool handed = !c.debug && std::string(c.profile) == "Quake III";
    EXPECT_EQ(ProfileToHandOver(c.line, program), handed ? "Quake III" : "") << c.line;
  }
  const RawValue off{reg_type::kDword, std::string(4, '\0')};
  const RawValue text{reg_type::kString, std::string("0", 2)};
  for (const RawValue* reload : {&off, &text}) {
    reg.PutRaw(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick", "Reload settings", *reload);
    EXPECT_EQ(ProfileToHandOver("t.exe Quake III", program), reload == &off ? "" : "Quake III");
  }
}

}  // namespace
}  // namespace tw
