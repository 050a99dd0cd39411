#include "shell/tray_icon_retry.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_ui.h"

namespace tw {
namespace {

// A shell that refuses the first `refusals` tries.
class SlowShell : public IconShower {
 public:
  bool ShowIcon() override { return ++tries > refusals; }
  int refusals = 0;
  int tries = 0;
};

// A shell that comes up after any number of refusals within the retries
// shows the icon at the first try after them, and the timer stops there; one
// that never does is given up after the last retry. A later Show (the
// taskbar re-created, a second start) tries afresh.
TEST(TrayIconRetry, TriesOnTheTimerUntilTheShellTakesTheIconOrTheRetriesAreSpent) {
  for (int refusals : {0, 1, 2, 60, TrayIconRetry::kRetries, TrayIconRetry::kRetries + 1, 100000}) {
    SCOPED_TRACE(refusals);
    SlowShell shell;
    shell.refusals = refusals;
    FakeTimer timer;
    TrayIconRetry retry(shell, timer);

    retry.Show();
    EXPECT_EQ(timer.Enabled(), refusals > 0);
    if (refusals > 0) EXPECT_EQ(timer.Interval(), TrayIconRetry::kRetryMs);
    int ticks = 0;
    while (timer.Enabled() && ticks < 100000) {
      retry.Tick();
      ++ticks;
    }
    const bool shown = refusals <= TrayIconRetry::kRetries;
    EXPECT_EQ(ticks, shown ? refusals : TrayIconRetry::kRetries);
    EXPECT_EQ(shell.tries, ticks + 1);

    shell.refusals = shell.tries;  // the shell takes it from now on
    retry.Show();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(shell.tries, ticks + 2);
  }
}

}  // namespace
}  // namespace tw
