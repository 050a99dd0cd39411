// What the stand-in game (e2e/game) did: the record it writes of its start
// ("key=value" lines, one "arg" line per argument) and whether it runs.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct GameRecord {
  std::map<std::string, std::string> fields;  // command_line, directory, version, ...
  std::vector<std::string> arguments;         // as the C runtime split them
};

// Nothing while the file does not exist; the game writes it whole or not at all.
std::optional<GameRecord> ReadGameRecord(const std::string& path);

// Whether a process with this executable file name ("game.exe") exists.
bool ProcessRunningNamed(const std::string& exeName);

}  // namespace e2e
