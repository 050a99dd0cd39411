#include "platform/fake/fake_processes.h"

namespace tw {

bool FakeProcesses::Launch(const LaunchRequest& request, ProcessHandle* process) {
  launches_.push_back(request);
  *process = 0;
  if (launchFails_) return false;
  if (noHandle_) {
    lastHandle_ = 0;
    return true;
  }
  const ProcessHandle handle = nextHandle_;
  nextHandle_ += 4;
  procs_[handle] = Proc{};
  lastHandle_ = handle;
  *process = handle;
  return true;
}

bool FakeProcesses::ExitCode(ProcessHandle process, uint32_t* code) {
  auto it = procs_.find(process);
  if (it == procs_.end() || !it->second.open || it->second.queryFails) return false;
  *code = it->second.exitCode;
  return true;
}

void FakeProcesses::Close(ProcessHandle process) {
  auto it = procs_.find(process);
  if (it == procs_.end() || !it->second.open) {
    ++badCloses_;
    return;
  }
  it->second.open = false;
}

void FakeProcesses::SetExitCode(ProcessHandle process, uint32_t code) {
  auto it = procs_.find(process);
  if (it != procs_.end()) it->second.exitCode = code;
}

void FakeProcesses::SetQueryFails(ProcessHandle process, bool fails) {
  auto it = procs_.find(process);
  if (it != procs_.end()) it->second.queryFails = fails;
}

int FakeProcesses::OpenHandles() const {
  int open = 0;
  for (const auto& entry : procs_) open += entry.second.open ? 1 : 0;
  return open;
}

}  // namespace tw
