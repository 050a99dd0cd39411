#include "platform/win32/watch_lock_win32.h"

namespace tw {

namespace {

constexpr char kSessionName[] = "Hexmoor.Tarnwick.WatchHere";

const char* MachineName() {
  return (GetVersion() & 0x80000000u) != 0 ? "Hexmoor.Tarnwick.Watch"
                                           : "Global\\Hexmoor.Tarnwick.Watch";
}

// Another account's object cannot be opened under the default security it
// got: access denied still means it exists.
bool Exists(const char* name) {
  HANDLE object = OpenMutexA(SYNCHRONIZE, FALSE, name);
  if (object == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(object);
  return true;
}

}  // namespace

bool Win32WatchLock::Take() {
  if (machine_ != nullptr) return true;
  HANDLE machine = CreateMutexA(nullptr, FALSE, MachineName());
  if (machine == nullptr) {
    // A lock the system cannot make at all keeps no run from starting.
    return GetLastError() != ERROR_ACCESS_DENIED;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(machine);
    return false;
  }
  machine_ = machine;
  session_ = CreateMutexA(nullptr, FALSE, kSessionName);
  return true;
}

void Win32WatchLock::Release() {
  if (session_ != nullptr) CloseHandle(session_);
  if (machine_ != nullptr) CloseHandle(machine_);
  session_ = machine_ = nullptr;
}

bool Win32WatchLock::HeldByAnotherSession() const {
  return machine_ == nullptr && Exists(MachineName()) && !Exists(kSessionName);
}

}  // namespace tw
