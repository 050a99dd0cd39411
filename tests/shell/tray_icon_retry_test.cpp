#include "shell/tray_icon_retry.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

// A shell that comes up within the retries takes the icon at the first try
// after its refusals, and the timer stops there; one that never does is
// given up after the last retry. A fresh try then starts over.
TEST(TrayIconRetry, TriesOnTheTimerUntilTheShellTakesTheIconOrTheRetriesAreSpent) {
  for (int refusals : {0, 1, 60, TrayIconRetry::kRetries, TrayIconRetry::kRetries + 1}) {
    SCOPED_TRACE(refusals);
    int tries = 0;
    const auto tryShell = [&] { return ++tries > refusals; };
    TrayIconRetry retry;
    for (int round = 0; round < 2; ++round) {
      tries = 0;
      bool again = retry.Again(tryShell(), true);
      EXPECT_EQ(again, refusals > 0);
      int ticks = 0;
      for (; again && ticks <= TrayIconRetry::kRetries; ++ticks) again = retry.Again(tryShell(), false);
      EXPECT_EQ(ticks, refusals <= TrayIconRetry::kRetries ? refusals : TrayIconRetry::kRetries);
    }
  }
}

}  // namespace
}  // namespace tw
