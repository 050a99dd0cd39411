#include "cli/companion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_registry.h"
#include "driver/restore_journal.h"
#include "platform/fake/fake_shell_links.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/startup.h"
#include "tests/shell/recording_startup_view.h"

namespace tw {
namespace {

using Calls = std::vector<std::string>;

constexpr RootKey kUser = RootKey::CurrentUser;
constexpr RootKey kMachine = RootKey::LocalMachine;
const std::string kProgram = "Software\\Hexmoor\\Tarnwick";
const std::string kDevice = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";

std::string Profile(const std::string& name) { return kProgram + "\\" + name; }

class CompanionTest : public testing::Test {
 protected:
  CompanionTest() {
    reg.PutString(kMachine, kDevice, "Hardwareinformation.Adapterstring", "Voodoo5");
    reg.PutString(kMachine, kDevice + "\\D3D", "SSTH3_SLI_AA_CONFIGURATION", "2");
    reg.PutDword(kUser, kProgram, "VoodooType", 5500);
    reg.PutString(kUser, Profile("Quake III"), "FilePath", "C:\\Games\\quake3.exe");
    reg.PutDword(kUser, Profile("Quake III"), "Poll", 5);
    reg.PutString(kUser, Profile("Quake III") + "\\D3D", "SSTH3_SLI_AA_CONFIGURATION", "3");
    reg.PutString(kUser, Profile("Quake III") + "\\D3D", "SSTH3_SWAPINTERVAL", "0");
    reg.PutString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_LOD_BIAS", "-8");
    reg.PutString(kUser, Profile("doom"), "FilePath", "C:\\Doom\\doom.exe");
    reg.PutKey(kUser, Profile("User Default") + "\\D3D");
  }

  int Run(const std::vector<std::string>& args,
          const std::string& tarnwick = "C:\\Tarnwick\\tarnwick.exe") {
    console.out.clear();
    console.err.clear();
    SettingCatalogue catalogue;
    CompanionContext context{catalogue, program, driverRegistry, compare, ansi,
                             console,   links,   tarnwick};
    return RunCompanion(args, context);
  }

  FakeRegistry reg;
  RegistryHandle program{reg, kUser};
  RegistryHandle driverRegistry{reg, kMachine};
  FakeTextCompare compare;
  FakeAnsiConverter ansi;
  FakeConsole console;
  FakeShellLinks links;
};

TEST_F(CompanionTest, UsageErrorsExitTwoWithTheUsageText) {
  const std::vector<std::vector<std::string>> cases = {
      {},         {"frobnicate"},        {"list", "x"},           {"show"},
      {"export"}, {"export", "f.reg"},   {"export", "f.reg", "--all", "doom"},
      {"import"}, {"import", "f", "--as"}, {"import", "f", "--bogus"}, {"restore", "x"},
      {"import", "a.reg", "b.reg"},        {"import", "f", "--settings-only"},
      {"restore", "--owed", "x"}, {"export-driver"}, {"export-driver", "a", "b"},
      {"adopt"},  {"unadopt"},           {"unadopt", "doom", "x"},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(Run(args), kExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(console.err.compare(0, 6, "usage:"), 0) << console.err;
    EXPECT_TRUE(console.out.empty());
  }
}

TEST_F(CompanionTest, ListsProfilesWithoutTheUserDefaults) {
  EXPECT_EQ(Run({"list"}), kExitOk);
  EXPECT_EQ(console.out, "doom\r\nQuake III\r\n");
}

TEST_F(CompanionTest, ShowGivesLaunchDataAndEverySettingByItsCaption) {
  ASSERT_EQ(Run({"show", "Quake III"}), kExitOk) << console.err;
  const std::string& out = console.out;
  for (const char* line : {"Program: C:\\Games\\quake3.exe\r\n", "Poll: 5 seconds\r\n",
                           "Desktop mode: unchanged\r\n", "  FSAA: 2x FSAA\r\n",
                           "  Disable V-Sync: on\r\n", "  Level of Detail (LOD-BIAS): -2 Sharper image\r\n",
                           "  Gamma settings (green): 1.30\r\n", "  Limit texture memory to 2MB: off\r\n"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line << "\nin:\n" << out;
  }
  EXPECT_EQ(Run({"show", "Doom 3"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: No profile named 'Doom 3'\r\n");
  EXPECT_FALSE(reg.HasKey(kUser, Profile("Doom 3")));
}

TEST_F(CompanionTest, ExportWritesAFileThatImportTakesBackUnderAnotherName) {
  ASSERT_EQ(Run({"export", "q3.reg", "Quake III"}), kExitOk) << console.err;
  const std::string& file = console.files["q3.reg"];
  EXPECT_EQ(file.compare(0, 12, "REGEDIT4\r\n\r\n"), 0);
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Quake III\\Glide]\r\n"
                      "\"FX_GLIDE_LOD_BIAS\"=\"-8\"\r\n"),
            std::string::npos)
      << file;

  EXPECT_EQ(Run({"import", "q3.reg"}), kExitFailed);
  EXPECT_NE(console.err.find("exists; add --replace"), std::string::npos) << console.err;
  ASSERT_EQ(Run({"import", "q3.reg", "--as", "Quake 3 shared"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Imported \"Quake 3 shared\": runs C:\\Games\\quake3.exe\r\n");
  EXPECT_EQ(console.err,
            "tarnwick-cli: warning: C:\\Games\\quake3.exe does not exist on this machine\r\n");
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake 3 shared") + "\\D3D", "SSTH3_SWAPINTERVAL"), "0");

  ASSERT_EQ(Run({"export", "all.reg", "--all"}), kExitOk);
  EXPECT_NE(console.files["all.reg"].find("Tarnwick\\doom]"), std::string::npos);
  EXPECT_EQ(console.files["all.reg"].find("User Default"), std::string::npos);

  // "" and "Quake III\D3D" name keys that exist, but no profile.
  for (const std::string& bad : {"Doom 3", "", "Quake III\\D3D"}) {
    EXPECT_EQ(Run({"export", "x.reg", "Quake III", bad}), kExitFailed) << bad;
    EXPECT_EQ(console.files.count("x.reg"), 0u) << "no file for a failed export";
  }
  console.unwritable = "ro.reg";
  EXPECT_EQ(Run({"export", "ro.reg", "doom"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: ro.reg: Access is denied\r\n");
}

TEST_F(CompanionTest, SettingsOnlyKeepsTheProfilesProgramAndNamesIt) {
  ASSERT_EQ(Run({"export", "q3.reg", "Quake III"}), kExitOk);
  console.files["C:\\Doom\\doom.exe"] = "";
  ASSERT_EQ(Run({"import", "q3.reg", "--settings-only", "--as", "doom"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Imported \"doom\": runs C:\\Doom\\doom.exe\r\n");
  EXPECT_EQ(console.err, "") << "the program is there";
  EXPECT_EQ(reg.GetString(kUser, Profile("doom") + "\\Glide", "FX_GLIDE_LOD_BIAS"), "-8");
  EXPECT_EQ(Run({"import", "q3.reg", "--settings-only", "--as", "Doom 3"}), kExitFailed);
  EXPECT_FALSE(reg.HasKey(kUser, Profile("Doom 3")));
}

TEST_F(CompanionTest, ImportReportsAnUnreadableOrForeignFileInOneLine) {
  EXPECT_EQ(Run({"import", "missing.reg"}), kExitFailed);
  EXPECT_NE(console.err.find("missing.reg"), std::string::npos);
  console.files["bad.reg"] = "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\x]\r\n";
  EXPECT_EQ(Run({"import", "bad.reg"}), kExitFailed);
  EXPECT_EQ(console.err,
            "tarnwick-cli: bad.reg: line 1: not a registry file: it must begin with REGEDIT4 or "
            "\"Windows Registry Editor Version 5.00\"\r\n");
  console.files["run.reg"] =
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
      "\"Tarnwick\"=\"evil.exe\"\r\n";
  EXPECT_EQ(Run({"import", "run.reg"}), kExitFailed);
  EXPECT_NE(console.err.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]"),
            std::string::npos);
  EXPECT_FALSE(reg.HasKey(kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

TEST_F(CompanionTest, ApplyWritesTheProfileWithPreviousValuesAndRestoreSwapsBack) {
  const std::string d3d = kDevice + "\\D3D";
  ASSERT_EQ(Run({"apply", "doom"}), kExitOk) << console.err;
  EXPECT_EQ(reg.SubkeyNames(kUser, Profile("doom")).size(), 0u) << "apply creates nothing";
  ASSERT_EQ(Run({"apply", "Quake III"}), kExitOk) << console.err;
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "3");
  EXPECT_EQ(reg.GetString(kMachine, d3d, "Prev SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SWAPINTERVAL"), "0");

  // A restore still owed by a watched run is settled by this one.
  reg.PutString(kUser, kProgram, "Pending Restore", "stage=watching\nprofile=Quake III\n");
  ASSERT_EQ(Run({"restore"}), kExitOk) << console.err;
  EXPECT_FALSE(reg.Get(kUser, kProgram, "Pending Restore"));
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_FALSE(reg.GetString(kMachine, d3d, "SSTH3_SWAPINTERVAL"));

  // A Glide write refused after the Direct3D ones: those are given back.
  reg.RefuseWrites(kMachine, kDevice + "\\Glide");
  EXPECT_EQ(Run({"apply", "Quake III"}), kExitFailed);
  reg.ClearRefusals();
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_FALSE(reg.GetString(kMachine, d3d, "SSTH3_SWAPINTERVAL"));

  EXPECT_EQ(Run({"apply", "Doom 3"}), kExitFailed);
  EXPECT_FALSE(reg.HasKey(kUser, Profile("Doom 3")));
  reg.RemoveKey(kMachine, "System\\CurrentControlSet\\Services\\3dfxvs");
  EXPECT_EQ(Run({"restore"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: No Voodoo4 or higher was detected.\r\n");
}

// An uninstall runs `restore --owed`: it must swap nothing when no run owes a
// restore, and finish a restore cut off half-way instead of swapping anew.
TEST_F(CompanionTest, RestoreOwedSettlesOnlyWhatTheJournalOwes) {
  const std::string d3d = kDevice + "\\D3D";
  ASSERT_EQ(Run({"apply", "Quake III"}), kExitOk) << console.err;
  ASSERT_EQ(Run({"restore", "--owed"}), kExitOk) << console.err;
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "3");
  EXPECT_EQ(reg.GetString(kMachine, d3d, "Prev SSTH3_SLI_AA_CONFIGURATION"), "2");

  // Killed after the first of its two writes: only the second is left to do.
  JournalRecord record;
  record.stage = JournalRecord::Stage::Restoring;
  record.profile = "Quake III";
  record.restore = {{SettingKind::Direct3D, "SSTH3_SLI_AA_CONFIGURATION", false, "2"},
                    {SettingKind::Direct3D, "Prev SSTH3_SLI_AA_CONFIGURATION", false, "3"}};
  reg.PutString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION", "2");
  reg.PutString(kUser, kProgram, "Pending Restore", RestoreJournal::Encode(record));
  ASSERT_EQ(Run({"restore", "--owed"}), kExitOk) << console.err;
  EXPECT_EQ(reg.GetString(kMachine, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_EQ(reg.GetString(kMachine, d3d, "Prev SSTH3_SLI_AA_CONFIGURATION"), "3");
  EXPECT_FALSE(reg.Get(kUser, kProgram, "Pending Restore"));
}

TEST_F(CompanionTest, ExportDriverWritesAFileThatGivesTheKeysBackWhole) {
  reg.PutString(kMachine, kDevice + "\\Glide", "FX_GLIDE_SWAPINTERVAL", "1");
  reg.PutString(kMachine, kDevice + "\\D3D\\Extra", "Note", "kept");
  ASSERT_EQ(Run({"export-driver", "driver.reg"}), kExitOk) << console.err;
  const std::string key = "HKEY_LOCAL_MACHINE\\" + kDevice;
  EXPECT_EQ(console.files["driver.reg"],
            "REGEDIT4\r\n\r\n[-" + key + "\\D3D]\r\n\r\n[-" + key + "\\Glide]\r\n\r\n[" + key +
                "\\D3D]\r\n\"SSTH3_SLI_AA_CONFIGURATION\"=\"2\"\r\n\r\n[" + key +
                "\\D3D\\Extra]\r\n\"Note\"=\"kept\"\r\n\r\n[" + key +
                "\\Glide]\r\n\"FX_GLIDE_SWAPINTERVAL\"=\"1\"\r\n\r\n");

  reg.RemoveKey(kMachine, "System\\CurrentControlSet\\Services\\3dfxvs");
  EXPECT_EQ(Run({"export-driver", "none.reg"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: No Voodoo4 or higher was detected.\r\n");
  EXPECT_EQ(console.files.count("none.reg"), 0u);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Exit status 1 whenever a shortcut was left alone, with the reason on
// standard error.
TEST_F(CompanionTest, AdoptShowAndUnadoptAllRoundTrip) {
  LinkFields original;
  original.target = "C:\\DOOM\\DOOM.EXE";
  original.arguments = "-fast";
  links.links["C:\\Desktop\\Doom.lnk"] = original;
  links.links["C:\\Desktop\\Doom (read-only).lnk"] = original;
  links.readOnly.insert("C:\\Desktop\\Doom (read-only).lnk");
  EXPECT_EQ(Run({"adopt", "Quake III"}), kExitFailed);  // no shortcut starts it
  EXPECT_EQ(Run({"adopt", "doom"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: C:\\Desktop\\Doom (read-only).lnk: read-only, left alone\r\n");
  links.readOnly.clear();
  links.links.erase("C:\\Desktop\\Doom (read-only).lnk");
  EXPECT_EQ(console.out, "Adopted C:\\Desktop\\Doom.lnk\r\n");
  EXPECT_EQ(links.links["C:\\Desktop\\Doom.lnk"].arguments, "\"doom\"");
  EXPECT_EQ(*reg.GetString(kUser, Profile("doom"), "Parameters"), "-fast");
  EXPECT_EQ(Run({"show", "doom"}), kExitOk);
  EXPECT_NE(console.out.find("  C:\\Desktop\\Doom.lnk (was C:\\DOOM\\DOOM.EXE -fast)"),
            std::string::npos);
  links.readOnly.insert("C:\\Desktop\\Doom.lnk");
  EXPECT_EQ(Run({"unadopt", "--all"}), kExitFailed);
  EXPECT_NE(console.err.find("Doom.lnk: read-only, left alone"), std::string::npos);
  links.readOnly.clear();
  EXPECT_EQ(Run({"unadopt", "--all"}), kExitOk);
  EXPECT_EQ(console.out, "Put back C:\\Desktop\\Doom.lnk\r\n");
  EXPECT_EQ(links.links["C:\\Desktop\\Doom.lnk"], original);
}

// An install moved from C:\Old to C:\Tarnwick, then uninstalled: the
// installer runs relink, the uninstaller remove-shortcuts before unadopt.
TEST_F(CompanionTest, RelinkFollowsAMovedInstallAndRemoveShortcutsSparesAdoptedOnes) {
  const std::string oldExe = "C:\\Old\\tarnwick.exe", newExe = "C:\\Tarnwick\\tarnwick.exe";
  const std::string desktopDoom = "C:\\Desktop\\Doom.lnk";
  const std::string menuDoom = "C:\\Start Menu\\Programs\\Doom\\Doom.lnk";
  LinkFields doom;
  doom.target = "C:\\Doom\\doom.exe";
  links.links[desktopDoom] = links.links[menuDoom] = doom;
  // Without tarnwick.exe beside it, no shortcut is pointed at an empty target.
  EXPECT_EQ(Run({"adopt", "doom"}, ""), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: tarnwick.exe was not found beside tarnwick-cli.exe\r\n");
  ASSERT_EQ(Run({"adopt", "doom"}, oldExe), kExitOk) << console.err;
  // The editor's shortcut, the installer's own, and one in the Start menu.
  const std::string editorQuake = "C:\\Desktop\\Quake III.lnk";
  LinkFields quake{oldExe, "\"Quake III\"", "C:\\Old\\", "C:\\Games\\quake3.exe", 0, 1};
  links.links[editorQuake] = quake;
  const LinkFields installerLink{oldExe, "", "C:\\Old", "", 0, 1};
  links.links["C:\\Desktop\\Tarnwick.lnk"] = installerLink;
  links.links["C:\\Start Menu\\Programs\\Quake.lnk"] = quake;
  // On a network drive that is gone: ruled out by its own fields, unresolved.
  const std::string share = "\\\\gone\\share\\TOOL.EXE";
  links.links["C:\\Desktop\\Tool.lnk"] = LinkFields{share, "-x", "", "", 0, 1};
  // An editor shortcut whose "Start in" the user chose keeps it.
  const std::string ownFolder = "C:\\Desktop\\Quake III (saves).lnk";
  links.links[ownFolder] = LinkFields{oldExe, "\"Quake III\"", "C:\\Saves", "", 0, 1};
  EXPECT_EQ(Run({"relink", oldExe}, ""), kExitFailed);
  EXPECT_EQ(links.links[menuDoom].target, oldExe);

  // A link that cannot be written keeps starting the old exe, as its record says.
  links.readOnly = {menuDoom, editorQuake};
  EXPECT_EQ(Run({"relink", "C:\\OLD\\TARNWICK.EXE"}), kExitFailed);
  EXPECT_NE(console.err.find(menuDoom + ": read-only"), std::string::npos) << console.err;
  EXPECT_NE(console.err.find(editorQuake + ": could not be written"), std::string::npos);
  EXPECT_EQ(links.links[menuDoom].target, oldExe);
  EXPECT_EQ(links.links[ownFolder], (LinkFields{newExe, "\"Quake III\"", "C:\\Saves", "", 0, 1}));

  links.readOnly.clear();
  ASSERT_EQ(Run({"relink", "C:\\OLD\\TARNWICK.EXE"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Now starts this Tarnwick: " + menuDoom +
                             "\r\nNow starts this Tarnwick: " + editorQuake + "\r\n");
  for (const std::string& file : {desktopDoom, menuDoom}) {
    EXPECT_EQ(links.links[file].target, newExe) << file;
    EXPECT_EQ(links.links[file].workingDirectory, "C:\\Tarnwick\\") << file;
  }
  quake.target = newExe;
  quake.workingDirectory = "C:\\Tarnwick\\";
  EXPECT_EQ(links.links[editorQuake], quake);
  EXPECT_EQ(links.links["C:\\Desktop\\Tarnwick.lnk"], installerLink);
  EXPECT_EQ(links.links["C:\\Start Menu\\Programs\\Quake.lnk"].target, oldExe);

  links.links["C:\\Desktop\\Tarnwick.lnk"].target = newExe;
  // One whose put-back failed waits in the kept records, which name it in
  // their own letter case: spared too.
  links.readOnly.insert(desktopDoom);
  EXPECT_EQ(Run({"unadopt", "doom"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: " + desktopDoom + ": read-only, left alone\r\n"
            "tarnwick-cli: 1 shortcut(s) still start Tarnwick; their records are kept for a later "
            "unadopt\r\n");  // tried once, though it joins the kept records
  links.readOnly.clear();
  const std::string kept = "Software\\Hexmoor\\Tarnwick Adopted Shortcuts\\1";
  reg.PutString(kUser, kept, "File", "c:\\desktop\\doom.lnk");
  ASSERT_EQ(Run({"remove-shortcuts"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Deleted " + ownFolder + "\r\nDeleted " + editorQuake + "\r\nLeft " +
                             desktopDoom + ": an adopted game shortcut, left\r\n");
  reg.PutString(kUser, kept, "File", desktopDoom);
  EXPECT_EQ(links.links.count(editorQuake), 0u);
  EXPECT_EQ(links.links.count("C:\\Desktop\\Tarnwick.lnk"), 1u);
  // The records followed: the adopted links still go back as they were.
  ASSERT_EQ(Run({"unadopt", "--all"}), kExitOk) << console.err;
  EXPECT_EQ(links.links[desktopDoom], doom);
  EXPECT_EQ(links.links[menuDoom], doom);
  EXPECT_EQ(std::count(links.pathKeys.begin(), links.pathKeys.end(), share), 0);
}

// Two accounts over one machine registry and one set of link files: one
// adopts an all-users shortcut, the other, without that profile, clicks it
// and uninstalls.
TEST(CompanionAccounts, AnAllUsersShortcutServesEveryAccountAndTheUninstallerPutsItBack) {
  const std::string tarnwick = "C:\\Tarnwick\\tarnwick.exe";
  const std::string shared = "C:\\All Users\\Desktop\\Doom.lnk";
  const std::string ownDoom = "C:\\Users\\A\\Desktop\\Doom.lnk";
  const std::string editorA = "C:\\Users\\A\\Desktop\\Quake.lnk";
  const std::string editorB = "C:\\Users\\B\\Desktop\\Mine.lnk";
  const std::string sharedEditor = "C:\\All Users\\Desktop\\Ours.lnk";
  const LinkFields doom{"C:\\Doom\\doom.exe", "-fast", "C:\\Doom", "", 0, 7};
  FakeShellLinks links;
  links.links = {{shared, doom},
                 {ownDoom, doom},
                 {editorA, {tarnwick, "Quake", "C:\\Tarnwick\\", "", 0, 1}},
                 {editorB, {tarnwick, "Mine", "C:\\Tarnwick\\", "", 0, 1}},
                 {sharedEditor, {tarnwick, "Ours", "C:\\Tarnwick\\", "", 0, 1}}};
  FakeRegistry machineKeys, userA, userB;
  RegistryHandle machine{machineKeys, kMachine}, programA{userA, kUser}, programB{userB, kUser};
  userA.PutString(kUser, Profile("doom"), "FilePath", doom.target);
  userA.PutDword(kUser, kProgram, "VoodooType", 5500);
  machineKeys.PutString(kMachine, kDevice, "Hardwareinformation.Adapterstring", "Voodoo5");
  FakeTextCompare compare;
  FakeAnsiConverter ansi;
  FakeConsole console;
  const auto run = [&](RegistryHandle& program, const std::string& account,
                       const std::vector<std::string>& args, const std::string& exe = "") {
    links.folders = {{LinkPlace::Desktop, "C:\\Users\\" + account + "\\Desktop"},
                     {LinkPlace::Desktop, "C:\\All Users\\Desktop", true, true}};
    console.out.clear();
    console.err.clear();
    SettingCatalogue catalogue;
    CompanionContext context{catalogue, program, machine, compare,
                             ansi,      console, links,   exe.empty() ? tarnwick : exe};
    return RunCompanion(args, context);
  };
  const auto click = [&](RegistryHandle& program) {
    SettingCatalogue catalogue;
    StartupState state;
    RecordingStartupView view;
    RunStartup(tarnwick + " \"doom\"", catalogue, program, machine, machine, compare, state, view);
    return view.calls;
  };

  ASSERT_EQ(run(programA, "A", {"adopt", "doom"}), kExitOk) << console.err;
  EXPECT_EQ(links.links[shared].target, tarnwick);
  const std::string machineBefore = machineKeys.Dump();
  // B has no profile "doom": the game starts as the shortcut did, in its
  // window state, before any card search or question; nothing is written.
  EXPECT_EQ(click(programB),
            (Calls{"Hide", "Start C:\\Doom\\doom.exe|-fast|C:\\Doom", "Quit"}));
  EXPECT_EQ(userB.Dump(), FakeRegistry().Dump());
  EXPECT_EQ(machineKeys.Dump(), machineBefore);
  // A machine record cut off before its last value starts nothing of its own.
  const std::string sharedPlace = "Software\\Hexmoor\\Tarnwick Shared Shortcuts";
  const std::string sharedRecord =
      sharedPlace + "\\" + machineKeys.SubkeyNames(kMachine, sharedPlace).at(0);
  {
    ScopedKey key(machine, sharedRecord, false);
    machine.DeleteValue("Tarnwick");
  }
  const Calls cutOff = click(programB);
  EXPECT_EQ(std::count(cutOff.begin(), cutOff.end(), "Start C:\\Doom\\doom.exe|-fast|C:\\Doom"), 0);
  machineKeys.PutString(kMachine, sharedRecord, "Tarnwick", tarnwick);
  // A has it: a run of the profile, after the card search.
  EXPECT_EQ(click(programA), (Calls{"Hide", "Model 5500", "Route doom", "Run doom", "Quit"}));

  // A's own links stay A's: B's remove-shortcuts deletes only B's editor
  // shortcut, and lists what it leaves.
  ASSERT_EQ(run(programB, "B", {"remove-shortcuts"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Deleted " + editorB + "\r\nLeft " + shared +
                             ": an adopted game shortcut, left\r\nLeft " + sharedEditor +
                             ": on every account's desktop, left\r\n");
  ASSERT_EQ(run(programA, "A", {"remove-shortcuts"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Deleted " + editorA + "\r\nLeft " + ownDoom +
                             ": an adopted game shortcut, left\r\nLeft " + shared +
                             ": an adopted game shortcut, left\r\nLeft " + sharedEditor +
                             ": on every account's desktop, left\r\n");
  // B's uninstall puts the all-users shortcut back exactly, from the
  // machine's record; A's own one is A's to put back.
  ASSERT_EQ(run(programB, "B", {"unadopt", "--all"}), kExitOk) << console.err;
  // Read-only, it keeps the machine's record: every account's click still starts the game.
  links.readOnly = {shared};
  EXPECT_EQ(run(programB, "B", {"unadopt", "--all-users"}), kExitFailed);
  EXPECT_EQ(click(programB), (Calls{"Hide", "Start C:\\Doom\\doom.exe|-fast|C:\\Doom", "Quit"}));
  links.readOnly.clear();
  ASSERT_EQ(run(programB, "B", {"unadopt", "--all-users"}), kExitOk) << console.err;
  EXPECT_EQ(console.out, "Put back " + shared + "\r\n");
  EXPECT_EQ(links.links[shared], doom);
  EXPECT_EQ(links.links[ownDoom].target, tarnwick);
  EXPECT_FALSE(machineKeys.HasKey(kMachine, "Software\\Hexmoor\\Tarnwick Shared Shortcuts"));
  ASSERT_EQ(run(programA, "A", {"unadopt", "--all"}), kExitOk) << console.err;
  EXPECT_EQ(links.links[ownDoom], doom);
  EXPECT_EQ(links.links[shared], doom);

  // An account that may not write the machine's registry leaves an
  // all-users shortcut alone, rather than adopt it for itself only.
  machineKeys.RefuseValueWrite("Tarnwick");
  EXPECT_EQ(run(programA, "A", {"adopt", "doom"}), kExitFailed);
  EXPECT_EQ(console.err, "tarnwick-cli: " + shared +
                             ": left alone, it serves every account and the machine's part of "
                             "the registry cannot be written\r\n");
  EXPECT_EQ(links.links[shared], doom);
  EXPECT_EQ(links.links[ownDoom].target, tarnwick);

  // Moved by B's install, it starts the new tarnwick.exe, as the machine's
  // record says; A's own put-back takes that record along.
  machineKeys.ClearRefusals();
  ASSERT_EQ(run(programA, "A", {"adopt", "doom"}), kExitOk) << console.err;
  const std::string moved = "D:\\Tarnwick\\tarnwick.exe";
  ASSERT_EQ(run(programB, "B", {"relink", tarnwick}, moved), kExitOk) << console.err;
  EXPECT_EQ(links.links[shared].target, moved);
  EXPECT_EQ(links.links[sharedEditor].target, moved);
  EXPECT_EQ(machineKeys.GetString(kMachine, "Software\\Hexmoor\\Tarnwick Shared Shortcuts\\1",
                                  "Tarnwick"),
            moved);
  ASSERT_EQ(run(programA, "A", {"unadopt", "--all"}, moved), kExitOk) << console.err;
  EXPECT_EQ(links.links[shared], doom);
  EXPECT_FALSE(machineKeys.HasKey(kMachine, "Software\\Hexmoor\\Tarnwick Shared Shortcuts"));
}

}  // namespace
}  // namespace tw
