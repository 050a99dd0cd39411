#include "platform/win32/processes_win32.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include "platform/ansi_text.h"
#include "platform/launched_process.h"
#include "platform/win32/win95_calls.h"

namespace tw {

// The record size every shell since Windows 95 accepts.
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "SHELLEXECUTEINFOA must be the 60-byte record");

namespace {

const char* TextOrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

HANDLE ToHandle(ProcessHandle process) { return reinterpret_cast<HANDLE>(process); }

// Closes a Toolhelp snapshot on every way out.
class SnapshotHandle {
 public:
  SnapshotHandle(DWORD flags, DWORD process) : handle_(CreateToolhelp32Snapshot(flags, process)) {}
  ~SnapshotHandle() {
    if (valid()) CloseHandle(handle_);
  }
  SnapshotHandle(const SnapshotHandle&) = delete;
  SnapshotHandle& operator=(const SnapshotHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Windows 98 gives the full path in the process entry; NT gives only the
// file name there, and the path is the first module's.
std::string ProgramPath(const PROCESSENTRY32& entry) {
  const std::string file = entry.szExeFile;
  if (FindChar(file, '\\') != std::string::npos) return file;
  SnapshotHandle modules(TH32CS_SNAPMODULE, entry.th32ProcessID);
  if (!modules.valid()) return std::string();
  MODULEENTRY32 module;
  module.dwSize = sizeof module;
  if (!Module32First(modules.get(), &module)) return std::string();
  return module.szExePath;
}

// One Toolhelp process list; paths only when asked, since on NT each costs
// a module snapshot. Id 0 is left out: on NT a module snapshot of 0 means
// this process.
bool ListProcesses(std::vector<ProcessEntry>* processes, bool withPaths) {
  SnapshotHandle snapshot(TH32CS_SNAPPROCESS, 0);
  if (!snapshot.valid()) return false;
  processes->clear();
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == 0) continue;
    processes->push_back(ProcessEntry{entry.th32ProcessID, entry.th32ParentProcessID,
                                      withPaths ? ProgramPath(entry) : std::string()});
  }
  return true;
}

// GetProcessId came with XP SP1; where it exists it is the sure answer.
using GetProcessIdFn = DWORD(WINAPI*)(HANDLE);
GetProcessIdFn SystemProcessId() {
  static const auto getProcessId = reinterpret_cast<GetProcessIdFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessId")));
  return getProcessId;
}

// On 2000 the id comes from the handle through ntdll's process query, which
// Windows 98 does not have.
struct BasicProcessInformation {
  LONG exitStatus;
  void* pebBaseAddress;
  ULONG_PTR affinityMask;
  LONG basePriority;
  ULONG_PTR uniqueProcessId;
  ULONG_PTR inheritedFromUniqueProcessId;
};
using QueryProcessFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
QueryProcessFn NtProcessQuery() {
  static const auto query = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return reinterpret_cast<QueryProcessFn>(reinterpret_cast<void*>(
        ntdll != nullptr ? GetProcAddress(ntdll, "NtQueryInformationProcess") : nullptr));
  }();
  return query;
}

}  // namespace

bool Win32Processes::Launch(const LaunchRequest& request, ProcessHandle* process) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  // Tarnwick reports a failed start itself: without NO_UI the shell shows
  // its own box ("Path not found.") first.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner_;
  info.lpVerb = nullptr;
  info.lpFile = request.file.c_str();
  info.lpParameters = TextOrNull(request.parameters);
  info.lpDirectory = TextOrNull(request.directory);
  info.nShow = request.showCommand != 0 ? request.showCommand : SW_SHOWNORMAL;
  *process = 0;
  const bool fromLists = IdRoute() == ProcessIdRoute::ProcessLists;
  std::vector<ProcessEntry> before;
  if (fromLists) ListProcesses(&before, false);
  if (!ShellExecuteExA(&info)) return false;
  *process = reinterpret_cast<ProcessHandle>(info.hProcess);
  if (info.hProcess == nullptr) return true;
  uint32_t id = 0;
  switch (IdRoute()) {
    case ProcessIdRoute::System:
      id = SystemProcessId()(info.hProcess);
      break;
    case ProcessIdRoute::NtQuery: {
      BasicProcessInformation basic = {};
      if (NtProcessQuery()(info.hProcess, 0, &basic, sizeof basic, nullptr) >= 0) {
        id = static_cast<uint32_t>(basic.uniqueProcessId);
      }
      break;
    }
    case ProcessIdRoute::ProcessLists: {
      std::vector<ProcessEntry> after;
      if (ListProcesses(&after, false)) id = LaunchedProcessId(before, after, GetCurrentProcessId());
      break;
    }
  }
  Remember(*process, id);
  return true;
}

ProcessIdRoute Win32Processes::IdRoute() const {
  if (route_ == ProcessIdRoute::System && SystemProcessId() != nullptr) return route_;
  if (route_ != ProcessIdRoute::ProcessLists && NtProcessQuery() != nullptr) {
    return ProcessIdRoute::NtQuery;
  }
  return ProcessIdRoute::ProcessLists;
}

bool Win32Processes::ExitCode(ProcessHandle process, uint32_t* code) {
  DWORD exitCode = 0;
  if (process == 0) return false;
  // A game may end with 259 itself: only the handle tells whether it runs,
  // and such a game reads as ended with 0.
  const DWORD wait = WaitForSingleObject(ToHandle(process), 0);
  if (wait == WAIT_TIMEOUT) {
    *code = kStillActive;
    return true;
  }
  if (wait != WAIT_OBJECT_0 || !GetExitCodeProcess(ToHandle(process), &exitCode)) return false;
  *code = exitCode == kStillActive ? 0 : exitCode;
  return true;
}

void Win32Processes::Close(ProcessHandle process) {
  if (process == 0) return;
  for (KnownId& known : ids_) {
    if (known.handle == process) {
      known = ids_.back();
      ids_.pop_back();
      break;
    }
  }
  CloseHandle(ToHandle(process));
}

bool Win32Processes::Snapshot(std::vector<ProcessEntry>* processes) {
  std::vector<ProcessEntry> found;
  if (!ListProcesses(&found, true)) return false;
  for (ProcessEntry& entry : found) {
    if (!entry.path.empty()) entry.path = FullPath(entry.path);
  }
  processes->swap(found);
  return true;
}

ProcessHandle Win32Processes::Open(uint32_t id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return 0;
  const ProcessHandle handle = reinterpret_cast<ProcessHandle>(process);
  Remember(handle, id);
  return handle;
}

uint32_t Win32Processes::IdOf(ProcessHandle process) {
  for (const KnownId& known : ids_) {
    if (known.handle == process) return known.id;
  }
  return 0;
}

void Win32Processes::Remember(ProcessHandle handle, uint32_t id) {
  for (KnownId& known : ids_) {
    if (known.handle == handle) {
      known.id = id;
      return;
    }
  }
  ids_.push_back({handle, id});
}

std::string Win32Processes::FullPath(const std::string& file) {
  if (file.empty()) return file;
  char full[MAX_PATH];
  char* name = nullptr;
  DWORD length = GetFullPathNameA(file.c_str(), sizeof full, full, &name);
  std::string path = length > 0 && length < sizeof full ? std::string(full, length) : file;
  // Windows 98 may give short names (PROGRA~1); compare in the long form.
  std::string longPath = LongPathName(path);
  return longPath.empty() ? path : longPath;
}

}  // namespace tw
