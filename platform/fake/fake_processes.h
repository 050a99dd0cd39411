// Processes whose start, exit code, handles, ids and parents the test
// controls. Handles are counted so a test can see that each one is closed
// exactly once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace tw {

class FakeProcesses : public Processes {
 public:
  // The id the program under test runs as: the parent of what it launches.
  static constexpr uint32_t kOwnId = 4;

  bool Launch(const LaunchRequest& request, ProcessHandle* process) override;
  bool ExitCode(ProcessHandle process, uint32_t* code) override;
  void Close(ProcessHandle process) override;
  bool Snapshot(std::vector<ProcessEntry>* processes) override;
  ProcessHandle Open(uint32_t id) override;
  uint32_t IdOf(ProcessHandle process) override;
  std::string FullPath(const std::string& file) override { return file; }

  // The next launches fail (the shell refuses the file) while set.
  void SetLaunchFails(bool fails) { launchFails_ = fails; }
  // The next launches succeed without a process handle while set.
  void SetNoHandle(bool noHandle) { noHandle_ = noHandle; }
  // Exit code of the process behind a handle; new processes run (259).
  void SetExitCode(ProcessHandle process, uint32_t code);
  // Exit-code queries through this handle fail.
  void SetQueryFails(ProcessHandle process, bool fails);
  void SetSnapshotFails(bool fails) { snapshotFails_ = fails; }
  // Snapshots list processes without their paths while set (as for a
  // process of another user).
  void SetPathsHidden(bool hidden) { pathsHidden_ = hidden; }
  // The next launches run under this path rather than their own file (a
  // batch file's game, a 9x short path) while set; "" ends it.
  void SetLaunchedPath(const std::string& path) { launchedPath_ = path; }

  // A process that runs without being launched here (a game found after a
  // restart, or one a launched program started); its id.
  uint32_t AddRunning(const std::string& path, uint32_t parentId);
  void EndProcess(uint32_t id, uint32_t code = 0);
  bool IsRunning(uint32_t id) const;

  const std::vector<LaunchRequest>& Launches() const { return launches_; }
  // The handle the last successful launch gave out (0 if none did).
  ProcessHandle LastHandle() const { return lastHandle_; }
  int OpenHandles() const;
  // Close calls on handles not open (twice, never given out, or 0).
  int BadCloses() const { return badCloses_; }

 private:
  struct Proc {
    uint32_t parentId = 0;
    std::string path;
    uint32_t exitCode = kStillActive;
  };
  struct Handle {
    uint32_t id = 0;
    bool open = true;
    bool queryFails = false;
  };
  ProcessHandle NewHandle(uint32_t id);

  bool launchFails_ = false;
  bool noHandle_ = false;
  bool snapshotFails_ = false;
  bool pathsHidden_ = false;
  std::string launchedPath_;
  std::vector<LaunchRequest> launches_;
  std::map<uint32_t, Proc> procs_;
  std::map<ProcessHandle, Handle> handles_;
  uint32_t nextId_ = 100;
  ProcessHandle nextHandle_ = 0x100;
  ProcessHandle lastHandle_ = 0;
  int badCloses_ = 0;
};

}  // namespace tw
