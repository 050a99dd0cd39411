// Starting programs through the shell, polling their exit codes, and the
// Toolhelp process list (which Windows 98, 2000 and XP all have).
#pragma once

#include <windows.h>

#include <vector>

#include "platform/processes.h"

namespace tw {

// How a launched process's id is found: GetProcessId (XP SP1 and later),
// ntdll's process query (2000), or process lists before and after (98). The
// best the system has is used; tests force the older ways.
enum class ProcessIdRoute { System, NtQuery, ProcessLists };

class Win32Processes : public Processes {
 public:
  // `owner`: the window that owns any message box the shell shows.
  explicit Win32Processes(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  // No better route than `route` is taken, even where the system has one.
  void ForceIdRoute(ProcessIdRoute route) { route_ = route; }

  bool Launch(const LaunchRequest& request, ProcessHandle* process) override;
  bool ExitCode(ProcessHandle process, uint32_t* code) override;
  void Close(ProcessHandle process) override;
  bool Snapshot(std::vector<ProcessEntry>* processes) override;
  ProcessHandle Open(uint32_t id) override;
  uint32_t IdOf(ProcessHandle process) override;
  std::string FullPath(const std::string& file) override;

 private:
  ProcessIdRoute IdRoute() const;

  HWND owner_;
  ProcessIdRoute route_ = ProcessIdRoute::System;
  // Ids of the handles given out: Windows 98 and 2000 cannot tell a
  // handle's process id, so it is found when the handle is made.
  struct KnownId {
    ProcessHandle handle;
    uint32_t id;
  };
  void Remember(ProcessHandle handle, uint32_t id);
  std::vector<KnownId> ids_;
};

}  // namespace tw
