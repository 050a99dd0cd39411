// Checks of the harness itself where a fault would make the other tests
// meaningless: fixture files, the pinned Windows version, argument quoting.
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness/driver_game.h"
#include "harness/options.h"
#include "harness/process.h"
#include "harness/reg_file.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"

namespace e2e {
namespace {

using Kind = RegFileStep::Kind;

TEST(RegFileTest, ReadsEveryKindOfLine) {
  const std::string text =
      "REGEDIT4\r\n"
      "\r\n"
      "; a comment\r\n"
      "[-HKEY_LOCAL_MACHINE\\Old\\Tree]\r\n"
      "[HKEY_CURRENT_USER\\Software\\Test\\]\r\n"
      "\"Quoted \\\"name\\\"\"=\"C:\\\\Games\\\\\"\r\n"
      "@=\"default\"\r\n"
      "\"Count\"=dword:00001770\r\n"
      "\"Blob\"=hex:01,02,\\\r\n"
      "  ff\r\n"
      "\"Expand\"=hex(2):41,00\r\n"
      "\"Gone\"=-\r\n";
  const std::vector<RegFileStep> steps = ParseRegFile(text);

  ASSERT_EQ(steps.size(), 8u);
  EXPECT_EQ(steps[0].kind, Kind::DeleteTree);
  EXPECT_EQ(steps[0].root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(steps[0].path, "Old\\Tree");
  EXPECT_EQ(steps[1].kind, Kind::CreateKey);
  EXPECT_EQ(steps[1].root, HKEY_CURRENT_USER);
  EXPECT_EQ(steps[1].path, "Software\\Test");

  struct Expected {
    Kind kind;
    std::string name;
    Value value;
  };
  const Expected values[] = {
      {Kind::SetValue, "Quoted \"name\"", StringValue("C:\\Games\\")},
      {Kind::SetValue, "", StringValue("default")},
      {Kind::SetValue, "Count", DwordValue(6000)},
      {Kind::SetValue, "Blob", Value{REG_BINARY, std::string("\x01\x02\xff", 3)}},
      {Kind::SetValue, "Expand", Value{REG_EXPAND_SZ, std::string("A\0", 2)}},
      {Kind::DeleteValue, "Gone", Value{}},
  };
  for (size_t i = 0; i < std::size(values); ++i) {
    const RegFileStep& step = steps[i + 2];
    SCOPED_TRACE("value " + values[i].name);
    EXPECT_EQ(step.kind, values[i].kind);
    EXPECT_EQ(step.path, "Software\\Test");
    EXPECT_EQ(step.name, values[i].name);
    EXPECT_EQ(step.value, values[i].value);
  }
}

TEST(RegFileTest, RejectsWhatItCannotRead) {
  const char* const broken[] = {
      "[HKEY_CURRENT_USER\\X]\n",                         // no header
      "REGEDIT4\n\"Lost\"=\"value\"\n",                   // value before any key
      "REGEDIT4\n[HKEY_NOWHERE\\X]\n",                    // unknown root
      "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"N\"=dword:12\n",  // short dword
      "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"N\"=\"open\n",    // unterminated text
      "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"N\"=hex:1g\n",    // bad byte
  };
  for (const char* text : broken) {
    EXPECT_THROW(ParseRegFile(text), std::runtime_error) << text;
  }
}

TEST(FixtureTest, EachFixtureReplacesBothDriverLayouts) {
  const std::string win98 = "System\\CurrentControlSet\\Services\\Class\\Display\\0000";
  const std::string win2000 = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";

  PlantFixture(kWin2000Voodoo5);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, win98));
  EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, win2000, "Hardwareinformation.Adapterstring"));

  PlantFixture(kWin98Voodoo5);
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, win98, "DriverDesc"), StringValue("Voodoo5 5500 AGP"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, win2000));

  PlantFixture(kNoDriver);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, win98));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, win2000));
}

class GameRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    recordPath_ = std::string(folder) + "tarnwick-e2e-game.txt";
    DeleteFileA(recordPath_.c_str());
  }
  void TearDown() override { DeleteFileA(recordPath_.c_str()); }

  // Runs the game to its end and returns what it recorded.
  GameRecord RunGame(const std::string& extraArguments, DWORD expectedExit) {
    ChildProcess game = ChildProcess::Start(
        TestOptions().gameExe, "--record=" + QuoteArgument(recordPath_) + " --exit=" +
                                   std::to_string(expectedExit) + " " + extraArguments);
    const std::optional<DWORD> exitCode = game.WaitForExit(10000);
    EXPECT_EQ(exitCode, std::optional<DWORD>(expectedExit));
    const std::optional<GameRecord> record = ReadGameRecord(recordPath_);
    if (!record) throw std::runtime_error("no record " + recordPath_);
    return *record;
  }

  std::string recordPath_;
};

// Every other test relies on this: Wine must report the version the test run
// asks for to the programs it starts.
TEST_F(GameRunTest, StartedProgramsSeeThePinnedWindowsVersion) {
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"win98", {"4.10", "9x"}}, {"win2k", {"5.0", "nt"}}, {"winxp", {"5.1", "nt"}}};
  const auto it = expected.find(TestOptions().winVersion);
  ASSERT_NE(it, expected.end()) << "no expectation for " << TestOptions().winVersion;

  const GameRecord record = RunGame("", 7);
  EXPECT_EQ(record.fields.at("version"), it->second.first);
  EXPECT_EQ(record.fields.at("platform"), it->second.second);
}

TEST_F(GameRunTest, QuotedArgumentsArriveUnchanged) {
  const std::vector<std::string> arguments = {
      "plain", "two words", "", "say \"hi\"", "C:\\My Games\\", "back\\\\slash"};
  std::string commandLine;
  for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);

  const GameRecord record = RunGame(commandLine, 0);
  // The game's own options come first.
  ASSERT_GE(record.arguments.size(), arguments.size());
  const std::vector<std::string> received(record.arguments.end() - arguments.size(),
                                          record.arguments.end());
  EXPECT_EQ(received, arguments);
}

}  // namespace
}  // namespace e2e
