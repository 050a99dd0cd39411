// Splitting a command line and taking the profile name from it: any bytes,
// including quotes without partners, control characters and bytes above 127.
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/ascii_case.h"
#include "shell/startup.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tw::fuzz::Require;
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = tw::SplitCommandLine(line);

  size_t characters = 0;
  for (const std::string& arg : args) {
    Require(arg.find('"') == std::string::npos, "quotes are removed from arguments");
    characters += arg.size();
  }
  Require(characters <= line.size(), "arguments hold no more than the line");

  tw::StartupState state;
  tw::ParseArguments(args, state);
  const std::string& profile = state.commandLineProfile;
  Require(state.runDirect == !profile.empty(), "a direct run exactly when a name is given");
  Require(profile.empty() || (!IsSeparator(profile.front()) && !IsSeparator(profile.back())),
          "the name is trimmed");
  Require(!state.debugMode || tw::AsciiUpper(args.front()) == "-DEBUG",
          "debug mode only from a first -DEBUG");

  // Splitting is stable: the name, quoted, splits back into itself alone.
  if (!profile.empty()) {
    const std::vector<std::string> again = tw::SplitCommandLine("t.exe \"" + profile + "\"");
    if (profile.find('"') == std::string::npos) {
      Require(again.size() == 1 && again[0] == profile, "a quoted name is one argument");
    }
  }
  return 0;
}
