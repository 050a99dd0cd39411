// tarnwick-cli.exe against the system's own regedit: a profile exported by
// the companion is imported by regedit /S, one exported by regedit /E is
// imported by the companion, and a file reaching outside the profiles is
// refused without a trace. Import names what each profile runs, checked
// against the real file system, with the streams the console gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "harness/options.h"
#include "harness/process.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/wait.h"

namespace e2e {
namespace {

constexpr char kProfile[] = "Quake III";
constexpr char kRegedit[] = "C:\\windows\\regedit.exe";

std::string ProfileKey() { return std::string(kProgramKey) + "\\" + kProfile; }

std::string TempFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name;
}

std::vector<std::string> DumpProfile() { return DumpTree(HKEY_CURRENT_USER, ProfileKey()); }

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(out);
}

std::string ReadWholeFile(const std::string& path) {
  HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr);
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(in);
  DeleteFileA(path.c_str());
  return bytes;
}

struct Captured {
  std::optional<DWORD> code;
  std::string out, err;
};

// The companion with its standard output and error in files.
Captured RunCompanionCaptured(const std::string& arguments) {
  const std::string outPath = TempFile("tarnwick-cli.out"), errPath = TempFile("tarnwick-cli.err");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::string command = QuoteArgument(CompanionExe()) + " " + arguments;
  PROCESS_INFORMATION info{};
  Captured result;
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info)) {
    DWORD code = 0;
    if (WaitForSingleObject(info.hProcess, kDefaultTimeoutMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(info.hProcess, &code)) {
      result.code = code;
    } else {
      TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  result.out = ReadWholeFile(outPath);
  result.err = ReadWholeFile(errPath);
  return result;
}

class CompanionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    file_ = TempFile("tarnwick-companion.reg");
    DeleteFileA(file_.c_str());
    // Texts with what a .reg file must escape, a number, both groups.
    const std::string key = ProfileKey();
    WriteValue(HKEY_CURRENT_USER, key, "FilePath", StringValue("C:\\Games\\Quake III\\quake3.exe"));
    WriteValue(HKEY_CURRENT_USER, key, "Parameters", StringValue("+set name \"Sarge\" +map q3dm17"));
    WriteValue(HKEY_CURRENT_USER, key, "Directory", StringValue("C:\\Games\\Quake III\\"));
    WriteValue(HKEY_CURRENT_USER, key, "Poll", DwordValue(5));
    WriteValue(HKEY_CURRENT_USER, key, "Tabsheet", StringValue("GlidePage"));
    WriteValue(HKEY_CURRENT_USER, key + "\\D3D", "SSTH3_SLI_AA_CONFIGURATION", StringValue("3"));
    WriteValue(HKEY_CURRENT_USER, key + "\\D3D", "SSTH3_RGAMMA", StringValue("1.10"));
    WriteValue(HKEY_CURRENT_USER, key + "\\Glide", "FX_GLIDE_LOD_BIAS", StringValue("-8"));
    WriteValue(HKEY_CURRENT_USER, key + "\\Glide", "FX_GLIDE_TMU_MEMSIZE", StringValue("2"));
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    ResetTarnwickState();
  }

  std::string file_;
};

TEST_F(CompanionTest, ExportedProfileImportsWithRegeditIntoACleanState) {
  const std::vector<std::string> before = DumpProfile();
  ASSERT_EQ(RunToExit(CompanionExe(), "export " + QuoteArgument(file_) + " " + QuoteArgument(kProfile)),
            DWORD{0});
  DeleteTree(HKEY_CURRENT_USER, kProgramKey);
  ASSERT_EQ(RunToExit(kRegedit, "/S " + QuoteArgument(file_)), DWORD{0});
  EXPECT_EQ(DumpProfile(), before);
}

TEST_F(CompanionTest, RegeditExportImportsWithTheCompanion) {
  const std::vector<std::string> before = DumpProfile();
  ASSERT_EQ(RunToExit(kRegedit, "/E " + QuoteArgument(file_) + " " +
                                    QuoteArgument("HKEY_CURRENT_USER\\" + ProfileKey())),
            DWORD{0});
  DeleteTree(HKEY_CURRENT_USER, kProgramKey);
  ASSERT_EQ(RunToExit(CompanionExe(), "import " + QuoteArgument(file_)), DWORD{0});
  EXPECT_EQ(DumpProfile(), before);
  // The same file again: the profile exists now.
  EXPECT_EQ(RunToExit(CompanionExe(), "import " + QuoteArgument(file_)), DWORD{1});
  EXPECT_EQ(RunToExit(CompanionExe(), "import " + QuoteArgument(file_) + " --replace"), DWORD{0});
  EXPECT_EQ(DumpProfile(), before);
}

TEST_F(CompanionTest, FileReachingOutsideTheProfilesIsRefusedWhole) {
  const char text[] =
      "REGEDIT4\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Doom]\r\n"
      "\"FilePath\"=\"doom.exe\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Tarnwick Companion Test]\r\n"
      "\"x\"=\"1\"\r\n";
  WriteWholeFile(file_, text);

  EXPECT_EQ(RunToExit(CompanionExe(), "import " + QuoteArgument(file_)), DWORD{1});
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\Doom"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Tarnwick Companion Test"));
  EXPECT_EQ(RunToExit(CompanionExe(), ""), DWORD{2});
}

TEST_F(CompanionTest, ImportNamesWhatEachProfileRunsAndSettingsOnlyKeepsIt) {
  // Shared as Notepad saves it: UTF-8 with a byte-order mark.
  WriteWholeFile(file_,
                 "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Forum]\r\n"
                 "\"FilePath\"=\"C:\\\\Games\\\\Forum\\\\game.exe\"\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Forum\\D3D]\r\n"
                 "\"SSTH3_RGAMMA\"=\"2.00\"\r\n");
  const Captured shared = RunCompanionCaptured("import " + QuoteArgument(file_));
  EXPECT_EQ(shared.code, DWORD{0});
  EXPECT_EQ(shared.out, "Imported \"Forum\": runs C:\\Games\\Forum\\game.exe\r\n");
  EXPECT_EQ(shared.err,
            "tarnwick-cli: warning: C:\\Games\\Forum\\game.exe does not exist on this machine\r\n");

  // Only the settings, into a profile whose program is on this machine.
  WriteValue(HKEY_CURRENT_USER, ProfileKey(), "FilePath", StringValue(kRegedit));
  const Captured only = RunCompanionCaptured("import " + QuoteArgument(file_) +
                                             " --settings-only --as " + QuoteArgument(kProfile));
  EXPECT_EQ(only.code, DWORD{0});
  EXPECT_EQ(only.out, "Imported \"Quake III\": runs " + std::string(kRegedit) + "\r\n");
  EXPECT_EQ(only.err, "");
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, ProfileKey() + "\\D3D", "SSTH3_RGAMMA"),
            StringValue("2.00"));
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, ProfileKey(), "FilePath"), StringValue(kRegedit));
}

// The arguments are taken as ANSI, as the registry holds names, however
// the companion starts: with a console of its own (as Explorer, Run or a
// shortcut start a console program on Windows 98) or from a program.
TEST_F(CompanionTest, ArgumentsAreTakenAsAnsiWithOrWithoutAConsole) {
  WriteValue(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\J\xF6rg", "FilePath",
             StringValue("j.exe"));
  ChildProcess withConsole =
      ChildProcess::Start(CompanionExe(), "show J\xF6rg", "", CREATE_NEW_CONSOLE);
  EXPECT_EQ(withConsole.WaitForExit(60000), DWORD{0});
  EXPECT_EQ(RunToExit(CompanionExe(), "show J\xF6rg"), DWORD{0});
}

}  // namespace
}  // namespace e2e
