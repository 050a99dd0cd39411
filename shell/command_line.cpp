#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "shell/startup.h"
#include "store/profile_store.h"

namespace tw {

namespace {

// Blanks and every control character separate arguments; bytes above 127 are
// text, so the comparison is unsigned.
bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimSeparators(const std::string& s) {
  std::string::size_type first = 0;
  while (first < s.size() && IsSeparator(s[first])) ++first;
  std::string::size_type last = s.size();
  while (last > first && IsSeparator(s[last - 1])) --last;
  return s.substr(first, last - first);
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> tokens;
  std::string::size_type i = 0;
  const std::string::size_type n = commandLine.size();
  while (true) {
    while (i < n && IsSeparator(commandLine[i])) ++i;
    if (i >= n) break;
    std::string token;
    bool quoted = false;
    while (i < n && (quoted || !IsSeparator(commandLine[i]))) {
      if (commandLine[i] == '"') {
        quoted = !quoted;
      } else {
        token += commandLine[i];
      }
      ++i;
    }
    tokens.push_back(token);
  }
  // The first token is the program's own name.
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

void ParseArguments(const std::vector<std::string>& args, StartupState& state) {
  state.debugMode = !args.empty() && AsciiUpper(args.front()) == "-DEBUG";
  std::string joined;
  for (std::size_t i = state.debugMode ? 1 : 0; i < args.size(); ++i) joined += args[i] + ' ';
  state.commandLineProfile = TrimSeparators(joined);
  state.runDirect = !state.commandLineProfile.empty();
}

bool StartsInTray(const std::string& commandLine) {
  StartupState state;
  ParseArguments(SplitCommandLine(commandLine), state);
  return !state.runDirect;
}

std::string ProfileToHandOver(const std::string& commandLine, RegistryHandle& programRegistry) {
  StartupState state;
  ParseArguments(SplitCommandLine(commandLine), state);
  if (!state.runDirect || state.debugMode) return std::string();
  // Without a profile of that name here, the tray copy has nothing to run:
  // this copy starts what an all-users shortcut held, or says it cannot.
  if (!programRegistry.KeyExists(ProfileKeyPath(state.commandLineProfile))) return std::string();
  // Missing or of the wrong type, the setting reads as its default, on.
  ScopedKey key(programRegistry, kProgramKey, false);
  if (key && programRegistry.HasInteger(kReloadSettingsValue) &&
      !programRegistry.ReadBool(kReloadSettingsValue)) {
    return std::string();
  }
  return state.commandLineProfile;
}

}  // namespace tw
