// The tray icon at logon. A shell still starting up may refuse the icon or
// time out on it, and when the taskbar was already there no TaskbarCreated
// follows to try again: the icon is tried again on a timer instead. Since
// only one tray copy runs, a missing icon would otherwise leave nothing to
// click until the next logon.
#pragma once

namespace tw {

class TrayIconRetry {
 public:
  static constexpr unsigned kRetryMs = 2000;  // between two tries
  static constexpr int kRetries = 150;        // five minutes: a slow logon, not a shell that never comes

  // After a try to show the icon, whether it was shown: whether to try again
  // after kRetryMs. A fresh try (start-up, TaskbarCreated, a second start's
  // request) allows all the retries anew; each retry uses one up.
  bool Again(bool shown, bool fresh) {
    retriesLeft_ = fresh ? kRetries : retriesLeft_ - 1;
    return !shown && retriesLeft_ > 0;
  }

 private:
  int retriesLeft_ = 0;
};

}  // namespace tw
