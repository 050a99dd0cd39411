#include "harness/process.h"

#include <tlhelp32.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace e2e {

namespace {

constexpr DWORD kKillWaitMs = 5000;

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

ChildProcess::~ChildProcess() { Terminate(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
  other.id_ = 0;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Terminate();
    process_ = other.process_;
    id_ = other.id_;
    other.process_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

ChildProcess ChildProcess::Start(const std::string& exe, const std::string& arguments,
                                 const std::string& directory, DWORD creationFlags) {
  std::string commandLine = QuoteArgument(exe);
  if (!arguments.empty()) commandLine += " " + arguments;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  const std::string folder = directory.empty() ? FolderOf(exe) : directory;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    throw std::runtime_error("CreateProcessA(" + commandLine + ") failed with error " +
                             std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  ChildProcess child;
  child.process_ = info.hProcess;
  child.id_ = info.dwProcessId;
  return child;
}

bool ChildProcess::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) {
  if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool ChildProcess::WaitForIdle(DWORD timeoutMs) {
  return process_ != nullptr && WaitForInputIdle(process_, timeoutMs) == 0;
}

void ChildProcess::Terminate() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kKillWaitMs);
  }
  Close();
}

void ChildProcess::Close() {
  CloseHandle(process_);
  process_ = nullptr;
  id_ = 0;
}

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

void KillProcessesNamed(const std::string& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    const char* name = entry.szExeFile;
    if (const char* slash = strrchr(name, '\\')) name = slash + 1;
    if (_stricmp(name, exeName.c_str()) != 0) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, kKillWaitMs);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

}  // namespace e2e
