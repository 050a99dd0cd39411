// Starting a program the way the shell does, and asking whether it still runs.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

using ProcessHandle = std::uintptr_t;  // 0: no process

constexpr uint32_t kStillActive = 259;

struct LaunchRequest {
  std::string file;
  std::string parameters;
  std::string directory;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the file with its default verb. True when the shell accepted it;
  // `process` is then the new process, or 0 when the shell handed the file to
  // a program that already runs.
  virtual bool Launch(const LaunchRequest& request, ProcessHandle* process) = 0;
  // False when the exit code cannot be read.
  virtual bool ExitCode(ProcessHandle process, uint32_t* code) = 0;
  virtual void Close(ProcessHandle process) = 0;
};

}  // namespace tw
