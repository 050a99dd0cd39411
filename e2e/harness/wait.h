// Polling with a deadline: the only way the tests wait for another process.
#pragma once

#include <windows.h>

namespace e2e {

// Generous: the first program started in a fresh Wine session also brings up
// the virtual desktop.
constexpr DWORD kDefaultTimeoutMs = 20000;
constexpr DWORD kPollIntervalMs = 25;

// Calls `done` until it returns true or `timeoutMs` has passed; returns its
// last answer.
template <typename Predicate>
bool WaitUntil(Predicate done, DWORD timeoutMs = kDefaultTimeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    Sleep(kPollIntervalMs);
  }
}

}  // namespace e2e
