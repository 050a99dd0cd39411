// The tray icon at logon. A shell still starting up may refuse the icon or
// time out on it, and when the taskbar was already there no TaskbarCreated
// follows to try again: the icon is tried again on a timer instead. Since
// only one tray copy runs, a missing icon would otherwise leave nothing to
// click until the next logon.
#pragma once

#include "platform/ui.h"

namespace tw {

// Puts the icon into the notification area (an add, or finding it there);
// false while the shell refuses.
class IconShower {
 public:
  virtual ~IconShower() = default;
  virtual bool ShowIcon() = 0;
};

class TrayIconRetry {
 public:
  static constexpr unsigned kRetryMs = 2000;
  static constexpr int kRetries = 150;  // five minutes: a slow logon, not a shell that never comes

  TrayIconRetry(IconShower& icon, Timer& timer) : icon_(icon), timer_(timer) {}

  // Start-up, TaskbarCreated and a second start's request: the icon now,
  // and again on each tick while the shell refuses.
  void Show();
  void Tick();
  // Leaving: no more tries.
  void Stop() { timer_.SetEnabled(false); }

 private:
  IconShower& icon_;
  Timer& timer_;
  int retriesLeft_ = 0;
};

}  // namespace tw
