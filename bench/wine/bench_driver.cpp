// The Windows-side half of the side-by-side benchmark (not shipped). Runs
// inside the Wine prefix, takes one command per line on standard input and
// answers with one line of "key=value" fields on standard output, so the
// Linux-side script (run_bench.py) can add what only Linux sees.
//
//   start CLASS EXE [ARGS]   start a tray program; time until a top-level
//                            window of CLASS belongs to it (window_ms) and
//                            until the shell's tray holds one more icon than
//                            before (tray_ms)
//   memory PID               private bytes and working set (psapi)
//   stop PID                 close its windows, wait for the end
//   run RECORD EXE [ARGS]    start a program that ends by itself; time until
//                            it ended (exit_ms) and until the file RECORD
//                            exists (record_ms: the game it starts has run)
//   quit
//
// Times come from QueryPerformanceCounter, taken around polls 1 ms apart.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct WindowSearch {
  DWORD pid;
  const char* className;  // nullptr: any
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (!search->className || std::strcmp(name, search->className) == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
  WindowSearch search{pid, className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Cheaper than enumerating every window, for the polls.
bool HasWindow(DWORD pid, const char* className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) return true;
  }
  return false;
}

// Icons in the notification area. The shell gives each icon a tool in a
// tooltip window of its own process; another process can count those tools.
int TrayIconCount() {
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (!tray) return -1;
  DWORD shellPid = 0;
  GetWindowThreadProcessId(tray, &shellPid);
  int count = 0;
  for (HWND tip : TopLevelWindows(shellPid, TOOLTIPS_CLASSA)) {
    DWORD_PTR tools = 0;
    if (SendMessageTimeoutA(tip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &tools)) {
      count += static_cast<int>(tools);
    }
  }
  return count;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION* process) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, process) != FALSE;
}

void CmdStart(const std::string& className, const std::string& commandLine) {
  const int iconsBefore = TrayIconCount();
  const double t0 = Now();
  PROCESS_INFORMATION process = {};
  if (!Start(commandLine, &process)) {
    std::printf("error=start_failed code=%lu\n", GetLastError());
    return;
  }
  double windowMs = -1, trayMs = -1;
  while (Now() - t0 < 30000 && (windowMs < 0 || trayMs < 0)) {
    if (windowMs < 0 && HasWindow(process.dwProcessId, className.c_str())) windowMs = Now() - t0;
    // The icon needs the window, so the shell is asked only after it exists.
    if (windowMs >= 0 && trayMs < 0 && TrayIconCount() > iconsBefore) trayMs = Now() - t0;
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  std::printf("pid=%lu window_ms=%.1f tray_ms=%.1f\n", process.dwProcessId, windowMs, trayMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void CmdMemory(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!process || !GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                        sizeof counters)) {
    std::printf("error=memory_failed code=%lu\n", GetLastError());
  } else {
    // Wine 8 leaves PrivateUsage at 0 and reports the process's private
    // memory as its commit charge, which Windows keeps equal to it.
    const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    std::printf("private_bytes=%lu working_set=%lu pagefile=%lu\n",
                static_cast<unsigned long>(privateBytes),
                static_cast<unsigned long>(counters.WorkingSetSize),
                static_cast<unsigned long>(counters.PagefileUsage));
  }
  if (process) CloseHandle(process);
}

void CmdStop(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) {
    std::printf("error=open_failed code=%lu\n", GetLastError());
    return;
  }
  for (HWND window : TopLevelWindows(pid, nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
  bool closed = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  if (!closed) TerminateProcess(process, 1);
  std::printf("closed=%d\n", closed ? 1 : 0);
  CloseHandle(process);
}

void CmdRun(const std::string& record, const std::string& commandLine) {
  DeleteFileA(record.c_str());
  const double t0 = Now();
  PROCESS_INFORMATION process = {};
  if (!Start(commandLine, &process)) {
    std::printf("error=start_failed code=%lu\n", GetLastError());
    return;
  }
  double exitMs = -1, recordMs = -1;
  while (Now() - t0 < 30000 && (exitMs < 0 || recordMs < 0)) {
    if (exitMs < 0 && WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) exitMs = Now() - t0;
    if (recordMs < 0 && GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES) {
      recordMs = Now() - t0;
    }
    Sleep(1);
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit_ms=%.1f record_ms=%.1f exit_code=%lu\n", exitMs, recordMs, code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// The rest of a line after `count` blank-separated words.
std::string Rest(const std::string& line, int count) {
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    at = line.find(' ', at);
    if (at == std::string::npos) return "";
    ++at;
  }
  return line.substr(at);
}

std::string Word(const std::string& line, int index) {
  const std::string rest = Rest(line, index);
  return rest.substr(0, rest.find(' '));
}

}  // namespace

int main() {
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, stdin)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const std::string command = Word(line, 0);
    if (command == "start") {
      CmdStart(Word(line, 1), Rest(line, 2));
    } else if (command == "memory") {
      CmdMemory(std::strtoul(Word(line, 1).c_str(), nullptr, 10));
    } else if (command == "stop") {
      CmdStop(std::strtoul(Word(line, 1).c_str(), nullptr, 10));
    } else if (command == "run") {
      CmdRun(Word(line, 1), Rest(line, 2));  // RECORD without blanks or quotes
    } else if (command == "icons") {
      std::printf("icons=%d\n", TrayIconCount());
    } else if (command == "quit") {
      break;
    } else {
      std::printf("error=unknown_command\n");
    }
    std::fflush(stdout);
  }
  return 0;
}
