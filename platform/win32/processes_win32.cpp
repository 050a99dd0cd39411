#include "platform/win32/processes_win32.h"

#include <shellapi.h>

namespace tw {

// The record size every shell since Windows 95 accepts.
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "SHELLEXECUTEINFOA must be the 60-byte record");

namespace {

const char* TextOrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

HANDLE ToHandle(ProcessHandle process) { return reinterpret_cast<HANDLE>(process); }

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
  if (!ShellExecuteExA(&info)) return false;
  *process = reinterpret_cast<ProcessHandle>(info.hProcess);
  return true;
}

bool Win32Processes::ExitCode(ProcessHandle process, uint32_t* code) {
  DWORD exitCode = 0;
  if (process == 0 || !GetExitCodeProcess(ToHandle(process), &exitCode)) return false;
  *code = exitCode;
  return true;
}

void Win32Processes::Close(ProcessHandle process) {
  if (process != 0) CloseHandle(ToHandle(process));
}

}  // namespace tw
