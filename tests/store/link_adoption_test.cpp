#include "store/link_adoption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell_links.h"

namespace tw {
namespace {

const std::string kGame = "C:\\Games\\Demo Game\\GAME.EXE";
const std::string kGameFolder = "C:\\Games\\Demo Game";
const std::string kTarnwick = "C:\\Tools\\Tarnwick\\tarnwick.exe";
const std::string kMenu = "C:\\Start Menu\\Programs\\Demo\\Demo.lnk";
const std::string kDesk = "C:\\Desktop\\Demo.lnk";
const std::string kOther = "C:\\Desktop\\Other.lnk";
const std::string kProfile = "Software\\Hexmoor\\Tarnwick\\GAME.EXE";
const std::string kKept = "Software\\Hexmoor\\Tarnwick Adopted Shortcuts";

LinkFields Link(const std::string& target, const std::string& args = "",
                const std::string& folder = kGameFolder) {
  LinkFields f;
  f.target = target;
  f.arguments = args;
  f.workingDirectory = folder;
  f.showCommand = 3;
  return f;
}

class LinkAdoptionTest : public testing::Test {
 protected:
  LinkAdoptionTest() { reg.PutString(RootKey::CurrentUser, kProfile, "FilePath", kGame); }

  std::vector<FoundLink> Find() { return FindProgramLinks(links, kGame, kTarnwick); }
  std::string Value(const char* name) {
    return reg.GetString(RootKey::CurrentUser, kProfile, name).value_or("(none)");
  }
  bool HasRecords() {
    return reg.HasKey(RootKey::CurrentUser, kProfile + "\\Adopted Shortcuts") ||
           reg.HasKey(RootKey::CurrentUser, kKept);
  }
  // kMenu's put-back failed: its record outlives the profile, is tried again
  // and kept while the link still fails, and takes it back once it is healed.
  void KeptUntilHealed(const std::function<void()>& heal) {
    reg.RemoveKey(RootKey::CurrentUser, kProfile);
    ASSERT_EQ(adoption.List("GAME.EXE").size(), 1u);
    EXPECT_EQ(adoption.UnadoptAll().kept, 1);
    heal();
    const AdoptionReport report = adoption.UnadoptAll();
    EXPECT_EQ(report.changed, std::vector<std::string>{kMenu});
    EXPECT_EQ(links.links[kMenu], Link(kGame));
    EXPECT_FALSE(HasRecords());
    reg.PutString(RootKey::CurrentUser, kProfile, "FilePath", kGame);
  }

  FakeRegistry reg;
  RegistryHandle program{reg, RootKey::CurrentUser};
  RegistryHandle machine{reg, RootKey::LocalMachine};
  FakeShellLinks links;
  LinkAdoption adoption{program, machine, links, kTarnwick};
};

TEST_F(LinkAdoptionTest, FindsTheProgramsLinksByAnyNameOfTheFile) {
  links.shortNames["C:\\GAMES\\DEMOGA~1\\GAME.EXE"] = kGame;
  links.folders.push_back({LinkPlace::Desktop, "C:\\All Users\\Desktop"});
  links.folders.push_back({LinkPlace::QuickLaunch, "C:\\Quick Launch", false});
  links.folders.push_back({LinkPlace::StartMenu, "C:\\Start Menu", false});
  const struct {
    std::string file, target;
    bool found;
  } rows[] = {
      {kMenu, kGame, true},
      {"C:\\Start Menu\\Programs\\a\\b\\c\\Deep.lnk", "c:\\games\\demo game\\game.exe", true},
      {kDesk, "C:\\GAMES\\DEMOGA~1\\GAME.EXE", true},
      {"C:\\All Users\\Desktop\\Shared.lnk", kGame, true},
      {"C:\\Quick Launch\\Demo.lnk", kGame, true},
      {"C:\\Start Menu\\Top.lnk", kGame, true},
      {"C:\\Quick Launch\\Sub\\Below.lnk", kGame, false},  // a folder searched alone
      {"C:\\Start Menu\\Programs\\Demo\\Setup.lnk", "C:\\Games\\Demo Game\\SETUP.EXE", false},
      {"C:\\Start Menu\\Programs\\Other.lnk", "C:\\Games\\GAME.EXE", false},
      {"C:\\Elsewhere\\Demo.lnk", kGame, false},
      {"C:\\Desktop\\Share.lnk", "\\\\gone\\share\\TOOL.EXE", false},
  };
  for (const auto& row : rows) links.links[row.file] = Link(row.target);
  // A write cut off between its moves: found once settled.
  links.setAside["C:\\Desktop\\Aside.lnk"] = Link(kGame);
  links.links.erase("C:\\Desktop\\Aside.lnk");
  std::vector<std::string> found;
  for (const FoundLink& link : Find()) found.push_back(link.file);
  for (const auto& row : rows) {
    EXPECT_EQ(std::count(found.begin(), found.end(), row.file), row.found ? 1 : 0) << row.file;
  }
  EXPECT_EQ(std::count(found.begin(), found.end(), "C:\\Desktop\\Aside.lnk"), 1);
  // The file name rules out a link before its path is looked up.
  EXPECT_EQ(std::count(links.pathKeys.begin(), links.pathKeys.end(), "\\\\gone\\share\\TOOL.EXE"), 0);
  EXPECT_EQ(AdoptQuestion(Find(), kGame),
            "7 shortcuts start GAME.EXE (Start menu, Quick Launch, desktop). Start them through "
            "Tarnwick with this profile?");
  EXPECT_EQ(AdoptQuestion({{kDesk, LinkPlace::Desktop, {}}}, kGame),
            "1 shortcut starts GAME.EXE (desktop). Start it through Tarnwick with this profile?");

  // A target named by its short file name is the same file.
  const std::string longName = "C:\\Games\\Demo Game\\Demo Game.exe";
  links.shortNames["C:\\GAMES\\DEMOGA~1\\DEMOGA~2.EXE"] = longName;
  links.links["C:\\Desktop\\Short.lnk"] = Link("C:\\GAMES\\DEMOGA~1\\DEMOGA~2.EXE");
  EXPECT_EQ(FindProgramLinks(links, longName, kTarnwick).size(), 1u);

  // Tarnwick's own links are never a program's.
  links.links["C:\\Desktop\\Tarnwick.lnk"] = Link(kTarnwick);
  EXPECT_TRUE(FindProgramLinks(links, "c:\\tools\\tarnwick\\TARNWICK.EXE", kTarnwick).empty());
}

// A link is adopted only when the profile starts the game as the link did.
TEST_F(LinkAdoptionTest, AdoptsOnlyLinksThatStartTheGameAsTheProfileDoes) {
  const std::string elsewhere = "C:\\Elsewhere";
  const struct {
    std::string parameters, folder;
    std::string args[3], folders[3];
    bool adopted[3];
    std::string expectParameters, expectFolder;
  } rows[] = {
      {"", kGameFolder, {"", "", ""}, {kGameFolder, kGameFolder, ""}, {true, true, true}, "", kGameFolder},
      {"", kGameFolder, {"+a", "+a", "+a"}, {kGameFolder, kGameFolder + "\\", kGameFolder},
       {true, true, true}, "+a", kGameFolder},
      // the larger group wins; no arguments are no better than others
      {"", kGameFolder, {" +a ", "+a", ""}, {kGameFolder, kGameFolder, kGameFolder},
       {true, true, false}, "+a", kGameFolder},
      // arguments that merely end with the parameters would lose their start
      {"-window", kGameFolder, {"-window", "", "+a -window"}, {kGameFolder, kGameFolder, kGameFolder},
       {true, false, false}, "-window", kGameFolder},
      // parameters that merely end with a link's arguments do not carry them
      {"-w +a", kGameFolder, {"+a", "+a", "-w+a"}, {kGameFolder, kGameFolder, kGameFolder},
       {false, false, false}, "-w +a", kGameFolder},
      {"", kGameFolder, {"", "", ""}, {kGameFolder, elsewhere, ""}, {true, false, true}, "", kGameFolder},
      // a profile without a folder takes the links'
      {"", "", {"", "", ""}, {elsewhere, kGameFolder, elsewhere}, {true, false, true}, "", elsewhere},
      {"", "", {"", "", ""}, {"", kGameFolder, ""}, {true, true, true}, "", kGameFolder},
  };
  const std::string files[] = {kMenu, kDesk, kOther};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.parameters + " | " + row.args[0] + "," + row.args[1] + "," + row.args[2]);
    links.links.clear();
    reg.PutString(RootKey::CurrentUser, kProfile, "Parameters", row.parameters);
    reg.PutString(RootKey::CurrentUser, kProfile, "Directory", row.folder);
    for (int i = 0; i < 3; ++i) links.links[files[i]] = Link(kGame, row.args[i], row.folders[i]);
    const std::map<std::string, LinkFields> before = links.links;
    const AdoptionReport report = adoption.Adopt("GAME.EXE", Find());
    EXPECT_FALSE(report.failed);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(links.links[files[i]].target == kTarnwick, row.adopted[i]) << files[i];
    }
    EXPECT_EQ(report.changed.size() + report.problems.size(), 3u);
    EXPECT_EQ(Value("Parameters"), row.expectParameters);
    EXPECT_EQ(Value("Directory"), row.expectFolder);
    EXPECT_EQ(adoption.Unadopt("GAME.EXE").problems.size(), 0u);
    EXPECT_EQ(links.links, before);
    EXPECT_FALSE(HasRecords());
  }
}

// What adopting changed goes back; what someone changed since stays; only a
// link that no longer starts Tarnwick with the profile is left alone.
TEST_F(LinkAdoptionTest, PutsBackWhatAdoptingChangedAndKeepsLaterChanges) {
  LinkFields withIcon = Link(kGame);
  withIcon.iconFile = "C:\\Games\\Demo Game\\demo.ico";
  withIcon.iconIndex = 2;
  const std::vector<std::string> files = {"C:\\Desktop\\Untouched.lnk", "C:\\Desktop\\Own icon.lnk",
                                          "C:\\Desktop\\New icon.lnk",  "C:\\Desktop\\Minimized.lnk",
                                          "C:\\Desktop\\Start in.lnk",  "C:\\Desktop\\Case.lnk",
                                          "C:\\Desktop\\Gone.lnk",      "C:\\Desktop\\Retargeted.lnk"};
  for (const std::string& file : files) links.links[file] = Link(kGame);
  links.links["C:\\Desktop\\Own icon.lnk"] = withIcon;
  const std::map<std::string, LinkFields> before = links.links;

  ASSERT_EQ(adoption.Adopt("GAME.EXE", Find()).changed.size(), files.size());
  const LinkFields& a = links.links["C:\\Desktop\\Own icon.lnk"];
  EXPECT_EQ(a, (LinkFields{kTarnwick, "\"GAME.EXE\"", "C:\\Tools\\Tarnwick\\", withIcon.iconFile, 2, 3}));
  EXPECT_EQ(links.links["C:\\Desktop\\Untouched.lnk"].iconFile, kGame);  // the icon it showed
  ASSERT_EQ(adoption.List("GAME.EXE").size(), files.size());

  links.links["C:\\Desktop\\New icon.lnk"].iconFile = "C:\\Icons\\mine.ico";
  links.links["C:\\Desktop\\Minimized.lnk"].showCommand = 7;
  links.links["C:\\Desktop\\Start in.lnk"].workingDirectory = "C:\\Saves";
  links.links["C:\\Desktop\\Case.lnk"].arguments = " \"game.exe\" ";
  links.links.erase("C:\\Desktop\\Gone.lnk");
  links.links["C:\\Desktop\\Retargeted.lnk"].target = "C:\\Other\\tool.exe";
  const AdoptionReport back = adoption.Unadopt("GAME.EXE");
  EXPECT_EQ(back.changed.size(), 6u);
  ASSERT_EQ(back.problems.size(), 2u);
  EXPECT_EQ(back.problems[0], "C:\\Desktop\\Gone.lnk: deleted since it was adopted, left alone");
  EXPECT_EQ(back.problems[1],
            "C:\\Desktop\\Retargeted.lnk: no longer starts Tarnwick with \"GAME.EXE\", left alone");
  const auto expect = [&](const std::string& file, void (*change)(LinkFields&)) {
    LinkFields wanted = before.at(file);
    if (change) change(wanted);
    EXPECT_EQ(links.links[file], wanted) << file;
  };
  expect("C:\\Desktop\\Untouched.lnk", nullptr);
  expect("C:\\Desktop\\Own icon.lnk", nullptr);
  expect("C:\\Desktop\\Case.lnk", nullptr);
  expect("C:\\Desktop\\New icon.lnk", [](LinkFields& f) { f.iconFile = "C:\\Icons\\mine.ico"; });
  expect("C:\\Desktop\\Minimized.lnk", [](LinkFields& f) { f.showCommand = 7; });
  expect("C:\\Desktop\\Start in.lnk", [](LinkFields& f) { f.workingDirectory = "C:\\Saves"; });
  EXPECT_EQ(links.links["C:\\Desktop\\Retargeted.lnk"].target, "C:\\Other\\tool.exe");
  EXPECT_FALSE(HasRecords());
}

// A link that cannot be written now keeps its record, and only its own.
TEST_F(LinkAdoptionTest, ARecordLastsAsLongAsItsLinkStartsTarnwick) {
  links.links[kMenu] = Link(kGame);
  links.links[kDesk] = Link(kGame);
  links.readOnly.insert(kDesk);
  AdoptionReport report = adoption.Adopt("GAME.EXE", Find());
  EXPECT_EQ(report.problems, std::vector<std::string>{kDesk + ": read-only, left alone"});
  ASSERT_EQ(adoption.List("GAME.EXE").size(), 1u);  // the first link's record stays

  links.readOnly = {kMenu};
  report = adoption.UnadoptAll();
  EXPECT_EQ(report.problems, std::vector<std::string>{kMenu + ": read-only, left alone"});
  EXPECT_EQ(report.kept, 1);
  EXPECT_EQ(AdoptionNotice(report),
            kMenu + ": read-only, left alone\r\nTarnwick keeps what they held: "
                    "\"tarnwick-cli unadopt --all\" puts them back once they can be written.");
  KeptUntilHealed([&] { links.readOnly.clear(); });

  // A write cut off between its two moves is settled before the put-back.
  adoption.Adopt("GAME.EXE", Find());
  links.setAside[kDesk] = links.links[kDesk];
  links.links.erase(kDesk);
  EXPECT_EQ(adoption.UnadoptAll().changed.size(), 2u);
  EXPECT_EQ(links.links[kDesk], Link(kGame));
}

// Only a link that is really gone loses its record: any other failed read
// keeps it, and a later put-back tries again.
TEST_F(LinkAdoptionTest, AFailedReadKeepsTheRecordUnlessTheLinkIsGone) {
  const struct {
    uint32_t error;
    bool rootReachable, gone;
  } rows[] = {
      {2, true, true},            // file not found
      {3, true, true},            // its folder is gone
      {2, false, false},          // on a drive or share that does not answer
      {3, false, false},
      {32, true, false},          // held open by another program
      {5, true, false},           // access denied
      {0x80004005u, true, false}, // the shell link object failed
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.error);
    links.links = {{kMenu, Link(kGame)}};
    links.readFaults.clear();
    ASSERT_EQ(adoption.Adopt("GAME.EXE", Find()).changed.size(), 1u);
    links.readFaults[kMenu] = {row.error, row.rootReachable};
    AdoptionReport report = adoption.Unadopt("GAME.EXE");
    if (row.gone) {
      EXPECT_EQ(report.problems,
                std::vector<std::string>{kMenu + ": deleted since it was adopted, left alone"});
      EXPECT_FALSE(HasRecords());
      continue;
    }
    EXPECT_EQ(report.problems, std::vector<std::string>{kMenu + ": could not be read, left alone"});
    EXPECT_EQ(report.kept, 1);
    KeptUntilHealed([&] { links.readFaults.clear(); });
  }
}

TEST_F(LinkAdoptionTest, AFailureHalfWayPutsEverythingBackAndReportsOnce) {
  links.links[kMenu] = Link(kGame, "+a");
  links.links[kDesk] = Link(kGame, "+a");
  links.links[kOther] = Link(kGame, "+a");
  links.readOnly.insert(kMenu);
  const std::map<std::string, LinkFields> before = links.links;
  links.writesBeforeFailure = 1;
  AdoptionReport report = adoption.Adopt("GAME.EXE", Find());
  EXPECT_TRUE(report.failed);
  EXPECT_TRUE(report.changed.empty());
  ASSERT_EQ(report.problems.size(), 1u);  // the failure; the read-only link was not adopted
  EXPECT_EQ(links.links, before);
  EXPECT_FALSE(HasRecords());
  EXPECT_EQ(Value("Parameters"), "(none)");

  // A record that cannot be written changes no link either.
  links.readOnly.clear();
  reg.RefuseValueWrite("Tarnwick");
  report = adoption.Adopt("GAME.EXE", Find());
  EXPECT_TRUE(report.failed);
  EXPECT_EQ(links.links, before);
  EXPECT_FALSE(HasRecords());
}

TEST_F(LinkAdoptionTest, ARenameTakesTheLinksAlongAndAnInstallMoveRelinksThem) {
  links.folders[1].allUsers = true;  // the desktop link serves every account
  links.links[kMenu] = Link(kGame);
  links.links[kDesk] = Link(kGame);
  adoption.Adopt("GAME.EXE", Find());
  const auto rename = [&](const std::string& from, const std::string& to) {
    adoption.SetAside(from);
    reg.RemoveKey(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick\\" + from);
    reg.PutString(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick\\" + to, "FilePath", kGame);
    return adoption.Follow(from, to);
  };
  AdoptionReport report = rename("GAME.EXE", "Demo");
  EXPECT_EQ(report.changed.size(), 2u);
  EXPECT_EQ(links.links[kMenu].arguments, "\"Demo\"");
  EXPECT_EQ(adoption.List("Demo").size(), 2u);
  EXPECT_FALSE(reg.HasKey(RootKey::CurrentUser, kKept));
  // Other accounts find the all-users link under its new name.
  EXPECT_TRUE(SharedLinkOriginal(machine, "Demo").has_value());
  EXPECT_FALSE(SharedLinkOriginal(machine, "GAME.EXE").has_value());

  // Only the letter case: the links start it as they are.
  links.readOnly.insert(kDesk);
  EXPECT_EQ(rename("Demo", "DEMO").changed.size(), 2u);
  // One link that cannot follow keeps starting the old name, and its record.
  report = rename("DEMO", "Demo 2");
  EXPECT_EQ(report.changed, std::vector<std::string>{kMenu});
  EXPECT_EQ(report.kept, 1);
  EXPECT_EQ(links.links[kDesk].arguments, "\"Demo\"");
  EXPECT_EQ(adoption.List("DEMO").size(), 1u);
  links.readOnly.clear();

  // The install moved: the links start the new Tarnwick, which puts them back.
  const std::string moved = "D:\\Apps\\Tarnwick\\tarnwick.exe";
  LinkAdoption there(program, links, moved);
  links.links[kDesk].workingDirectory = kGameFolder;  // a "Start in" the user chose
  report = there.Relink(kTarnwick);
  EXPECT_EQ(report.changed.size(), 2u);
  EXPECT_EQ(links.links[kDesk].workingDirectory, kGameFolder);
  EXPECT_EQ(links.links[kMenu].target, moved);
  EXPECT_EQ(links.links[kMenu].workingDirectory, "D:\\Apps\\Tarnwick\\");
  EXPECT_EQ(there.List("Demo 2")[0].tarnwick, moved);
  // Even a Tarnwick that knows neither puts them back from the records.
  LinkAdoption third(program, links, "E:\\tarnwick.exe");
  EXPECT_EQ(third.UnadoptAll().changed.size(), 2u);
  EXPECT_EQ(links.links[kMenu], Link(kGame));
  EXPECT_EQ(links.links[kDesk], Link(kGame));
  EXPECT_FALSE(HasRecords());
}

// A rename killed between setting a record aside and deleting the profile's
// copy, then tried again, has two kept records for one link: both follow,
// without a word.
TEST_F(LinkAdoptionTest, ARenameTriedAgainAfterAKillTakesBothRecordsAlong) {
  struct Killed {};
  links.links[kMenu] = Link(kGame);
  adoption.Adopt("GAME.EXE", Find());
  reg.SetChangeObserver([&] {
    for (const std::string& entry : reg.SubkeyNames(RootKey::CurrentUser, kKept)) {
      if (reg.GetString(RootKey::CurrentUser, kKept + "\\" + entry, "Tarnwick")) throw Killed();
    }
  });
  EXPECT_THROW(adoption.SetAside("GAME.EXE"), Killed);
  reg.SetChangeObserver(nullptr);
  adoption.SetAside("GAME.EXE");
  reg.RemoveKey(RootKey::CurrentUser, kProfile);
  reg.PutString(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick\\Demo", "FilePath", kGame);
  EXPECT_EQ(adoption.Follow("GAME.EXE", "Demo").problems, std::vector<std::string>{});
  EXPECT_EQ(links.links[kMenu].arguments, "\"Demo\"");
  EXPECT_EQ(adoption.UnadoptAll().problems, std::vector<std::string>{});
  EXPECT_EQ(links.links[kMenu], Link(kGame));
}

}  // namespace
}  // namespace tw
