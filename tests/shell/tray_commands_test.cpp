// The commands behind the tray menus' items.
#include "dialogs/about_box.h"
#include "driver/restore_journal.h"
#include "shell/menu_ids.h"
#include "store/link_adoption.h"
#include "store/registry_error.h"
#include "tests/shell/tray_commands_fixture.h"

namespace tw {
namespace {

namespace id = menu_id;
using Names = std::vector<std::string>;

constexpr const char* kFsaa = "SSTH3_SLI_AA_CONFIGURATION";

TEST_F(TrayCommandsTest, DirectFsaaWritesTheModelsNumberToBothGroups) {
  const struct {
    int model;
    int item;
    const char* written;  // nullptr: hidden under the model
  } cases[] = {
      {4500, id::kSinglechip1, nullptr}, {4500, id::kFastest1, "0"},  {4500, id::kN2xFSAA1, "1"},
      {4500, id::kN4xFSAA1, nullptr},    {4500, id::kN8xFSAA1, nullptr},
      {5500, id::kSinglechip1, "0"},     {5500, id::kFastest1, "2"},  {5500, id::kN2xFSAA1, "3"},
      {5500, id::kN4xFSAA1, "4"},        {5500, id::kN8xFSAA1, nullptr},
      {6000, id::kSinglechip1, "0"},     {6000, id::kFastest1, "5"},  {6000, id::kN2xFSAA1, "6"},
      {6000, id::kN4xFSAA1, "7"},        {6000, id::kN8xFSAA1, "8"},
  };
  for (const auto& c : cases) {
    const MenuRow* row = PopupMenu1Layout().FindCommand(c.item);
    SCOPED_TRACE(std::to_string(c.model) + " " + row->caption);
    Model(c.model);
    EXPECT_EQ(menus.Visible(row->name), c.written != nullptr);
    if (!c.written) continue;
    reg.PutString(kHklm, DriverGroup("D3D"), kFsaa, "old d3d");
    reg.PutString(kHklm, DriverGroup("Glide"), kFsaa, "old glide");
    Command(c.item);
    EXPECT_EQ(DriverValue("D3D", kFsaa), c.written);
    EXPECT_EQ(DriverValue("Glide", kFsaa), c.written);
    EXPECT_FALSE(menus.Checked(row->name));

    Command(id::kResettoprevioussettings1);
    EXPECT_EQ(DriverValue("D3D", kFsaa), "old d3d");
    EXPECT_EQ(DriverValue("Glide", kFsaa), "old glide");
  }
}

TEST_F(TrayCommandsTest, DirectFsaaWithoutAKnownModelWritesNothing) {
  state.cardModel = 0;  // a stored model that is none of the three
  for (int item : {id::kSinglechip1, id::kFastest1, id::kN2xFSAA1, id::kN4xFSAA1, id::kN8xFSAA1}) {
    Command(item);
  }
  EXPECT_EQ(reg.ValueNames(kHklm, DriverGroup("D3D")), Names{});
  EXPECT_EQ(reg.ValueNames(kHklm, DriverGroup("Glide")), Names{});
}

TEST_F(TrayCommandsTest, CardModelFromTheMenuIsShownAndStoredButLeavesTheDriverAlone) {
  reg.PutString(kHklm, DriverGroup("D3D"), kFsaa, "7");
  Model(6000);
  Command(id::kV445001);

  EXPECT_EQ(menus.ShownCaptions("DirectFSAA1"), (Names{"Fastest", "2x FSAA"}));
  EXPECT_TRUE(menus.Checked("V445001"));
  EXPECT_FALSE(menus.Checked("V555001"));
  EXPECT_FALSE(menus.Checked("V560001"));
  EXPECT_EQ(reg.GetDword(kHkcu, kStore, "VoodooType"), 4500u);
  EXPECT_EQ(catalogue.ChoiceCount(SettingKind::Glide, 3), 2);
  EXPECT_EQ(DriverValue("D3D", kFsaa), "7");
  EXPECT_EQ(reg.ValueNames(kHklm, DriverGroup("D3D")), Names{kFsaa});

  Command(id::kV555001);
  EXPECT_EQ(menus.ShownCaptions("DirectFSAA1"),
            (Names{"Single chip", "Fastest", "2x FSAA", "4x FSAA"}));

  // The next start takes the stored model without asking.
  StartupState next;
  ReadCardModel(catalogue, program, next, startupView);
  EXPECT_EQ(startupView.asked, 0);
  EXPECT_EQ(next.cardModel, 5500);
}

TEST_F(TrayCommandsTest, CardModelStoreRefusedAfterTheMenuFollowed) {
  reg.RefuseValueWrite("VoodooType");
  EXPECT_THROW(Command(id::kV560001), RegistryError);
  EXPECT_TRUE(menus.Checked("V560001"));
  EXPECT_TRUE(menus.Visible("N8xFSAA1"));
}

TEST_F(TrayCommandsTest, StartupRegistrationFollowsTheCheckMark) {
  const struct {
    const char* path;
    const char* stored;
  } cases[] = {
      {"C:\\Tarnwick\\tarnwick.exe", "C:\\Tarnwick\\tarnwick.exe"},
      {"C:\\Program Files\\Tarnwick\\tarnwick.exe", "\"C:\\Program Files\\Tarnwick\\tarnwick.exe\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    shell.exePath = c.path;
    ui.notices.clear();
    Command(id::kStartupMenu);
    EXPECT_TRUE(menus.Checked("StartupMenu"));
    EXPECT_EQ(reg.GetString(kHklm, kRun, "Tarnwick"), c.stored);
    Command(id::kStartupMenu);
    EXPECT_FALSE(menus.Checked("StartupMenu"));
    EXPECT_EQ(reg.Get(kHklm, kRun, "Tarnwick"), std::nullopt);
    EXPECT_EQ(ui.notices,
              (Names{std::string("Next time Windows starts, it will try to load Tarnwick from "
                                 "this location: \r") + c.path,
                     "Tarnwick has been removed from Windows startup"}));
  }
  EXPECT_TRUE(ui.errorReports.empty());
}

TEST_F(TrayCommandsTest, StartupRegistrationRefusedStaysUnchecked) {
  reg.RefuseWrites(kHklm, kRun);
  try {
    Command(id::kStartupMenu);
    ADD_FAILURE() << "a refused write was not reported";
  } catch (const RegistryError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'Tarnwick'");
  }
  EXPECT_FALSE(menus.Checked("StartupMenu"));
  EXPECT_TRUE(ui.notices.empty());

  // A value that cannot be deleted keeps its check mark.
  reg.ClearRefusals();
  Command(id::kStartupMenu);
  reg.RefuseWrites(kHklm, kRun);
  EXPECT_THROW(Command(id::kStartupMenu), RegistryError);
  EXPECT_TRUE(menus.Checked("StartupMenu"));
  EXPECT_TRUE(reg.Get(kHklm, kRun, "Tarnwick").has_value());
  EXPECT_EQ(ui.notices.size(), 1u);
}

TEST_F(TrayCommandsTest, ReloadSettingsIsStoredAndFollowedByTheNextRun) {
  state.reloadChecked = true;
  form.BuildMenus();
  reg.PutString(kHkcu, Profile("Quake"), "FilePath", "c:\\quake\\quake.exe");
  Command(id::kReloadSettings);
  EXPECT_FALSE(menus.Checked("ReloadSettings"));
  EXPECT_EQ(reg.GetDword(kHkcu, kStore, "Reload settings"), 0u);
  form.RunFromMenu("Quake");
  EXPECT_FALSE(timer.Enabled()) << "watched although reloading is off";

  Command(id::kReloadSettings);
  EXPECT_TRUE(menus.Checked("ReloadSettings"));
  EXPECT_EQ(reg.GetDword(kHkcu, kStore, "Reload settings"), 1u);
  form.RunFromMenu("Quake");
  EXPECT_TRUE(timer.Enabled());
}

TEST_F(TrayCommandsTest, RunItemRunsTheProfileNamedByItsCaption) {
  reg.PutString(kHkcu, Profile("Quake III"), "FilePath", "c:\\q3\\quake3.exe");
  reg.PutString(kHkcu, Profile("Quake III"), "Parameters", "+set fs_game baseq3");
  reg.PutString(kHkcu, Profile("Quake III"), "Directory", "c:\\q3");
  reg.PutString(kHkcu, Profile("Quake III") + "\\D3D", "SSTH3_RGAMMA", "1.60");
  AddProfile("Descent");
  form.BuildMenus();
  FakeSubmenu& run = menus.Submenu("Run1");
  ASSERT_EQ(run.Captions(), (Names{"Descent", "Quake III"}));

  Command(run.IdAt(1));
  ASSERT_EQ(processes.Launches().size(), 1u);
  EXPECT_EQ(processes.Launches()[0].file, "c:\\q3\\quake3.exe");
  EXPECT_EQ(processes.Launches()[0].parameters, "+set fs_game baseq3");
  EXPECT_EQ(processes.Launches()[0].directory, "c:\\q3");
  EXPECT_EQ(DriverValue("D3D", "SSTH3_RGAMMA"), "1.60");
  EXPECT_TRUE(timer.Enabled());

  // A Config item opens the editor on the profile of its caption; it runs nothing.
  view.calls.clear();
  Command(menus.Submenu("Config1").IdAt(1));
  EXPECT_EQ(processes.Launches().size(), 1u);
  EXPECT_EQ(view.calls, (Names{"Editor: Quake III"}));
}

TEST_F(TrayCommandsTest, EditorOpeningsAndTheAddProgramFlag) {
  Command(id::kCurrentsettings1);
  Command(id::kSetcurrentsettingsasuserdefault1);
  form.ShowLiveSettingsMessage();
  Command(id::kAddprogram1);
  EXPECT_EQ(view.calls, (Names{"Editor: live settings", "Editor: user defaults",
                               "Editor: live settings",
                               "Editor: add program (tray ignores clicks)"}));
  EXPECT_FALSE(form.AddingProgram);
  // An opening that fails (a stored value that does not convert) leaves the
  // tray reacting.
  editors.fail = true;
  EXPECT_THROW(form.AddProgram(), CommandError);
  EXPECT_FALSE(form.AddingProgram);

  // A driver key this account may only read (a limited one on 2000/XP): the
  // live editor says so instead of opening to fail at OK; "Set user defaults"
  // writes only the account's own settings and still opens.
  view.calls.clear();
  state.administratorCan = true;
  reg.PutKey(kHklm, DriverGroup("D3D"));
  reg.RefuseWrites(kHklm, DriverGroup("D3D"));
  Command(id::kCurrentsettings1);
  form.ShowLiveSettingsMessage();
  Command(id::kSetcurrentsettingsasuserdefault1);
  const std::string notice =
      "This account may not change the driver's settings; an administrator account can.";
  EXPECT_EQ(ui.notices, (Names{notice, notice}));
  EXPECT_EQ(view.calls, (Names{"Editor: user defaults"}));
}

TEST_F(TrayCommandsTest, EmptyEntriesRunNothing) {
  form.BuildProgramMenus();
  Command(menus.Submenu("Run1").IdAt(0));
  EXPECT_TRUE(processes.Launches().empty());
  EXPECT_FALSE(reg.HasKey(kHkcu, Profile("Empty")));
}

TEST_F(TrayCommandsTest, VideoModeItemSwitchesTheDesktop) {
  form.BuildMenus();
  FakeSubmenu& video = menus.Submenu("Videomode1");
  Command(video.IdAt(0));  // 32bit - 1024x768, mode 2
  EXPECT_EQ(display.ChangeCalls(), std::vector<int>{2});
  EXPECT_TRUE(video.Checked(video.IdAt(0)));
  EXPECT_FALSE(video.Checked(video.IdAt(1)));
}

TEST_F(TrayCommandsTest, ResetsReachTheDriver) {
  reg.PutString(kHkcu, Profile("User Default") + "\\D3D", "SSTH3_RGAMMA", "0.80");
  reg.PutString(kHklm, DriverGroup("D3D"), "SSTH3_RGAMMA", "1.60");
  Command(id::kResettouserdefault1);
  EXPECT_EQ(DriverValue("D3D", "SSTH3_RGAMMA"), "0.80");
  Command(id::kFactoryDefaults1);
  EXPECT_EQ(DriverValue("D3D", "SSTH3_RGAMMA"), "1.30");
  EXPECT_EQ(DriverValue("D3D", "Prev SSTH3_RGAMMA"), "0.80");
}

TEST_F(TrayCommandsTest, RemovalAsksAndEndsOnlyWithYes) {
  AddProfile("Quake");
  reg.PutDword(kHkcu, kStore, "VoodooType", 5500);
  reg.PutString(kHklm, kRun, "Tarnwick", "c:\\tarnwick.exe");
  const std::string question =
      "Do you want Tarnwick and its game-settings removed from the Windows registry?";

  questions.Answer(false);
  Command(id::kMenuRemoveReg);
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0].first, Question::WarningYesNo);
  EXPECT_EQ(questions.asked[0].second, question);
  EXPECT_TRUE(reg.HasKey(kHkcu, Profile("Quake")));
  EXPECT_TRUE(view.calls.empty());

  // Refused half-way: reported, and the menus list only what is left.
  AddProfile("Doom");
  form.BuildProgramMenus();
  reg.FailCall(FakeRegistry::CallKind::Delete, 2);
  questions.Answer(true);
  Command(id::kMenuRemoveReg);
  EXPECT_EQ(ui.errorReports.size(), 1u);
  EXPECT_EQ(menus.Submenu("Config1").Captions(), Names{"Doom"});  // Quake went first
  EXPECT_TRUE(view.calls.empty());

  // An adopted shortcut goes back before its records are deleted, the
  // machine's one too for a shortcut on every account's desktop.
  LinkFields link;
  link.target = "C:\\Doom\\doom.exe";
  shell.shellLinks.links["C:\\Desktop\\Doom.lnk"] = link;
  LinkAdoption(program, startupRegistry, shell.shellLinks, shell.exePath)
      .Adopt("Doom", {{"C:\\Desktop\\Doom.lnk", LinkPlace::Desktop, link, true}});
  ASSERT_TRUE(reg.HasKey(kHklm, "Software\\Hexmoor\\Tarnwick Shared Shortcuts"));
  ASSERT_NE(shell.shellLinks.links["C:\\Desktop\\Doom.lnk"], link);
  questions.Answer(true);
  Command(id::kMenuRemoveReg);
  EXPECT_FALSE(reg.HasKey(kHkcu, kStore));
  EXPECT_TRUE(reg.HasKey(kHkcu, "Software\\Hexmoor"));
  EXPECT_TRUE(reg.Get(kHklm, kRun, "Tarnwick").has_value());
  EXPECT_EQ(ui.notices, Names{"Tarnwick will close now."});
  EXPECT_EQ(view.calls, Names{"Close"});
  EXPECT_EQ(shell.shellLinks.links["C:\\Desktop\\Doom.lnk"], link);
  EXPECT_FALSE(reg.HasKey(kHklm, "Software\\Hexmoor\\Tarnwick Shared Shortcuts"));
}

TEST_F(TrayCommandsTest, ResetAndRemovalSettleARestoreOwedByAWatchedRun) {
  reg.PutString(kHkcu, Profile("Quake"), "FilePath", "c:\\quake\\quake.exe");
  const auto owed = [&] { return reg.Get(kHkcu, kStore, kJournalValue).has_value(); };
  form.RunFromMenu("Quake");
  ASSERT_TRUE(owed());
  Command(id::kResettoprevioussettings1);
  EXPECT_FALSE(owed());

  form.RunFromMenu("Quake");
  ASSERT_TRUE(owed());
  questions.Answer(true);
  Command(id::kMenuRemoveReg);
  EXPECT_FALSE(owed());
}

TEST_F(TrayCommandsTest, LinksAboutAndExit) {
  Command(id::kEmailauthor1);
  Command(id::kVisitWebpage1);
  EXPECT_EQ(shell.openedLinks, (Names{"mailto:tarnwick@example.org", "http://www.example.com/tarnwick/"}));

  Command(id::kAbout1);
  reg.PutDword(kHkcu, kStore, "Left", 100);
  reg.PutDword(kHkcu, kStore, "Top", 50);
  Command(id::kAbout1);
  reg.PutString(kHkcu, kStore, "Left", "100");
  EXPECT_THROW(Command(id::kAbout1), RegistryError);
  Command(id::kClose1);
  EXPECT_EQ(view.calls, (Names{"About at -,-", "About at 100,50", "Close"}));
}

TEST(AboutBox, LinksAndASingleRelease) {
  FakeDesktopShell shell;
  FakeUserInterface ui;
  AboutBox about(shell, ui);
  about.VisitWebpage();
  about.MailAuthor();
  EXPECT_EQ(shell.openedLinks, (Names{kHomePage, "mailto:" + std::string(kAuthorMail)}));
  about.Close();
  about.Close();
  EXPECT_EQ(ui.posted, std::vector<unsigned>{kAboutClosedMessage});
}

// The editor and the about box open inside the desktop's work area.
TEST(WindowPlacement, WholeWindowWhenItFitsElseItsCorner) {
  const Bounds area{0, 0, 640, 452};  // 640x480 less the taskbar
  const std::pair<Bounds, Bounds> cases[] = {
      {{100, 50, 300, 160}, {100, 50, 300, 160}},    // inside: stays
      {{1400, 900, 300, 160}, {340, 292, 300, 160}},  // off a larger desktop
      {{-500, -20, 300, 160}, {0, 0, 300, 160}},
      {{600, 300, 700, 500}, {0, 0, 700, 500}},       // larger than the area
      {{600, 300, 300, 500}, {340, 0, 300, 500}},     // fits across only
  };
  for (const auto& c : cases) {
    const Bounds shown = FitIntoWorkArea(c.first, area);
    EXPECT_EQ(shown.left, c.second.left) << c.first.left << "," << c.first.top;
    EXPECT_EQ(shown.top, c.second.top) << c.first.left << "," << c.first.top;
  }
  const Bounds shifted = FitIntoWorkArea({0, 0, 300, 160}, {0, 28, 640, 452});  // taskbar on top
  EXPECT_EQ(shifted.top, 28);
}

}  // namespace
}  // namespace tw
