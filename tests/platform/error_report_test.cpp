#include "platform/error_report.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ErrorReport, FullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ErrorReportText("Invalid data type for 'Poll'"), "Invalid data type for 'Poll'");
  EXPECT_EQ(ErrorReportText("Failed to set data for 'X'"), "Failed to set data for 'X'");
  EXPECT_EQ(ErrorReportText("Disk full"), "Disk full.");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ErrorReportText("Really?"), "Really?.");
  EXPECT_EQ(ErrorReportText("Stop!"), "Stop!");
  EXPECT_EQ(ErrorReportText(""), "");
}

}  // namespace
}  // namespace tw
