// The watch lock as two named mutexes: one machine-wide ("Global\" on
// 2000/XP, where each logged-on user has a session of their own; Windows 9x
// has one session and knows no prefix), and one in this session, which tells
// this session's holder from another's.
#pragma once

#include <windows.h>

#include "platform/watch_lock.h"

namespace tw {

class Win32WatchLock : public WatchLock {
 public:
  Win32WatchLock() = default;
  ~Win32WatchLock() override { Release(); }
  Win32WatchLock(const Win32WatchLock&) = delete;
  Win32WatchLock& operator=(const Win32WatchLock&) = delete;

  bool Take() override;
  void Release() override;
  bool HeldByAnotherSession() const override;

 private:
  HANDLE machine_ = nullptr;
  HANDLE session_ = nullptr;
};

}  // namespace tw
