#include "editor/file_names.h"
#include "editor_fixture.h"

namespace tw {
namespace {

using CommandsTest = EditorTest;

TEST_F(CommandsTest, NameRuleGuardsOkRemoveAndShortcut) {
  StoreProgram("Demo", "C:\\D.EXE");
  openings.EditProfile("Demo");
  const std::pair<const char*, bool> cases[] = {
      {"user default", false}, {"USER DEFAULT", false}, {"User Default", false}, {"", false},
      {"User Defaults", true}, {" User Default", true}, {"x", true}};
  for (const auto& c : cases) {
    Type("Edit1", c.first);
    for (const char* button : {"Button1", "Button4", "Button7"}) {
      EXPECT_EQ(Form().Get(button).Enabled(), c.second) << '"' << c.first << "\" " << button;
    }
  }
}

TEST_F(CommandsTest, RemoveActsOnTheNameInTheField) {
  StoreProgram("A", "C:\\A.EXE");
  StoreProgram("B", "C:\\B.EXE");
  StoreProgram("DEMO.EXE", "C:\\DEMO.EXE");
  openings.EditProfile("A");
  // A backslash would reach into another profile's key.
  Type("Edit1", "B\\D3D");
  Click("Button4");
  EXPECT_TRUE(reg.HasKey(HKCU, Group("B", D3D)));
  Type("Edit1", "Nothing");
  Click("Button4");
  EXPECT_EQ(ui.notices, (std::vector<std::string>{"A profile name cannot contain a backslash (\\).",
                                                   "Could not find 'Nothing'"}));
  EXPECT_FALSE(Closed());
  // A deletion the registry refuses is reported; the editor stays open.
  Type("Edit1", "B");
  reg.FailCall(FakeRegistry::CallKind::Delete, 1);
  EXPECT_THROW(Click("Button4"), RegistryError);
  EXPECT_FALSE(Closed());
  EXPECT_EQ(host.menuBuilds, 0);
  Click("Button4");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(host.menuBuilds, 1);
  EXPECT_TRUE(reg.HasKey(HKCU, Profile("A")));
  EXPECT_FALSE(reg.HasKey(HKCU, Profile("B")));
  EXPECT_FALSE(reg.HasKey(HKCU, Group("B", D3D)));

  // Removed, but the menus cannot be rebuilt: reported, and the editor closes.
  openings.EditorClosed();
  openings.EditProfile("A");
  Type("Edit1", "demo.exe");
  host.buildFails = true;
  ui.posted.clear();
  EXPECT_THROW(Click("Button4"), RegistryError);
  EXPECT_FALSE(reg.HasKey(HKCU, Profile("DEMO.EXE")));
  EXPECT_TRUE(Closed());
}

TEST_F(CommandsTest, ShortcutStartsTarnwickWithTheQuotedName) {
  chooser.answer = "C:\\Games\\Demo\\DEMO.EXE";
  openings.AddProgram();
  Type("Edit1", "Demo  Two");
  questions.Answer(true);
  Click("Button7");
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0].first, Question::ConfirmYesNo);
  EXPECT_EQ(questions.asked[0].second,
            "Do you want a shortcut for this application on your desktop?");
  const auto link = shell.links.find("C:\\Users\\me\\Desktop\\Demo  Two.lnk");
  ASSERT_NE(link, shell.links.end());
  EXPECT_EQ(link->second.target, "C:\\Tools\\Tarnwick\\tarnwick.exe");
  EXPECT_EQ(link->second.arguments, "\"Demo  Two\"");
  EXPECT_EQ(link->second.workingDirectory, "C:\\Tools\\Tarnwick\\");
  EXPECT_EQ(link->second.iconFile, "C:\\Games\\Demo\\DEMO.EXE");
  EXPECT_EQ(link->second.iconIndex, 0);
  EXPECT_FALSE(Closed());  // the editor stays open
  // No: nothing written.
  Type("Edit1", "Other");
  Click("Button7");
  EXPECT_EQ(shell.links.size(), 1u);
}

TEST_F(CommandsTest, ShortcutFailuresAreReported) {
  chooser.answer = "C:\\G.EXE";
  openings.AddProgram();
  for (const char* unsafe : {"..\\..\\evil", "a/b", "what?", "x:y", "\"q\"", "a|b"}) {
    Type("Edit1", unsafe);
    Click("Button7");
  }
  EXPECT_TRUE(questions.asked.empty());
  EXPECT_EQ(ui.notices.size(), 6u);
  EXPECT_TRUE(shell.links.empty());

  ui.notices.clear();
  Type("Edit1", "Game");
  shell.saveFails = true;
  questions.Answer(true);
  Click("Button7");
  EXPECT_EQ(ui.notices,
            (std::vector<std::string>{"The shortcut C:\\Users\\me\\Desktop\\Game.lnk could not be saved."}));
  shell.desktop.reset();
  questions.Answer(true);
  Click("Button7");
  EXPECT_EQ(ui.notices.size(), 2u);
  shell.desktop = "C:\\Desk";
  shell.linkObjectFails = true;
  questions.Answer(true);
  EXPECT_THROW(Click("Button7"), CommandError);
  EXPECT_TRUE(shell.links.empty());
}

TEST_F(CommandsTest, PageDecidesHeightAndButtonsSitBelowIt) {
  openings.EditProfile("New");  // no key yet: opens on the Glide page
  const std::pair<const char*, int> pages[] = {
      {kGlidePage, 281}, {kD3DPage, 201}, {kAdditionPage, 269}};
  for (const auto& page : pages) {
    if (page.first != std::string(kGlidePage)) {
      Form().Pages(kPageControl).SetActivePage(page.first);
      Change(kPageControl);
    }
    const Bounds control = Form().Get(kPageControl).GetBounds();
    EXPECT_EQ(control.height, page.second) << page.first;
    for (const char* button : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button7"}) {
      EXPECT_EQ(Form().Get(button).GetBounds().top, control.top + control.height + 3) << button;
    }
    EXPECT_EQ(Form().Window().ClientHeight(), control.top + control.height + 3 + 25 + 2);
  }
}

TEST_F(CommandsTest, EditorReopensWhereItWasClosed) {
  openings.EditLiveSettings();
  Form().Window().SetPosition(321, 123);
  Click("Button2");
  EXPECT_TRUE(Closed());
  EXPECT_TRUE(openings.EditorOpen());  // destroyed only by the closed message
  openings.EditorClosed();
  EXPECT_FALSE(openings.EditorOpen());
  EXPECT_EQ(reg.GetDword(HKCU, Profile(""), "Left"), 321u);
  openings.EditUserDefaults();
  EXPECT_EQ(Form().Window().Left(), 321);
  EXPECT_EQ(Form().Window().Top(), 123);

  // Closed on a larger desktop: it opens wholly inside the work area, and
  // closing stores the place it was shown at.
  Click("Button2");
  openings.EditorClosed();
  reg.PutDword(HKCU, Profile(""), "Left", 1500);
  reg.PutDword(HKCU, Profile(""), "Top", 0xFFFFFF00);  // -256
  openings.EditProfile("Demo");
  const int left = 1024 - Form().Window().Width();
  EXPECT_EQ(Form().Window().Left(), left);
  EXPECT_EQ(Form().Window().Top(), 0);
  Click("Button2");
  EXPECT_EQ(reg.GetDword(HKCU, Profile(""), "Left"), static_cast<uint32_t>(left));
  EXPECT_EQ(reg.GetDword(HKCU, Profile(""), "Top"), 0u);
}

TEST_F(CommandsTest, ClosingFreesTheEditorEvenWhenItsPlaceCannotBeStored) {
  openings.EditLiveSettings();
  reg.RefuseValueWrite("Left");
  EXPECT_THROW(Click("Button2"), RegistryError);
  EXPECT_TRUE(Closed());
  EXPECT_FALSE(Form().Window().Visible());
}

TEST_F(CommandsTest, DesktopListFollowsItsCheckBox) {
  StoreProgram("Demo", "C:\\D.EXE");
  openings.EditProfile("Demo");
  Form().CheckBox("CheckBox1").SetChecked(true);
  Click("CheckBox1");
  EXPECT_TRUE(Form().Get("SetDesktopCombo0").Enabled());
  Form().CheckBox("CheckBox1").SetChecked(false);
  Click("CheckBox1");
  EXPECT_FALSE(Form().Get("SetDesktopCombo0").Enabled());
}

TEST(EditorLayoutTable, CatalogueBoxesSitInTheirColumnsAndRows) {
  const FormLayout& form = EditorLayout();
  struct Place {
    const char* box;
    const char* page;
    int left;
    int top;
    const char* caption;
  };
  const Place places[] = {
      {"DComboBox1", "D3DPage", 8, 24, "3D filter quality"},
      {"DComboBox4", "D3DPage", 8, 144, "Mipmap dithering"},
      {"DComboBox5", "D3DPage", 168, 104, "Maximum buffered frames"},
      {"GComboBoxA", "GlidePage", 8, 224, "Depth precision 16 bit"},
      {"GComboBox10", "GlidePage", 168, 184, "Glide splash screen"},
      {"GComboBoxD", "GlidePage", 328, 184, "Guardband clipping"},
      {"GComboBoxC", "GlidePage", 328, 224, "Hidden surface removal"},
  };
  for (const Place& p : places) {
    const LayoutRow* box = form.Find(p.box);
    const LayoutRow* caption = form.Find(std::string(p.box) + "Label");
    ASSERT_TRUE(box && caption) << p.box;
    EXPECT_STREQ(box->parent, p.page);
    EXPECT_EQ(box->left, p.left) << p.box;
    EXPECT_EQ(box->top, p.top) << p.box;
    EXPECT_EQ(box->width, 145);
    EXPECT_EQ(caption->top, p.top - 16);
    EXPECT_STREQ(caption->caption, p.caption);
  }
  EXPECT_EQ(CatalogueBoxes().size(), 21u);
  for (const LayoutRow& row : form) {
    EXPECT_FALSE(row.flags & layout_flag::kDefaultButton) << row.name;
    if (row.kind == ControlKind::ComboBox) {
      EXPECT_EQ((row.flags & layout_flag::kEditable) != 0, row.name == std::string("GComboBoxD"));
    }
  }
  EXPECT_EQ(form.clientWidth, 526);
  EXPECT_EQ(form.clientHeight, 428);
  EXPECT_TRUE(form.flags & form_flag::kNoTitleButtons);
}

TEST(EditorFileNames, PathPartsAndNameChecks) {
  EXPECT_EQ(FileNamePart("C:\\Games\\Demo\\GAME.EXE"), "GAME.EXE");
  EXPECT_EQ(DirectoryPart("C:\\Games\\Demo\\GAME.EXE"), "C:\\Games\\Demo\\");
  EXPECT_EQ(DirectoryPart(""), "");
  EXPECT_EQ(FileNamePart("C:GAME.EXE"), "GAME.EXE");  // relative to the drive's folder
  EXPECT_EQ(DirectoryPart("C:GAME.EXE"), "C:");
  FakeFormWindow sixPixels;
  EXPECT_EQ(ShortenPath("C:\\a\\b\\", 60, sixPixels), "C:\\a\\b\\");
  EXPECT_EQ(ShortenPath("C:\\alpha\\beta\\gamma\\", 96, sixPixels), "C:\\...\\gamma\\");
  EXPECT_TRUE(IsSafeFileName("Demo  Two (1).exe"));
  EXPECT_FALSE(IsSafeFileName(std::string("tab\there")));
  EXPECT_FALSE(IsProfileKeyName("a\\b"));
}

}  // namespace
}  // namespace tw
