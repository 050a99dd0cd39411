#include "platform/fake/fake_processes.h"

namespace tw {

ProcessHandle FakeProcesses::NewHandle(uint32_t id) {
  const ProcessHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{id, true, false};
  return handle;
}

bool FakeProcesses::Launch(const LaunchRequest& request, ProcessHandle* process) {
  launches_.push_back(request);
  *process = 0;
  if (launchFails_) return false;
  if (noHandle_) {
    lastHandle_ = 0;
    return true;
  }
  const uint32_t id = AddRunning(launchedPath_.empty() ? request.file : launchedPath_, kOwnId);
  lastHandle_ = NewHandle(id);
  *process = lastHandle_;
  return true;
}

bool FakeProcesses::ExitCode(ProcessHandle process, uint32_t* code) {
  auto it = handles_.find(process);
  if (it == handles_.end() || !it->second.open || it->second.queryFails) return false;
  *code = procs_[it->second.id].exitCode;
  return true;
}

void FakeProcesses::Close(ProcessHandle process) {
  auto it = handles_.find(process);
  if (it == handles_.end() || !it->second.open) {
    ++badCloses_;
    return;
  }
  it->second.open = false;
}

bool FakeProcesses::Snapshot(std::vector<ProcessEntry>* processes) {
  if (snapshotFails_) return false;
  processes->clear();
  for (const auto& entry : procs_) {
    if (entry.second.exitCode != kStillActive) continue;
    processes->push_back(ProcessEntry{entry.first, entry.second.parentId,
                                      pathsHidden_ ? std::string() : entry.second.path});
  }
  return true;
}

ProcessHandle FakeProcesses::Open(uint32_t id) { return IsRunning(id) ? NewHandle(id) : 0; }

uint32_t FakeProcesses::IdOf(ProcessHandle process) {
  auto it = handles_.find(process);
  return it == handles_.end() ? 0 : it->second.id;
}

void FakeProcesses::SetExitCode(ProcessHandle process, uint32_t code) {
  auto it = handles_.find(process);
  if (it != handles_.end()) procs_[it->second.id].exitCode = code;
}

void FakeProcesses::SetQueryFails(ProcessHandle process, bool fails) {
  auto it = handles_.find(process);
  if (it != handles_.end()) it->second.queryFails = fails;
}

uint32_t FakeProcesses::AddRunning(const std::string& path, uint32_t parentId) {
  const uint32_t id = nextId_;
  nextId_ += 4;
  procs_[id] = Proc{parentId, path, kStillActive};
  return id;
}

void FakeProcesses::EndProcess(uint32_t id, uint32_t code) {
  auto it = procs_.find(id);
  if (it != procs_.end()) it->second.exitCode = code;
}

bool FakeProcesses::IsRunning(uint32_t id) const {
  auto it = procs_.find(id);
  return it != procs_.end() && it->second.exitCode == kStillActive;
}

int FakeProcesses::OpenHandles() const {
  int open = 0;
  for (const auto& entry : handles_) open += entry.second.open ? 1 : 0;
  return open;
}

}  // namespace tw
