#include "harness/driver_game.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <fstream>

namespace e2e {

std::optional<GameRecord> ReadGameRecord(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  GameRecord record;
  std::string line;
  while (std::getline(file, line)) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "arg") {
      record.arguments.push_back(value);
    } else {
      record.fields[key] = value;
    }
  }
  return record;
}

bool ProcessRunningNamed(const std::string& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    const char* name = entry.szExeFile;
    if (const char* slash = std::strrchr(name, '\\')) name = slash + 1;
    found = _stricmp(name, exeName.c_str()) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace e2e
