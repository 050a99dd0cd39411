#include <gtest/gtest.h>

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

TEST(CommandLine, DebugSwitchAndProfileName) {
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
  }
}

}  // namespace
}  // namespace tw
