#include "driver/display_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_display.h"
#include "platform/fake/fake_ui.h"
#include "platform/messages.h"

namespace tw {
namespace {

// Ten palette modes (0-9) before the 16- and 32-bit ones; 1024x768 comes at
// two refresh rates in both depths.
std::vector<DisplayMode> DriverModes() {
  std::vector<DisplayMode> modes;
  const int sizes[10][2] = {{320, 200}, {320, 240}, {400, 300},  {512, 384},  {640, 400},
                            {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}};
  for (const auto& size : sizes) {
    modes.push_back({8, static_cast<uint32_t>(size[0]), static_cast<uint32_t>(size[1]), 60});
  }
  for (uint32_t bits : {16u, 32u}) {
    modes.push_back({bits, 640, 480, 60});
    modes.push_back({bits, 800, 600, 60});
    modes.push_back({bits, 1024, 768, 60});
    modes.push_back({bits, 1024, 768, 75});
  }
  return modes;  // 10-13: 16 bit, 14-17: 32 bit
}

class DisplayModesTest : public testing::Test {
 protected:
  DisplayModesTest() : display(DriverModes()) { display.SetCurrent({1024, 768, 16}); }

  // Id of the tray item carrying mode number `tag`.
  int ItemWithTag(int tag) const {
    for (const auto& item : menu.Items()) {
      if (item.tag == tag) return item.id;
    }
    ADD_FAILURE() << "no item for mode " << tag;
    return -1;
  }

  FakeDisplay display;
  FakeUserInterface ui;
  FakeListControl list;
  FakeSubmenu menu;
  DisplayModes modes{display, ui};
};

TEST_F(DisplayModesTest, EditorListSkipsPaletteModesAndCountsPositionsFromTheFirstListedMode) {
  modes.FillDesktopModeList(list);

  EXPECT_EQ(list.Items(), (std::vector<std::string>{
                              "640x480 - 16 bit-color", "800x600 - 16 bit-color",
                              "1024x768 - 16 bit-color", "1024x768 - 16 bit-color",
                              "640x480 - 32 bit-color", "800x600 - 32 bit-color",
                              "1024x768 - 32 bit-color", "1024x768 - 32 bit-color"}));
  EXPECT_EQ(modes.FirstDesktopModeNumber(), 10);
  // The desktop's rate is the driver's default: the later listed rate of its
  // resolution is selected (mode 13 is list position 3), but the way back is
  // the registry's mode.
  EXPECT_EQ(list.ItemIndex(), 3);
  EXPECT_EQ(modes.SavedModeNumber(), -1);
}

TEST_F(DisplayModesTest, EditorListSelectsNothingOnAPaletteDesktop) {
  display.SetCurrent({1024, 768, 32, 75});
  modes.ReadDesktopMode();
  modes.FindCurrentMode();
  ASSERT_EQ(modes.SavedModeNumber(), 17);

  display.SetCurrent({800, 600, 8});
  modes.FillDesktopModeList(list);

  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(modes.SavedModeNumber(), 17);  // a scan without a match keeps it
}

TEST_F(DisplayModesTest, TrayMenuListsEveryModeFromEightBitsInReverseOrder) {
  modes.BuildVideoModeMenu(menu);

  const auto& items = menu.Items();
  ASSERT_EQ(items.size(), 18u);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].tag, 17 - static_cast<int>(i));
  }
  EXPECT_EQ(items.front().caption, "32bit - 1024x768");
  EXPECT_EQ(items[4].caption, "16bit - 1024x768");
  EXPECT_EQ(items.back().caption, "8bit - 320x200");

  // Both refresh rates of the current desktop are checked; the later one is
  // the current mode and the item that owns the check mark.
  std::vector<int> checked;
  for (const auto& item : items) {
    if (item.checked) checked.push_back(item.tag);
  }
  EXPECT_EQ(checked, (std::vector<int>{13, 12}));
  EXPECT_EQ(modes.CheckedVideoModeItem(), ItemWithTag(13));
  EXPECT_EQ(modes.SavedModeNumber(), -1);  // the default rate: back by the registry's mode
}

TEST_F(DisplayModesTest, TrayMenuChecksAPaletteDesktop) {
  display.SetCurrent({640, 480, 8, 60});
  modes.BuildVideoModeMenu(menu);

  EXPECT_EQ(modes.SavedModeNumber(), 5);
  EXPECT_EQ(modes.CheckedVideoModeItem(), ItemWithTag(5));
  EXPECT_TRUE(menu.Checked(ItemWithTag(5)));
}

struct ResultCase {
  long code;
  const char* message;  // nullptr: nothing shown
};

class ChangeResultTest : public DisplayModesTest,
                         public testing::WithParamInterface<std::tuple<ResultCase, bool>> {};

TEST_P(ChangeResultTest, ShowsTheMessageOfTheResultAndLaunchesOnlyOnSuccess) {
  const ResultCase result = std::get<0>(GetParam());
  const bool launchAfter = std::get<1>(GetParam());
  display.SetChangeResult(result.code);

  const bool switched = modes.ChangeDisplayMode(15, launchAfter);

  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{15});
  EXPECT_EQ(switched, result.code == disp_change::kSuccessful);
  if (result.message != nullptr) {
    EXPECT_EQ(ui.notices, std::vector<std::string>{result.message});
  } else {
    EXPECT_TRUE(ui.notices.empty());
  }
  const bool posts = launchAfter && result.code == disp_change::kSuccessful;
  EXPECT_EQ(ui.posted, posts ? std::vector<unsigned>{0x405} : std::vector<unsigned>{});
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ChangeResultTest,
    testing::Combine(
        testing::Values(
            ResultCase{0, nullptr},
            ResultCase{1,
                       "The computer must be restarted for this graphics mode. The program will "
                       "not be started"},
            ResultCase{-1, "An error occured while changing the displaymode"},
            ResultCase{-2, "The selected graphics mode is not supported"},
            ResultCase{-3, "An error occured while writing desktop-mode settings to the registry."},
            ResultCase{-4, "An error occured while changing the displaymode"},
            ResultCase{-5, nullptr}, ResultCase{2, nullptr}),
        testing::Bool()));

TEST_F(DisplayModesTest, AModeNumberTheDriverNoLongerHasIsNotSupported) {
  for (int number : {18, 1000, -1, -2}) {
    ui.notices.clear();
    EXPECT_FALSE(modes.ChangeDisplayMode(number, true));
    EXPECT_EQ(ui.notices, std::vector<std::string>{"The selected graphics mode is not supported"})
        << number;
  }
  EXPECT_TRUE(display.ChangeCalls().empty());
  EXPECT_TRUE(ui.posted.empty());
}

TEST_F(DisplayModesTest, RestoreReturnsToTheModeBeforeTheSwitchAndASecondRestoreSwitchesAgain) {
  display.SetCurrent({1024, 768, 16, 75});
  ASSERT_TRUE(modes.ChangeDisplayMode(15, true));  // 800x600, 32 bit
  EXPECT_EQ(modes.SavedModeNumber(), 13);

  modes.RestoreDisplayMode();
  EXPECT_EQ(display.Current().width, 1024);
  EXPECT_EQ(display.Current().bitsPerPixel, 16);
  EXPECT_EQ(modes.SavedModeNumber(), 15);

  modes.RestoreDisplayMode();
  EXPECT_EQ(display.ChangeCalls(), (std::vector<int>{15, 13, 15}));
  EXPECT_EQ(display.Current().width, 800);
  EXPECT_EQ(ui.posted, std::vector<unsigned>{kLaunchPendingMessage});  // restores launch nothing
}

// Only "Video mode" stores its choice as the display's own.
TEST_F(DisplayModesTest, AVideoModeChoiceIsStored) {
  display.SetCurrent({1024, 768, 16, 60});
  modes.BuildVideoModeMenu(menu);
  EXPECT_EQ(modes.CheckedVideoModeItem(), ItemWithTag(12));
  modes.SetCurrentVideoMode(menu, ItemWithTag(15));
  EXPECT_EQ(display.StoredMode(), 15);
}

// The way back from a game's switch, which is never stored (a crash during
// the game boots into the desktop's mode), by the desktop's refresh rate:
// its own listed rate; the registry's mode for the driver's default rate (0
// or 1) unless a listed mode carries that rate too; the last listed rate of
// its size for a rate the driver does not list.
TEST_F(DisplayModesTest, TheWayBackFollowsTheDesktopsRefreshRate) {
  const struct {
    int rate;
    bool defaultRateListed;  // the driver lists 1024x768 x 16 bit at rate 0 too
    int wayBack;             // -1: the registry's mode
    int rateBack;
  } cases[] = {{60, false, 12, 60}, {75, false, 13, 75}, {72, false, 13, 75},
               {0, false, -1, 0},   {1, false, -1, 1},   {0, true, 18, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE("rate " + std::to_string(c.rate) + (c.defaultRateListed ? ", listed" : ""));
    FakeDisplay screen(DriverModes());
    if (c.defaultRateListed) {
      std::vector<DisplayMode> listed = DriverModes();
      listed.push_back({16, 1024, 768, 0});
      screen.SetModes(listed);
    }
    screen.SetCurrent({1024, 768, 16, c.rate});
    FakeUserInterface boxes;
    DisplayModes run{screen, boxes};
    EXPECT_EQ(run.DesktopModeNumber(), c.wayBack);  // what a run's journal records

    ASSERT_TRUE(run.ChangeDisplayMode(15, true));
    EXPECT_EQ(run.SavedModeNumber(), c.wayBack);
    run.RestoreDisplayMode();
    EXPECT_EQ(screen.RegistryRestores(), c.wayBack < 0 ? 1 : 0);
    EXPECT_EQ(screen.ChangeCalls(),
              c.wayBack < 0 ? std::vector<int>{15} : (std::vector<int>{15, c.wayBack}));
    EXPECT_EQ(screen.Current().width, 1024);
    EXPECT_EQ(screen.Current().frequency, c.rateBack);
    EXPECT_EQ(screen.StoredMode(), -1);
    EXPECT_TRUE(boxes.notices.empty());
  }
}

TEST_F(DisplayModesTest, RestoreWithoutAMatchedModeReturnsToTheRegistryModeSilently) {
  display.SetCurrent({1024, 768, 8});  // a palette desktop: the scan matches nothing
  ASSERT_TRUE(modes.ChangeDisplayMode(15, true));
  ASSERT_EQ(modes.SavedModeNumber(), -1);

  modes.RestoreDisplayMode();
  EXPECT_EQ(display.RegistryRestores(), 1);
  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{15});
  EXPECT_TRUE(ui.notices.empty());
}

TEST_F(DisplayModesTest, ChoosingAVideoModeMovesTheCheckMarkEvenWhenTheSwitchFails) {
  modes.BuildVideoModeMenu(menu);
  const int chosen = ItemWithTag(15);
  display.SetChangeResult(disp_change::kFailed);

  modes.SetCurrentVideoMode(menu, chosen);

  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{15});
  EXPECT_EQ(ui.notices, std::vector<std::string>{"An error occured while changing the displaymode"});
  EXPECT_FALSE(menu.Checked(ItemWithTag(13)));
  EXPECT_TRUE(menu.Checked(chosen));
  EXPECT_EQ(modes.CheckedVideoModeItem(), chosen);

  // The current mode chosen again is switched to again.
  display.SetChangeResult(disp_change::kSuccessful);
  modes.SetCurrentVideoMode(menu, ItemWithTag(13));
  EXPECT_EQ(display.ChangeCalls(), (std::vector<int>{15, 13}));
  EXPECT_FALSE(menu.Checked(chosen));
  EXPECT_TRUE(menu.Checked(ItemWithTag(13)));
  EXPECT_TRUE(ui.posted.empty());
}

}  // namespace
}  // namespace tw
