// Starting a program the way the shell does, asking whether it still runs,
// and listing the processes that run (to follow a game that hands over to
// another process, and to find a watched game again after a restart).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

using ProcessHandle = std::uintptr_t;  // 0: no process

constexpr uint32_t kStillActive = 259;

struct LaunchRequest {
  std::string file;
  std::string parameters;
  std::string directory;
  // A shortcut's window state (minimized, maximized, as SW_ numbers) passes
  // on to the game it runs through Tarnwick; 0: shown normally.
  int showCommand = 0;
};

struct ProcessEntry {
  uint32_t id = 0;
  uint32_t parentId = 0;
  std::string path;  // full path of its program file, long form; "" when unknown
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the file with its default verb. True when the shell accepted it;
  // `process` is then the new process, or 0 when the shell handed the file to
  // a program that already runs.
  virtual bool Launch(const LaunchRequest& request, ProcessHandle* process) = 0;
  // False when the exit code cannot be read. kStillActive exactly while the
  // process runs.
  virtual bool ExitCode(ProcessHandle process, uint32_t* code) = 0;
  virtual void Close(ProcessHandle process) = 0;

  // Every process that runs now, from one snapshot. False when the system
  // cannot take one.
  virtual bool Snapshot(std::vector<ProcessEntry>* processes) = 0;
  // A handle to watch a running process by; 0 when it cannot be opened.
  virtual ProcessHandle Open(uint32_t id) = 0;
  // The id of a process handle from Launch or Open; 0 when unknown.
  virtual uint32_t IdOf(ProcessHandle process) = 0;
  // A file's full path in the long form snapshots give, for comparing.
  virtual std::string FullPath(const std::string& file) = 0;
};

}  // namespace tw
