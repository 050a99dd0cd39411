// The tray's popup menus as data, the profile submenus and the icon's callback.
#include <set>
#include <utility>

#include "shell/menu_ids.h"
#include "tests/shell/tray_commands_fixture.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;

TEST_F(TrayCommandsTest, MenusHoldTheirItemsInOrderWithTheirStartStates) {
  const struct {
    const char* submenu;
    Names captions;
  } cases[] = {
      {"PopupMenu1",
       {"Defaults", "Direct FSAA", "Video mode", "Current settings", "-", "Add program", "Config",
        "Run", "-", "About", "Exit"}},
      {"Userdefaults1",
       {"Reset factory defaults", "-", "Reset to user defaults", "Set user defaults", "-",
        "Reset to previous settings", "-", "Start at Windows startup",
        "Reload settings after finishing game"}},
      {"DirectFSAA1", {"Single chip", "Fastest", "2x FSAA", "4x FSAA", "8x FSAA"}},
      {"PopupMenu2",
       {"Remove from Windows registry", "-", "My Voodoo is a ...", "-", "Email author",
        "Visit Webpage"}},
      {"MyVoodooisa1", {"V5-6000", "V5-5500", "V4-4500"}},
  };
  for (const auto& c : cases) EXPECT_EQ(menus.ShownCaptions(c.submenu), c.captions) << c.submenu;

  EXPECT_FALSE(menus.Enabled("Resettouserdefault1"));
  EXPECT_EQ(PopupMenu1Layout().Find("Currentsettings1")->flags & menu_flag::kDefault,
            menu_flag::kDefault);
  for (const char* item : {"Videomode1", "Config1", "Run1"}) {
    EXPECT_EQ(menus.Submenu(item).Count(), 0) << item;
  }

  // Every command item has an id of its own, outside the run-time ranges,
  // and a handler behind it.
  std::set<int> ids;
  for (const MenuLayout* layout : {&PopupMenu1Layout(), &PopupMenu2Layout()}) {
    for (const MenuRow& row : *layout) {
      if (row.flags & (menu_flag::kSubmenu | menu_flag::kSeparator)) continue;
      EXPECT_TRUE(ids.insert(row.commandId).second) << row.name;
      EXPECT_LT(row.commandId, menu_id::kFirstConfigItem) << row.name;
    }
  }
  for (int id : ids) EXPECT_TRUE(form.MenuCommand(id)) << id;
  EXPECT_FALSE(form.MenuCommand(999));
}

TEST_F(TrayCommandsTest, ProfileMenusListTheProfilesAlphabetically) {
  const struct {
    const char* name;
    Names profiles;
    Names listed;
    bool resetToUserDefaults;
  } cases[] = {
      {"none", {}, {"Empty"}, false},
      {"only user defaults", {"User Default"}, {}, true},
      {"mixed case", {"Zeta", "alpha", "Beta"}, {"alpha", "Beta", "Zeta"}, false},
      {"other case", {"user default", "Quake"}, {"Quake", "user default"}, false},
      {"with user defaults", {"User Default", "Quake"}, {"Quake"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reg.RemoveKey(kHkcu, "Software");
    for (const std::string& name : c.profiles) AddProfile(name);
    FakeMenuSet fresh{&PopupMenu1Layout(), &PopupMenu2Layout()};
    TrayCommands tray{{catalogue, program, startupRegistry, compare, state, flags, driver, modes,
                       launcher, ui, questions, shell, fresh, view, startupView, editors,
                       clickTimer, driverRegistry}};
    tray.BuildProgramMenus();
    EXPECT_EQ(fresh.Submenu("Config1").Captions(), c.listed);
    EXPECT_EQ(fresh.Submenu("Run1").Captions(), c.listed);
    EXPECT_EQ(fresh.Enabled("Resettouserdefault1"), c.resetToUserDefaults);
    for (const auto& item : fresh.Submenu("Run1").Items()) {
      EXPECT_EQ(item.enabled, c.listed != Names{"Empty"});
    }
  }
}

TEST_F(TrayCommandsTest, RebuildingLeavesNoStaleItemsAndKeepsResetEnabled) {
  AddProfile("User Default");
  AddProfile("Quake");
  AddProfile("Unreal");
  form.BuildProgramMenus();
  reg.RemoveKey(kHkcu, Profile("Quake"));
  reg.RemoveKey(kHkcu, Profile("User Default"));
  AddProfile("Descent");
  form.BuildProgramMenus();
  EXPECT_EQ(menus.Submenu("Config1").Captions(), (Names{"Descent", "Unreal"}));
  EXPECT_EQ(menus.Submenu("Run1").Captions(), (Names{"Descent", "Unreal"}));
  EXPECT_TRUE(menus.Enabled("Resettouserdefault1"));

  reg.RemoveKey(kHkcu, "Software");
  form.BuildProgramMenus();
  EXPECT_EQ(menus.Submenu("Config1").Captions(), Names{"Empty"});
  EXPECT_EQ(menus.Submenu("Run1").Captions(), Names{"Empty"});

  // Closing the main window takes the items away.
  form.RemoveProfileItems();
  EXPECT_EQ(menus.Submenu("Config1").Count(), 0);
  EXPECT_EQ(menus.Submenu("Run1").Count(), 0);
}

TEST_F(TrayCommandsTest, BuildingConvertsEachProfilesOldLevelOfDetail) {
  reg.PutString(kHkcu, Profile("Quake") + "\\D3D", "SSTH3_LOD_BIAS", "-1.50");
  reg.PutString(kHkcu, Profile("User Default") + "\\Glide", "FX_GLIDE_LOD_BIAS", "0.75");
  form.BuildProgramMenus();
  EXPECT_EQ(reg.GetString(kHkcu, Profile("Quake") + "\\D3D", "SSTH3_LOD_BIAS"), "-1");
  EXPECT_EQ(reg.GetString(kHkcu, Profile("User Default") + "\\Glide", "FX_GLIDE_LOD_BIAS"), "0");
}

TEST_F(TrayCommandsTest, StartupMenusShowTheStoredStatesAndTheDisplayModes) {
  state.startupChecked = true;
  state.reloadChecked = false;
  form.BuildMenus();
  EXPECT_TRUE(menus.Checked("StartupMenu"));
  EXPECT_FALSE(menus.Checked("ReloadSettings"));
  EXPECT_EQ(menus.Submenu("Videomode1").Captions(),
            (Names{"32bit - 1024x768", "16bit - 800x600", "8bit - 640x480"}));
  EXPECT_EQ(menus.Submenu("Run1").Captions(), Names{"Empty"});
}

TEST_F(TrayCommandsTest, IconCallbackOpensTheMenusUnlessADialogIsOpen) {
  const struct {
    const char* name;
    bool editor, about, adding, boxOpen;
    unsigned mouse;
    Names calls;
    bool postsLiveSettings;
  } cases[] = {
      {"right click", false, false, false, false, tray_mouse::kRightButtonUp,
       {"PopupMenu1 at 640,750"}, false},
      {"left click", false, false, false, false, tray_mouse::kLeftButtonUp,
       {"PopupMenu2 at 640,750"}, false},
      {"double click", false, false, false, false, tray_mouse::kLeftDoubleClick, {}, true},
      {"mouse move", false, false, false, false, 0x200, {}, false},
      {"editor open", true, false, false, false, tray_mouse::kRightButtonUp, {}, false},
      {"editor open, double click", true, false, false, false, tray_mouse::kLeftDoubleClick, {},
       false},
      {"about open", false, true, false, false, tray_mouse::kLeftButtonUp, {}, false},
      {"adding a program", false, false, true, false, tray_mouse::kLeftDoubleClick, {}, false},
      {"message box open", false, false, false, true, tray_mouse::kRightButtonUp, {}, false},
      {"message box open, left click", false, false, false, true, tray_mouse::kLeftButtonUp, {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    view.calls.clear();
    ui.posted.clear();
    view.editorOpen = c.editor;
    view.aboutOpen = c.about;
    view.disabled = c.boxOpen;
    form.AddingProgram = c.adding;
    form.TrayNotifyMessage(c.mouse);
    if (clickTimer.Enabled()) form.ClickTimerTick();
    EXPECT_FALSE(clickTimer.Enabled());
    EXPECT_EQ(view.calls, c.calls);
    EXPECT_EQ(ui.posted, c.postsLiveSettings ? std::vector<unsigned>{kShowLiveSettingsMessage}
                                             : std::vector<unsigned>{});
  }
}

// A left click waits for the double-click time: a double click opens
// "Current settings" only, and its closing button-up is no click. Clicks
// while a menu is shown open no second one under it.
TEST_F(TrayCommandsTest, ALeftClickWaitsForTheDoubleClickAndMenusDoNotNest) {
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  EXPECT_TRUE(view.calls.empty());
  form.TrayNotifyMessage(tray_mouse::kLeftDoubleClick);
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  EXPECT_FALSE(clickTimer.Enabled());
  EXPECT_TRUE(view.calls.empty());
  EXPECT_EQ(ui.posted, std::vector<unsigned>{kShowLiveSettingsMessage});

  bool nested = false;
  view.whileShown = [&] {
    if (std::exchange(nested, true)) return;
    form.TrayNotifyMessage(tray_mouse::kRightButtonUp);
    form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  };
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  form.ClickTimerTick();
  EXPECT_FALSE(clickTimer.Enabled());
  EXPECT_EQ(view.calls, Names{"PopupMenu2 at 640,750"});
}

// After a double click the editor may open before the double click's second
// button-up: the next single click after the editor has closed still opens
// the small menu. And the click timer's tick that comes while the main menu
// of a quick right click is shown opens no second menu inside it.
TEST_F(TrayCommandsTest, NoClickIsSwallowedAfterADoubleClickAndATickDoesNotNestMenus) {
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  form.TrayNotifyMessage(tray_mouse::kLeftDoubleClick);
  view.editorOpen = true;
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  view.editorOpen = false;
  for (int click = 0; click < 2; ++click) {
    view.calls.clear();
    form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
    ASSERT_TRUE(clickTimer.Enabled()) << "click " << click << " was swallowed";
    form.ClickTimerTick();
    EXPECT_EQ(view.calls, Names{"PopupMenu2 at 640,750"});
  }

  view.calls.clear();
  view.whileShown = [&] {
    if (clickTimer.Enabled()) form.ClickTimerTick();
  };
  form.TrayNotifyMessage(tray_mouse::kLeftButtonUp);
  form.TrayNotifyMessage(tray_mouse::kRightButtonUp);
  EXPECT_EQ(view.calls, Names{"PopupMenu1 at 640,750"});
  EXPECT_FALSE(clickTimer.Enabled());
}

}  // namespace
}  // namespace tw
