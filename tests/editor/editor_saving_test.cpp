#include "editor_fixture.h"

namespace tw {
namespace {

class SavingTest : public EditorTest {
 protected:
  void AddProgram(const std::string& path) {
    chooser.answer = path;
    openings.AddProgram();
    ASSERT_TRUE(openings.EditorOpen());
  }
  std::vector<std::string> ValueNames(const std::string& path) const {
    return reg.ValueNames(HKCU, path);
  }
};

TEST_F(SavingTest, OkStoresTheNewProfileInOrderThenRebuildsMenusAndCloses) {
  AddProgram("C:\\Games\\Flight\\FLIGHT.EXE");
  openings.EditProfile("Other");  // a queued second opening changes nothing
  Type("Edit2", "-fullscreen");
  Type("SpinEdit1", "7");
  Form().CheckBox("CheckBox1").SetChecked(true);
  Click("CheckBox1");
  Form().List("SetDesktopCombo0").SetItemIndex(1);
  Pick("GComboBox6", "0.25");
  Pick("DComboBox3", "4x FSAA");
  Form().CheckBox("TextureCheck").SetChecked(true);
  Slide("DTrackG", 150);
  Form().Pages(kPageControl).SetActivePage(kAdditionPage);
  Click("Button1");

  EXPECT_TRUE(questions.asked.empty());
  const std::string key = Profile("FLIGHT.EXE");
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"FilePath", "Tabsheet", "Parameters",
                                                        "Directory", "Poll", "Desktop Mode"}));
  EXPECT_EQ(reg.GetString(HKCU, key, "FilePath"), "C:\\Games\\Flight\\FLIGHT.EXE");
  EXPECT_EQ(reg.GetString(HKCU, key, "Tabsheet"), "AdditionTab");
  EXPECT_EQ(reg.GetString(HKCU, key, "Parameters"), "-fullscreen");
  EXPECT_EQ(reg.GetString(HKCU, key, "Directory"), "C:\\Games\\Flight\\");
  EXPECT_EQ(reg.GetDword(HKCU, key, "Poll"), 7u);
  EXPECT_EQ(reg.GetDword(HKCU, key, "Desktop Mode"), 3u);  // entry 1 is mode 3
  EXPECT_EQ(Stored("FLIGHT.EXE", GLIDE, "FX_GLIDE_LOD_BIAS"), "1");
  EXPECT_EQ(Stored("FLIGHT.EXE", D3D, "SSTH3_SLI_AA_CONFIGURATION"), "4");
  EXPECT_EQ(Stored("FLIGHT.EXE", GLIDE, "FX_GLIDE_ALLOC_COLOR"), "-1");
  EXPECT_EQ(Stored("FLIGHT.EXE", D3D, "SSTH3_RGAMMA"), "1.50");  // locked
  EXPECT_EQ(Stored("FLIGHT.EXE", D3D, "SSTH3_GGAMMA"), "1.50");
  EXPECT_EQ(Stored("FLIGHT.EXE", GLIDE, "FX_GLIDE_TMU_MEMSIZE"), "2");
  EXPECT_EQ(Stored("FLIGHT.EXE", GLIDE, "FX_GLIDE_SWAPINTERVAL"), std::nullopt);
  // Gammas and switches come before the lists in each group.
  EXPECT_EQ(ValueNames(Group("FLIGHT.EXE", D3D)).front(), "SSTH3_RGAMMA");
  EXPECT_EQ(host.menuBuilds, 1);
  EXPECT_TRUE(Closed());
  EXPECT_FALSE(Form().Window().Visible());
  EXPECT_TRUE(reg.GetDword(HKCU, Profile(""), "Left").has_value());
}

TEST_F(SavingTest, ExistingNameInOtherCaseAsksAndCancelKeepsTheEditor) {
  StoreProgram("FLIGHT.EXE", "C:\\Old\\FLIGHT.EXE");
  AddProgram("C:\\Games\\Flight\\flight.exe");
  Click("Button1");
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0].first, Question::WarningOkCancel);
  EXPECT_EQ(questions.asked[0].second, "flight.exe already exists. Can I overwrite this?");
  EXPECT_EQ(reg.GetString(HKCU, Profile("FLIGHT.EXE"), "FilePath"), "C:\\Old\\FLIGHT.EXE");
  EXPECT_FALSE(Closed());
  EXPECT_EQ(host.menuBuilds, 0);

  questions.Answer(true);
  Click("Button1");
  EXPECT_EQ(reg.GetString(HKCU, Profile("FLIGHT.EXE"), "FilePath"), "C:\\Games\\Flight\\flight.exe");
  EXPECT_EQ(reg.SubkeyNames(HKCU, "Software\\Hexmoor\\Tarnwick"),
            (std::vector<std::string>{"FLIGHT.EXE"}));
}

TEST_F(SavingTest, RenameAsksAndYesRemovesTheOldProfile) {
  struct Case {
    const char* newName;
    bool yes;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"B", true, {"B"}},
      {"B", false, {"A", "B"}},
      {"a", true, {"a"}},   // only the letter case: stored under the new case
      {"a", false, {"A"}},  // written into the existing key, whose name stays
  };
  for (const Case& c : cases) {
    reg.RemoveKey(HKCU, "Software\\Hexmoor\\Tarnwick");
    StoreProgram("A", "C:\\A.EXE");
    Store("A", D3D, "SSTH3_OVERLAYMODE", "2");
    questions.asked.clear();
    questions.Answer(c.yes);
    openings.EditProfile("A");
    Type("Edit1", c.newName);
    Click("Button1");
    openings.EditorClosed();
    ASSERT_EQ(questions.asked.size(), 1u) << c.newName;
    EXPECT_EQ(questions.asked[0].first, Question::WarningYesNo);
    EXPECT_EQ(questions.asked[0].second,
              std::string("You changed the title from A to ") + c.newName + ". Can I remove A?");
    EXPECT_EQ(reg.SubkeyNames(HKCU, "Software\\Hexmoor\\Tarnwick"), c.keys)
        << c.newName << " " << c.yes;
    EXPECT_EQ(Stored(c.newName, D3D, "SSTH3_OVERLAYMODE"), "2");
  }
  // Yes, but the registry keeps the old profile: said so, nothing saved, the
  // editor stays open.
  openings.EditProfile("A");
  ui.posted.clear();
  Type("Edit1", "C");
  questions.Answer(true);
  reg.FailCall(FakeRegistry::CallKind::Delete, 1);
  EXPECT_THROW(Click("Button1"), RegistryError);
  EXPECT_TRUE(reg.HasKey(HKCU, Profile("A")));
  EXPECT_FALSE(reg.HasKey(HKCU, Profile("C")));
  EXPECT_FALSE(Closed());
}

// Unchecked removes the mode. Checked with no entry selected (a stored mode
// this display does not list) keeps the stored one rather than lose it unseen.
TEST_F(SavingTest, DesktopModeFollowsTheCheckBoxAndKeepsAModeNoEntryShows) {
  struct Case {
    bool checked;
    int position;
    std::optional<uint32_t> stored;
  };
  const Case cases[] = {{false, -1, std::nullopt}, {false, 1, std::nullopt}, {true, -1, 40u},
                        {true, 0, 1u}};  // entry 0 is mode 1
  for (const Case& c : cases) {
    StoreProgram("Demo", "C:\\D.EXE");
    reg.PutDword(HKCU, Profile("Demo"), "Desktop Mode", 40);
    openings.EditProfile("Demo");
    Form().CheckBox("CheckBox1").SetChecked(c.checked);
    Form().List("SetDesktopCombo0").SetItemIndex(c.position);
    Click("Button1");
    openings.EditorClosed();
    EXPECT_EQ(reg.GetDword(HKCU, Profile("Demo"), "Desktop Mode"), c.stored)
        << c.checked << " " << c.position;
  }
}

// The driver's mode list changed between two openings (a new monitor, a new
// driver): the second shows and stores by the new list, not the first one's.
TEST_F(SavingTest, EachOpeningTakesTheModeListAfresh) {
  StoreProgram("Demo", "C:\\D.EXE");
  reg.PutDword(HKCU, Profile("Demo"), "Desktop Mode", 3);
  openings.EditProfile("Demo");
  EXPECT_EQ(Shown("SetDesktopCombo0"), "800x600 - 16 bit-color");
  Click("Button2");
  openings.EditorClosed();

  display.SetModes(
      {{16, 640, 480, 60}, {16, 800, 600, 60}, {16, 1024, 768, 60}, {32, 1024, 768, 60}});
  openings.EditProfile("Demo");
  EXPECT_EQ(Shown("SetDesktopCombo0"), "1024x768 - 32 bit-color");
  Form().List("SetDesktopCombo0").SetItemIndex(1);
  Click("Button1");
  openings.EditorClosed();
  EXPECT_EQ(reg.GetDword(HKCU, Profile("Demo"), "Desktop Mode"), 1u);
}

TEST_F(SavingTest, TextThatIsNoEntryStoresNothingForThatSetting) {
  StoreProgram("Demo", "C:\\D.EXE");
  Store("Demo", GLIDE, "FX_GL_GUARDBAND_ENABLED", "1");
  openings.EditProfile("Demo");
  Type("GComboBoxD", "Maybe");
  Type("SpinEdit1", "soon");
  Click("Button1");
  EXPECT_EQ(Stored("Demo", GLIDE, "FX_GL_GUARDBAND_ENABLED"), "1");
  EXPECT_EQ(Stored("Demo", GLIDE, "FX_GL_HSR"), "0");
  EXPECT_EQ(reg.GetDword(HKCU, Profile("Demo"), "Poll"), 1u);
}

TEST_F(SavingTest, EmptyFsaaBoxStoresNothing) {
  SettingCatalogue noModel;
  EditorServices bare{noModel, program, driver, driverKey, modes, driverSettings,
                      ui,      questions, shell, host,   working};
  FakeEditorFactory bareFactory(bare);
  EditorOpenings bareOpenings(bareFactory, working, chooser);
  chooser.answer = "C:\\G.EXE";
  bareOpenings.AddProgram();
  ASSERT_TRUE(DispatchEditorEvent(*bareOpenings.OpenEditor(), "Button1", EditorEvent::Click));
  EXPECT_EQ(Stored("G.EXE", D3D, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Stored("G.EXE", D3D, "SSTH3_LOD_BIAS"), "0");
}

TEST_F(SavingTest, NameWithABackslashIsRefused) {
  AddProgram("C:\\G.EXE");
  Type("Edit1", "Other\\D3D");
  Click("Button1");
  EXPECT_EQ(ui.notices, (std::vector<std::string>{"A profile name cannot contain a backslash (\\)."}));
  EXPECT_FALSE(reg.HasKey(HKCU, Profile("Other")));
  EXPECT_FALSE(Closed());
}

TEST_F(SavingTest, RefusedWriteStopsThereButStillRebuildsAndCloses) {
  AddProgram("C:\\G.EXE");
  reg.RefuseValueWrite("Directory");
  try {
    Click("Button1");
    FAIL() << "no error raised";
  } catch (const RegistryError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'Directory'");
  }
  EXPECT_EQ(reg.GetString(HKCU, Profile("G.EXE"), "Parameters"), "");
  EXPECT_FALSE(reg.GetDword(HKCU, Profile("G.EXE"), "Poll").has_value());
  EXPECT_EQ(host.menuBuilds, 1);
  EXPECT_TRUE(Closed());

  // The rebuild and the closing fail as well: each failure is shown once,
  // and the editor closes all the same.
  openings.EditorClosed();
  AddProgram("C:\\H.EXE");
  ui.posted.clear();
  host.buildFails = true;
  reg.RefuseValueWrite("Left");
  EXPECT_THROW(Click("Button1"), RegistryError);
  EXPECT_EQ(ui.errorReports, (std::vector<std::string>{"Failed to set data for 'Directory'",
                                                        "Invalid data type for 'SSTH3_LOD_BIAS'"}));
  EXPECT_TRUE(Closed());
  EXPECT_FALSE(Form().Window().Visible());
}

TEST_F(SavingTest, SetDefaultWritesUserDefaultsOnly) {
  SetLive(D3D, "SSTH3_SWAPINTERVAL", "0");
  Store("User Default", D3D, "SSTH3_SWAPINTERVAL", "0");
  openings.EditUserDefaults();
  Form().CheckBox("DVSyncCheck").SetChecked(false);
  Pick("GComboBox7", "Enable");
  reg.RefuseWrites(HKLM, Driver(D3D));  // the driver must not be touched
  reg.RefuseWrites(HKLM, Driver(GLIDE));
  Click("Button3");
  EXPECT_TRUE(host.resetEnabled);
  EXPECT_EQ(Stored("User Default", D3D, "SSTH3_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Stored("User Default", GLIDE, "FX_GLIDE_ALLOC_COLOR"), "3");
  EXPECT_EQ(Stored("User Default", GLIDE, "SSTH3_GGAMMA"), "1.30");
  EXPECT_EQ(Live(D3D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(host.menuBuilds, 0);
  EXPECT_TRUE(Closed());
}

TEST_F(SavingTest, LiveOkRecordsOnlyExistingGammasAndListsAndLeavesSwitchRecords) {
  SetLive(D3D, "SSTH3_RGAMMA", "1.60");
  SetLive(GLIDE, "FX_GLIDE_TMU_MEMSIZE", "2");
  SetLive(GLIDE, "Prev FX_GLIDE_TMU_MEMSIZE", "old");
  SetLive(D3D, "SSTH3_LOD_BIAS", "0");
  openings.EditLiveSettings();
  Form().CheckBox("TextureCheck").SetChecked(false);
  Pick("DComboBox3", "2x FSAA");
  Click("Button5");
  EXPECT_EQ(Live(D3D, "Prev SSTH3_RGAMMA"), "1.60");
  EXPECT_EQ(Live(D3D, "SSTH3_GGAMMA"), "1.30");
  EXPECT_EQ(Live(D3D, "Prev SSTH3_GGAMMA"), std::nullopt);
  EXPECT_EQ(Live(D3D, "Prev SSTH3_LOD_BIAS"), "0");  // recorded though unchanged
  EXPECT_EQ(Live(D3D, "SSTH3_SLI_AA_CONFIGURATION"), "3");
  EXPECT_EQ(Live(GLIDE, "FX_GLIDE_TMU_MEMSIZE"), std::nullopt);
  EXPECT_EQ(Live(GLIDE, "Prev FX_GLIDE_TMU_MEMSIZE"), "old");
  EXPECT_EQ(host.menuBuilds, 0);
  EXPECT_TRUE(Closed());
}

// The driver shows its splash only while the value is absent: the live
// editor reads absence as "Enable" and any text as "Disable", and writes them
// back that way, recording what it replaced. A profile keeps the numbers.
TEST_F(SavingTest, SplashIsTheValuesPresenceInTheDriver) {
  const struct {
    std::optional<std::string> before;
    const char* shown;
    const char* chosen;
    std::optional<std::string> after;
  } cases[] = {
      {std::nullopt, "Enable", "Disable", "1"},
      {"1", "Disable", "Enable", std::nullopt},
      {"0", "Disable", "Enable", std::nullopt},
      {"", "Disable", "Disable", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before.value_or("absent"));
    reg.RemoveKey(HKLM, Driver(GLIDE));
    reg.PutKey(HKLM, Driver(GLIDE));
    if (c.before) SetLive(GLIDE, "FX_GLIDE_NO_SPLASH", *c.before);
    openings.EditLiveSettings();
    EXPECT_EQ(Form().List("GComboBox10").Text(), c.shown);
    Pick("GComboBox10", c.chosen);
    Click("Button5");
    EXPECT_EQ(Live(GLIDE, "FX_GLIDE_NO_SPLASH"), c.after);
    EXPECT_EQ(Live(GLIDE, "Prev FX_GLIDE_NO_SPLASH"), c.before);
    openings.EditorClosed();
  }
  Store("Game", GLIDE, "FX_GLIDE_NO_SPLASH", "1");
  StoreProgram("Game", "C:\\Games\\game.exe");
  openings.EditProfile("Game");
  EXPECT_EQ(Form().List("GComboBox10").Text(), "Enable");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST_F(SavingTest, TheGamesShortcutsAreOfferedOnceFollowARenameAndGoBackOnRemove) {
  const std::string game = "C:\\Games\\Flight\\FLIGHT.EXE";
  const std::string menu = "C:\\Start Menu\\Programs\\Flight.lnk";
  const std::string other = "C:\\Desktop\\Flight (windowed).lnk";
  LinkFields original;
  original.target = game;
  original.arguments = "+x";
  std::map<std::string, LinkFields>& links = shell.shellLinks.links;
  links[menu] = original;
  links[other] = original;
  links[other].arguments = "-window";

  AddProgram(game);
  Click("Button1");  // no answer: the default, No
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0].first, Question::ConfirmDefaultNo);
  EXPECT_EQ(questions.asked[0].second,
            "2 shortcuts start FLIGHT.EXE (Start menu, desktop). Start them through Tarnwick "
            "with this profile?");
  EXPECT_EQ(links[menu], original);
  openings.EditorClosed();

  questions.Answer(true);  // overwrite
  questions.Answer(true);  // adopt
  AddProgram(game);
  Click("Button1");
  EXPECT_EQ(links[menu].target, shell.exePath);
  EXPECT_EQ(links[other].arguments, "-window");  // left alone, and said so
  EXPECT_EQ(ui.notices, std::vector<std::string>{
                            other + ": left alone, its arguments \"-window\" differ from the "
                                    "profile's \"+x\""});
  EXPECT_EQ(reg.GetString(HKCU, Profile("FLIGHT.EXE"), "Parameters"), "+x");
  openings.EditorClosed();
  ASSERT_EQ(questions.asked.size(), 3u);

  // A later OK asks nothing of the shortcut left alone.
  questions.Answer(true);  // remove the old name
  openings.EditProfile("FLIGHT.EXE");
  Type("Edit1", "Flight");
  Click("Button1");
  openings.EditorClosed();
  ASSERT_EQ(questions.asked.size(), 4u);
  EXPECT_EQ(questions.asked[3].first, Question::WarningYesNo);
  EXPECT_EQ(links[menu].arguments, "\"Flight\"");
  EXPECT_TRUE(reg.HasKey(HKCU, Profile("Flight") + "\\Adopted Shortcuts\\1"));
  EXPECT_FALSE(reg.HasKey(HKCU, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts"));

  openings.EditProfile("Flight");
  Click("Button4");
  EXPECT_EQ(links[menu], original);
  EXPECT_EQ(ui.notices.size(), 1u);
  openings.EditorClosed();

  // Tarnwick's own shortcuts are never offered as a program's.
  links[menu].target = shell.exePath;
  AddProgram(shell.exePath);
  Click("Button1");
  EXPECT_EQ(questions.asked.size(), 4u);
}

}  // namespace
}  // namespace tw
