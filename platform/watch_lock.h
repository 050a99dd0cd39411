// One watched run per machine. Two accounts at once (fast user switching,
// a logoff during a game) share one driver key: a run watched in each would
// record the other's game values as its "before" and give them back. The
// copy that watches a game holds this lock until it has given everything back.
#pragma once

namespace tw {

class WatchLock {
 public:
  virtual ~WatchLock() = default;
  // True when this process holds the lock now (taken, or held already);
  // false when another copy holds it.
  virtual bool Take() = 0;
  virtual void Release() = 0;
  // Another session's copy watches a game (this session's own copies do
  // not count: they take over or follow this session's runs).
  virtual bool HeldByAnotherSession() const = 0;
};

}  // namespace tw
