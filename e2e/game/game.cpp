// Stands in for a game: records how it was started, waits, and exits with a
// chosen code. A GUI-subsystem program without a window, like a game that has
// not opened its screen yet.
//
//   game.exe [--record=FILE] [--sleep=MS] [--exit=CODE] [anything else]
//   game.exe --hand-over [the same options]
//
// With --hand-over it stands in for a launcher instead: it starts itself again
// with the other arguments, as the game, and ends at once.
//
// The record is written before the wait, whole or not at all (written aside,
// then renamed), as lines "key=value": command_line, directory, version
// (major.minor as GetVersion reports it), platform (9x or nt), show (the
// window state its starter asked for, or "none"), and one "arg" line per
// argument as the C runtime split them, its own options included.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool TakeValue(const char* arg, const char* name, std::string* out) {
  const size_t n = std::strlen(name);
  if (std::strncmp(arg, name, n) != 0) return false;
  *out = arg + n;
  return true;
}

bool WriteRecord(const std::string& path) {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof directory, directory);
  const DWORD version = GetVersion();
  char versionText[32];
  std::snprintf(versionText, sizeof versionText, "%lu.%lu",
                static_cast<unsigned long>(LOBYTE(LOWORD(version))),
                static_cast<unsigned long>(HIBYTE(LOWORD(version))));

  std::string text;
  text += "command_line=" + std::string(GetCommandLineA()) + "\n";
  text += "directory=" + std::string(directory) + "\n";
  text += "version=" + std::string(versionText) + "\n";
  text += std::string("platform=") + ((version & 0x80000000u) ? "9x" : "nt") + "\n";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  text += "show=" + ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow)
                                                              : std::string("none")) + "\n";
  for (int i = 1; i < __argc; ++i) text += "arg=" + std::string(__argv[i]) + "\n";

  const std::string aside = path + ".part";
  FILE* file = std::fopen(aside.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) return false;
  DeleteFileA(path.c_str());
  return MoveFileA(aside.c_str(), path.c_str()) != 0;
}

}  // namespace

// Starts this program again with the command line minus " --hand-over".
bool HandOver() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string commandLine = GetCommandLineA();
  const std::string::size_type at = commandLine.find(" --hand-over");
  if (at != std::string::npos) commandLine.erase(at, std::strlen(" --hand-over"));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--hand-over") == 0) return HandOver() ? 0 : 254;
  }
  std::string record;
  std::string sleepMs = "0";
  std::string exitCode = "0";
  for (int i = 1; i < __argc; ++i) {
    TakeValue(__argv[i], "--record=", &record) || TakeValue(__argv[i], "--sleep=", &sleepMs) ||
        TakeValue(__argv[i], "--exit=", &exitCode);
  }
  if (!record.empty() && !WriteRecord(record)) return 255;
  Sleep(std::strtoul(sleepMs.c_str(), nullptr, 10));
  return static_cast<int>(std::strtoul(exitCode.c_str(), nullptr, 10));
}
