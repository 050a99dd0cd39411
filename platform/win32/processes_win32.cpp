#include "platform/win32/processes_win32.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <set>

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
  if (file.find('\\') != std::string::npos) return file;
  SnapshotHandle modules(TH32CS_SNAPMODULE, entry.th32ProcessID);
  if (!modules.valid()) return std::string();
  MODULEENTRY32 module;
  module.dwSize = sizeof module;
  if (!Module32First(modules.get(), &module)) return std::string();
  return module.szExePath;
}

// Ids of our own children that run now.
std::set<DWORD> OwnChildren() {
  std::set<DWORD> children;
  SnapshotHandle snapshot(TH32CS_SNAPPROCESS, 0);
  if (!snapshot.valid()) return children;
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == self) children.insert(entry.th32ProcessID);
  }
  return children;
}

// GetProcessId came with XP SP1; where it exists it is the sure answer.
using GetProcessIdFn = DWORD(WINAPI*)(HANDLE);
GetProcessIdFn SystemProcessId() {
  static const auto getProcessId = reinterpret_cast<GetProcessIdFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessId")));
  return getProcessId;
}

}  // namespace

bool Win32Processes::Launch(const LaunchRequest& request, ProcessHandle* process) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = owner_;
  info.lpVerb = nullptr;
  info.lpFile = request.file.c_str();
  info.lpParameters = TextOrNull(request.parameters);
  info.lpDirectory = TextOrNull(request.directory);
  info.nShow = SW_SHOWNORMAL;
  *process = 0;
  const GetProcessIdFn systemId = SystemProcessId();
  const std::set<DWORD> before = systemId != nullptr ? std::set<DWORD>() : OwnChildren();
  if (!ShellExecuteExA(&info)) return false;
  *process = reinterpret_cast<ProcessHandle>(info.hProcess);
  if (info.hProcess != nullptr) {
    DWORD id = systemId != nullptr ? systemId(info.hProcess) : 0;
    if (systemId == nullptr) {
      // The one child of ours that was not there before the launch.
      std::set<DWORD> fresh;
      for (DWORD child : OwnChildren()) {
        if (before.count(child) == 0) fresh.insert(child);
      }
      if (fresh.size() == 1) id = *fresh.begin();
    }
    ids_[*process] = id;
  }
  return true;
}

bool Win32Processes::ExitCode(ProcessHandle process, uint32_t* code) {
  DWORD exitCode = 0;
  if (process == 0 || !GetExitCodeProcess(ToHandle(process), &exitCode)) return false;
  *code = exitCode;
  return true;
}

void Win32Processes::Close(ProcessHandle process) {
  if (process == 0) return;
  ids_.erase(process);
  CloseHandle(ToHandle(process));
}

bool Win32Processes::Snapshot(std::vector<ProcessEntry>* processes) {
  SnapshotHandle snapshot(TH32CS_SNAPPROCESS, 0);
  if (!snapshot.valid()) return false;
  std::vector<ProcessEntry> found;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    const std::string path = ProgramPath(entry);
    found.push_back(ProcessEntry{entry.th32ProcessID, entry.th32ParentProcessID,
                                 path.empty() ? path : FullPath(path)});
  }
  *processes = found;
  return true;
}

ProcessHandle Win32Processes::Open(uint32_t id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return 0;
  const ProcessHandle handle = reinterpret_cast<ProcessHandle>(process);
  ids_[handle] = id;
  return handle;
}

uint32_t Win32Processes::IdOf(ProcessHandle process) {
  auto it = ids_.find(process);
  return it == ids_.end() ? 0 : it->second;
}

std::string Win32Processes::FullPath(const std::string& file) {
  if (file.empty()) return file;
  char full[MAX_PATH];
  char* name = nullptr;
  DWORD length = GetFullPathNameA(file.c_str(), sizeof full, full, &name);
  std::string path = length > 0 && length < sizeof full ? std::string(full, length) : file;
  // Windows 98 may give short names (PROGRA~1); compare in the long form.
  char longPath[MAX_PATH];
  length = GetLongPathNameA(path.c_str(), longPath, sizeof longPath);
  if (length > 0 && length < sizeof longPath) path.assign(longPath, length);
  return path;
}

}  // namespace tw
