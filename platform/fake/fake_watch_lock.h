// The watch lock of one process over one fake machine, which several fake
// processes (in one or more sessions) share.
#pragma once

#include "platform/watch_lock.h"

namespace tw {

struct FakeMachineLock {
  int holder = 0;  // process number; 0: nobody
  int holderSession = 0;
};

class FakeWatchLock : public WatchLock {
 public:
  FakeWatchLock(FakeMachineLock& machine, int process, int session)
      : machine_(machine), process_(process), session_(session) {}
  bool Take() override {
    if (machine_.holder != 0 && machine_.holder != process_) return false;
    machine_.holder = process_;
    machine_.holderSession = session_;
    return true;
  }
  void Release() override {
    if (machine_.holder == process_) machine_.holder = 0;
  }
  bool HeldByAnotherSession() const override {
    return machine_.holder != 0 && machine_.holderSession != session_;
  }

 private:
  FakeMachineLock& machine_;
  int process_;
  int session_;
};

}  // namespace tw
