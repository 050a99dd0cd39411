// Starting programs under test and making sure none outlives its test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// A started process; ends it (TerminateProcess) if it is still running when
// the object goes away, so a failed test leaves nothing behind.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // `arguments` is the raw rest of the command line after the quoted program
  // path; `directory` empty means the program's own folder. Throws when the
  // process cannot be created.
  static ChildProcess Start(const std::string& exe, const std::string& arguments,
                            const std::string& directory = std::string(),
                            DWORD creationFlags = 0);

  DWORD id() const { return id_; }
  bool Running() const;
  // The exit code, or nothing if the process still runs after `timeoutMs`.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  // True once the process waits for input in its message loop (start-up done).
  bool WaitForIdle(DWORD timeoutMs);
  void Terminate();

 private:
  void Close();

  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// One argument quoted the way the C runtime splits command lines.
std::string QuoteArgument(const std::string& argument);

// Ends every running process whose executable has this file name.
void KillProcessesNamed(const std::string& exeName);

}  // namespace e2e
