// The processes a watched run follows. Many games start through a launcher
// that starts the real game and ends at once: when a watched process ends,
// the processes it started that still run from the profile's program folder
// (or below it) take its place, and the watch ends only when the last of
// them has ended. Other children (an updater elsewhere, a browser) are not
// followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace tw {

// Whether `file` lies in `folder` or below it; letter case is ignored and
// "/" counts as "\".
bool IsInFolder(const std::string& file, const std::string& folder);
// The folder part of a file path, without its last backslash ("" for none).
std::string FolderOf(const std::string& file);

class ProcessWatch {
 public:
  explicit ProcessWatch(Processes& processes) : processes_(processes) {}
  ~ProcessWatch() { Stop(); }
  ProcessWatch(const ProcessWatch&) = delete;
  ProcessWatch& operator=(const ProcessWatch&) = delete;

  // Follows a launched process; its handle stays the caller's. A launch
  // without a handle leaves nothing to follow.
  void Start(ProcessHandle launched, const std::string& file, const std::string& folder);
  // Follows processes found running after a restart.
  void Resume(const std::vector<ProcessEntry>& running, const std::string& folder);
  // One tick. True while a watched process still runs; `changed` tells
  // whether the watched files differ from before.
  bool Check(bool* changed);
  std::vector<std::string> WatchedFiles() const;
  void Stop();

 private:
  struct Watched {
    ProcessHandle handle = 0;
    uint32_t id = 0;
    std::string file;
    bool owned = false;  // opened here, so closed here
  };
  bool Running(const Watched& watched);
  bool ResolveLaunchedPath();
  void Release(const Watched& watched);

  Processes& processes_;
  std::string folder_;
  std::vector<Watched> watched_;
  bool pathPending_ = false;  // the launched process's own path is still to be looked up
};

}  // namespace tw
