#include "store/link_adoption.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell_links.h"

namespace tw {
namespace {

const std::string kGame = "C:\\Games\\Demo Game\\GAME.EXE";
const std::string kTarnwick = "C:\\Tools\\Tarnwick\\tarnwick.exe";
const std::string kMenu = "C:\\Start Menu\\Programs\\Demo\\Demo.lnk";
const std::string kDesk = "C:\\Desktop\\Demo.lnk";
const std::string kProfile = "Software\\Hexmoor\\Tarnwick\\GAME.EXE";

LinkFields Link(const std::string& target, const std::string& args = "") {
  LinkFields f;
  f.target = target;
  f.arguments = args;
  f.workingDirectory = "C:\\Games\\Demo Game";
  f.showCommand = 3;
  return f;
}

class LinkAdoptionTest : public testing::Test {
 protected:
  LinkAdoptionTest() { reg.PutString(RootKey::CurrentUser, kProfile, "FilePath", kGame); }

  std::vector<FoundLink> Find() { return FindProgramLinks(links, kGame); }
  std::string Parameters() {
    return *reg.GetString(RootKey::CurrentUser, kProfile, "Parameters");
  }

  FakeRegistry reg;
  RegistryHandle program{reg, RootKey::CurrentUser};
  FakeShellLinks links;
  LinkAdoption adoption{program, links, kTarnwick};
};

TEST_F(LinkAdoptionTest, FindsTheProgramsLinksByAnyNameOfTheFile) {
  links.shortNames["C:\\GAMES\\DEMOGA~1\\GAME.EXE"] = kGame;
  links.folders.push_back({LinkPlace::Desktop, "C:\\All Users\\Desktop"});
  const struct {
    std::string file, target;
    bool found;
  } rows[] = {
      {kMenu, kGame, true},
      {"C:\\Start Menu\\Programs\\a\\b\\c\\Deep.lnk", "c:\\games\\demo game\\game.exe", true},
      {kDesk, "C:\\GAMES\\DEMOGA~1\\GAME.EXE", true},
      {"C:\\All Users\\Desktop\\Shared.lnk", kGame, true},
      {"C:\\Start Menu\\Programs\\Demo\\Setup.lnk", "C:\\Games\\Demo Game\\SETUP.EXE", false},
      {"C:\\Start Menu\\Programs\\Other.lnk", "C:\\Games\\GAME.EXE", false},
      {"C:\\Elsewhere\\Demo.lnk", kGame, false},
  };
  for (const auto& row : rows) links.links[row.file] = Link(row.target);
  std::vector<std::string> found;
  for (const FoundLink& link : Find()) found.push_back(link.file);
  for (const auto& row : rows) {
    EXPECT_EQ(std::count(found.begin(), found.end(), row.file), row.found ? 1 : 0) << row.file;
  }
  EXPECT_EQ(AdoptQuestion(Find(), kGame),
            "4 shortcuts start GAME.EXE (Start menu, desktop). Start them through Tarnwick "
            "with this profile?");
  EXPECT_EQ(AdoptQuestion({{kDesk, LinkPlace::Desktop, {}}}, kGame),
            "1 shortcut starts GAME.EXE (desktop). Start it through Tarnwick with this profile?");
}

TEST_F(LinkAdoptionTest, ParametersReachTheGameOnlyWhenAllAdoptedLinksShareThem) {
  const struct {
    std::string parameters, menuArgs, deskArgs, otherArgs;
    std::string expectParameters;
    int adopted;
  } rows[] = {
      {"", "", "", "", "", 3},
      {"", "+set fs_game x", "+set fs_game x", "+set fs_game x", "+set fs_game x", 3},
      {"-window", " +a ", "+a", "+b", "-window +a", 2},    // the larger group wins
      {"", "", "+a", "", "", 2},                           // no arguments beat new ones
      {"-w +a", "+a", "+a", "", "-w +a", 3},               // carried already
  };
  for (const auto& row : rows) {
    links.links.clear();
    reg.PutString(RootKey::CurrentUser, kProfile, "Parameters", row.parameters);
    links.links[kMenu] = Link(kGame, row.menuArgs);
    links.links[kDesk] = Link(kGame, row.deskArgs);
    links.links["C:\\Desktop\\Other.lnk"] = Link(kGame, row.otherArgs);
    const AdoptionReport report = adoption.Adopt("GAME.EXE", Find());
    EXPECT_FALSE(report.failed);
    EXPECT_EQ(static_cast<int>(report.changed.size()), row.adopted) << row.menuArgs;
    EXPECT_EQ(report.problems.size(), 3u - row.adopted);
    EXPECT_EQ(Parameters(), row.expectParameters);
    adoption.Unadopt("GAME.EXE");
  }
}

TEST_F(LinkAdoptionTest, AdoptsAndPutsBackExactlyLeavingOthersChangesAlone) {
  LinkFields menu = Link(kGame);
  menu.iconFile = "C:\\Games\\Demo Game\\demo.ico";
  menu.iconIndex = 2;
  links.links[kMenu] = menu;
  links.links[kDesk] = Link(kGame);
  links.links["C:\\Desktop\\Gone.lnk"] = Link(kGame);
  links.links["C:\\Desktop\\Changed.lnk"] = Link(kGame);
  links.links["C:\\Desktop\\New icon.lnk"] = Link(kGame);
  const std::map<std::string, LinkFields> before = links.links;

  const AdoptionReport adopted = adoption.Adopt("GAME.EXE", Find());
  ASSERT_EQ(adopted.changed.size(), 5u);
  const LinkFields& a = links.links[kMenu];
  EXPECT_EQ(a.target, kTarnwick);
  EXPECT_EQ(a.arguments, "\"GAME.EXE\"");
  EXPECT_EQ(a.workingDirectory, "C:\\Tools\\Tarnwick\\");
  EXPECT_EQ(a.iconFile, menu.iconFile);
  EXPECT_EQ(a.iconIndex, 2);
  EXPECT_EQ(a.showCommand, 3);
  EXPECT_EQ(links.links[kDesk].iconFile, kGame);  // the icon the link showed
  const std::vector<AdoptedLink> record = adoption.List("GAME.EXE");
  ASSERT_EQ(record.size(), 5u);
  EXPECT_EQ(record[0].original, before.at(record[0].file));

  links.links.erase("C:\\Desktop\\Gone.lnk");
  links.links["C:\\Desktop\\Changed.lnk"].arguments = "-other";
  links.links["C:\\Desktop\\New icon.lnk"].iconFile = "C:\\Icons\\mine.ico";
  const AdoptionReport back = adoption.Unadopt("GAME.EXE");
  EXPECT_EQ(back.changed.size(), 2u);
  ASSERT_EQ(back.problems.size(), 3u);
  EXPECT_EQ(links.links["C:\\Desktop\\New icon.lnk"].iconFile, "C:\\Icons\\mine.ico");
  EXPECT_NE(back.problems[0].find("left alone"), std::string::npos);
  EXPECT_EQ(links.links[kMenu], before.at(kMenu));
  EXPECT_EQ(links.links[kDesk], before.at(kDesk));
  EXPECT_EQ(links.links["C:\\Desktop\\Changed.lnk"].arguments, "-other");
  EXPECT_FALSE(reg.HasKey(RootKey::CurrentUser, kProfile + "\\Adopted Shortcuts"));
}

TEST_F(LinkAdoptionTest, AFailureHalfWayPutsEverythingBackAndReportsOnce) {
  links.links[kMenu] = Link(kGame, "+a");
  links.links[kDesk] = Link(kGame, "+a");
  links.links["C:\\Desktop\\Third.lnk"] = Link(kGame, "+a");
  links.readOnly.insert(kMenu);
  const std::map<std::string, LinkFields> before = links.links;
  links.writesBeforeFailure = 1;
  AdoptionReport report = adoption.Adopt("GAME.EXE", Find());
  EXPECT_TRUE(report.failed);
  EXPECT_TRUE(report.changed.empty());
  ASSERT_EQ(report.problems.size(), 1u);  // the failure; the read-only link was not adopted
  EXPECT_EQ(links.links, before);
  EXPECT_FALSE(reg.HasKey(RootKey::CurrentUser, kProfile + "\\Adopted Shortcuts"));
  EXPECT_FALSE(reg.GetString(RootKey::CurrentUser, kProfile, "Parameters"));

  // A record that cannot be written changes no link either.
  links.writesBeforeFailure = -1;
  links.readOnly.clear();
  reg.RefuseValueWrite("Tarnwick");
  report = adoption.Adopt("GAME.EXE", Find());
  EXPECT_TRUE(report.failed);
  EXPECT_EQ(links.links, before);
  EXPECT_FALSE(reg.HasKey(RootKey::CurrentUser, kProfile + "\\Adopted Shortcuts"));
}

TEST_F(LinkAdoptionTest, ARenameTakesTheLinksAlong) {
  links.links[kMenu] = Link(kGame);
  adoption.Adopt("GAME.EXE", Find());
  AdoptionReport report;
  const std::vector<AdoptedLink> moved = adoption.Follow("GAME.EXE", "Demo", &report);
  EXPECT_EQ(links.links[kMenu].arguments, "\"Demo\"");
  reg.PutKey(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick\\Demo");
  adoption.Record("Demo", moved);
  adoption.Unadopt("Demo");
  EXPECT_EQ(links.links[kMenu], Link(kGame));
}

}  // namespace
}  // namespace tw
