// Starting programs through the shell and polling their exit codes.
#pragma once

#include <windows.h>

#include "platform/processes.h"

namespace tw {

class Win32Processes : public Processes {
 public:
  // `owner`: the window that owns any message box the shell shows.
  explicit Win32Processes(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  bool Launch(const LaunchRequest& request, ProcessHandle* process) override;
  bool ExitCode(ProcessHandle process, uint32_t* code) override;
  void Close(ProcessHandle process) override;

 private:
  HWND owner_;
};

}  // namespace tw
