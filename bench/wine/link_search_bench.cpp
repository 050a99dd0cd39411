// How long tarnwick-cli's shortcut search takes over a large Start menu.
// Makes N links (20 to a subfolder of the Start menu's "Link Bench" folder,
// pointing at the system folder's programs) once, then times
// `tarnwick-cli adopt` for a profile no link starts, which searches every
// link and changes none, against `tarnwick-cli list`, which searches none.
//   link_search_bench.exe TARNWICK-CLI [N] [RUNS]
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

bool MakeLink(const std::string& file, const std::string& target, int number) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  link->SetPath(target.c_str());
  link->SetArguments(("-n " + std::to_string(number)).c_str());
  link->SetWorkingDirectory("C:\\");
  IPersistFile* persist = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    saved = SUCCEEDED(persist->Save(wide, TRUE));
    persist->Release();
  }
  link->Release();
  return saved;
}

// Milliseconds from the start of `command` to its end.
double Run(const std::string& command) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = command;
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  QueryPerformanceCounter(&end);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1000.0 * (end.QuadPart - begin.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: link_search_bench TARNWICK-CLI [N] [RUNS]\n");
    return 2;
  }
  const std::string cli = std::string("\"") + argv[1] + "\"";
  const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
  CoInitialize(nullptr);

  const std::string root = SpecialFolder(CSIDL_PROGRAMS) + "\\Link Bench";
  std::vector<std::string> programs;
  WIN32_FIND_DATAA entry;
  const std::string system = SpecialFolder(CSIDL_SYSTEM);
  HANDLE search = FindFirstFileA((system + "\\*.exe").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do programs.push_back(system + "\\" + entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  if (programs.empty()) return 1;
  CreateDirectoryA(root.c_str(), nullptr);
  int made = 0;
  for (int i = 0; i < count; ++i) {
    const std::string folder = root + "\\Group " + std::to_string(i / 20);
    const std::string file = folder + "\\Program " + std::to_string(i) + ".lnk";
    if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    CreateDirectoryA(folder.c_str(), nullptr);
    made += MakeLink(file, programs[i % programs.size()], i);
  }

  HKEY key;
  const char* profile = "Software\\Hexmoor\\Tarnwick\\Link Bench";
  const char* target = "C:\\Games\\No Such Game\\GAME.EXE";
  RegCreateKeyA(HKEY_CURRENT_USER, profile, &key);
  RegSetValueExA(key, "FilePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(target),
                 static_cast<DWORD>(std::strlen(target) + 1));
  RegCloseKey(key);

  std::vector<double> search_ms, list_ms;
  Run(cli + " adopt \"Link Bench\"");  // warm-up: the file cache, the DLLs
  for (int i = 0; i < runs; ++i) {
    search_ms.push_back(Run(cli + " adopt \"Link Bench\""));
    list_ms.push_back(Run(cli + " list"));
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, profile);
  std::printf("%d links (%d made now) over %zu programs; median of %d runs:\n", count, made,
              programs.size(), runs);
  std::printf("  tarnwick-cli adopt (searches every link): %.0f ms\n", Median(search_ms));
  std::printf("  tarnwick-cli list (searches none):        %.0f ms\n", Median(list_ms));
  std::printf("  the search itself:                        %.0f ms\n",
              Median(search_ms) - Median(list_ms));
  CoUninitialize();
  return 0;
}
