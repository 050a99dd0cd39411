#include "shell/tray_icon_retry.h"

namespace tw {

void TrayIconRetry::Show() {
  timer_.SetEnabled(false);
  retriesLeft_ = kRetries;
  if (icon_.ShowIcon()) return;
  timer_.SetInterval(kRetryMs);
  timer_.SetEnabled(true);
}

void TrayIconRetry::Tick() {
  if (icon_.ShowIcon() || --retriesLeft_ <= 0) timer_.SetEnabled(false);
}

}  // namespace tw
