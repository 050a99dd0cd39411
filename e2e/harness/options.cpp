#include "harness/options.h"

#include <windows.h>

#include <cstring>

namespace e2e {

namespace {

Options g_options;

bool TakeValue(const char* arg, const char* name, std::string* out) {
  const size_t n = std::strlen(name);
  if (std::strncmp(arg, name, n) != 0) return false;
  *out = arg + n;
  return true;
}

}  // namespace

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  // Exported by Wine's kernel32 only; absent on Windows, where Unix paths
  // never come up.
  using ToDos = WCHAR*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (toDos != nullptr) {
    if (WCHAR* wide = toDos(path.c_str())) {
      char buffer[MAX_PATH * 2] = {};
      WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
      HeapFree(GetProcessHeap(), 0, wide);
      return buffer;
    }
  }
  std::string dos = "Z:" + path;
  for (char& c : dos) {
    if (c == '/') c = '\\';
  }
  return dos;
}

std::string ParseOptions(int* argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const char* arg = argv[i];
    if (TakeValue(arg, "--tarnwick=", &g_options.tarnwickExe) ||
        TakeValue(arg, "--game=", &g_options.gameExe) ||
        TakeValue(arg, "--fixtures=", &g_options.fixtureDir) ||
        TakeValue(arg, "--winver=", &g_options.winVersion) ||
        TakeValue(arg, "--setup=", &g_options.setupExe)) {
      continue;
    }
    argv[kept++] = argv[i];
  }
  *argc = kept;
  argv[kept] = nullptr;

  g_options.tarnwickExe = ToWindowsPath(g_options.tarnwickExe);
  g_options.gameExe = ToWindowsPath(g_options.gameExe);
  g_options.fixtureDir = ToWindowsPath(g_options.fixtureDir);
  g_options.setupExe = ToWindowsPath(g_options.setupExe);
  while (!g_options.fixtureDir.empty() && g_options.fixtureDir.back() == '\\') {
    g_options.fixtureDir.pop_back();
  }

  std::string missing;
  if (g_options.tarnwickExe.empty()) missing += " --tarnwick=PATH";
  if (g_options.gameExe.empty()) missing += " --game=PATH";
  if (g_options.fixtureDir.empty()) missing += " --fixtures=DIR";
  if (g_options.winVersion.empty()) missing += " --winver=win98|win2k|winxp";
  return missing.empty() ? std::string() : "missing options:" + missing;
}

const Options& TestOptions() { return g_options; }

}  // namespace e2e
