#include "shell/tray_tip.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(TrayTip, NamesTheWatchedProfileAndFitsTheShellsField) {
  EXPECT_EQ(TrayTip(""), "Tarnwick");
  EXPECT_EQ(TrayTip("Quake III"), "Tarnwick - Quake III is running");
  const std::string longest(41, 'x');
  EXPECT_EQ(TrayTip(longest), "Tarnwick - " + longest + " is running");
  EXPECT_EQ(TrayTip(longest).size(), kTrayTipLength);
  EXPECT_EQ(TrayTip(longest + "y"), "Tarnwick - " + std::string(38, 'x') + "... is running");
  EXPECT_EQ(TrayTip(std::string(300, 'z')).size(), kTrayTipLength);
}

}  // namespace
}  // namespace tw
