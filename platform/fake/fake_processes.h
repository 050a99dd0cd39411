// Processes whose start, exit code and handles the test controls. Handles are
// counted so a test can see that each one is closed exactly once.
#pragma once

#include <map>
#include <vector>

#include "platform/processes.h"

namespace tw {

class FakeProcesses : public Processes {
 public:
  bool Launch(const LaunchRequest& request, ProcessHandle* process) override;
  bool ExitCode(ProcessHandle process, uint32_t* code) override;
  void Close(ProcessHandle process) override;

  // The next launches fail (the shell refuses the file) while set.
  void SetLaunchFails(bool fails) { launchFails_ = fails; }
  // The next launches succeed without a process handle while set.
  void SetNoHandle(bool noHandle) { noHandle_ = noHandle; }
  // Exit code of a launched process (others are ignored); new ones run (259).
  void SetExitCode(ProcessHandle process, uint32_t code);
  // Exit-code queries of this process fail.
  void SetQueryFails(ProcessHandle process, bool fails);

  const std::vector<LaunchRequest>& Launches() const { return launches_; }
  // The handle the last successful launch gave out (0 if none did).
  ProcessHandle LastHandle() const { return lastHandle_; }
  int OpenHandles() const;
  // Close calls on handles not open (twice, never given out, or 0).
  int BadCloses() const { return badCloses_; }

 private:
  struct Proc {
    uint32_t exitCode = kStillActive;
    bool queryFails = false;
    bool open = true;
  };

  bool launchFails_ = false;
  bool noHandle_ = false;
  std::vector<LaunchRequest> launches_;
  std::map<ProcessHandle, Proc> procs_;
  ProcessHandle nextHandle_ = 0x100;
  ProcessHandle lastHandle_ = 0;
  int badCloses_ = 0;
};

}  // namespace tw
