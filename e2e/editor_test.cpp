// The profile editor of the real program, opened the ways a user opens it:
// "Add program" with a shortcut chosen in the real file dialog (and a run
// that starts where Tarnwick did, not where the dialog browsed), "Config",
// "Set user defaults", "Current settings"; saving, the desktop shortcut and
// the run it starts, Remove, the remembered place. Screenshots of each mode
// and page go to the test run's screenshot folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>
#include <string>

#include "harness/driver_game.h"
#include "harness/editor_probe.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/shell_link.h"
#include "harness/tarnwick.h"
#include "harness/temp_folder.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/messages.h"
#include "shell/menu_ids.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = kDefaultTimeoutMs;
constexpr char kDriverD3D[] = "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\D3D";
constexpr char kDriverGlide[] = "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\Glide";
constexpr int kConfigPlace = 6;  // "Config" among the right-click menu's items
const char* const kButtons[] = {"Button1", "Button2", "Button3", "Button4", "Button5", "Button7"};

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

std::string Profile(const std::string& name) { return std::string(kProgramKey) + "\\" + name; }

// A link as one line, so two readings compare whole.
std::string Describe(const LinkFields& f) {
  return f.target + "|" + f.arguments + "|" + f.workingDirectory + "|" + f.iconFile + "|" +
         std::to_string(f.iconIndex);
}

std::string StartMenuFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path))) return "";
  return path;
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    PlantFixture(kWin98Voodoo5);
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    recordPath_ = TempFolder() + "tarnwick-editor-run.txt";
    DeleteFileA(recordPath_.c_str());
    shortcutPath_ = DesktopFolder() + "\\Demo.lnk";
    DeleteFileA(shortcutPath_.c_str());
    tarnwick_ = StartTarnwick();
    ASSERT_TRUE(tarnwick_.WaitForIdle(kTimeoutMs));
    main_ = FindTopWindow(tarnwick_.id(), kMainWindowClass);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    ResetTarnwickState();
    DeleteFileA(recordPath_.c_str());
    DeleteFileA(shortcutPath_.c_str());
  }

  std::string Shot(const std::string& name) const {
    return TestOptions().winVersion + "-" + name;
  }
  HWND WaitForEditor() {
    HWND editor = nullptr;
    WaitUntil([&] {
      editor = FindTopWindow(tarnwick_.id(), kEditorClass);
      return editor && IsWindowVisible(editor);
    }, kTimeoutMs);
    return editor;
  }
  // The closed editor is destroyed once the main window handles its message.
  bool WaitForEditorGone() {
    return WaitUntil([&] { return FindTopWindow(tarnwick_.id(), kEditorClass) == nullptr; },
                     kTimeoutMs);
  }
  HWND WaitForBox(const std::string& caption) {
    return WaitForTopWindow(tarnwick_.id(), kDialogClass, caption, kTimeoutMs);
  }
  HWND OpenConfig() {
    EXPECT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({kConfigPlace, 1})));
    return WaitForEditor();
  }
  // The buttons sit 3 pixels below the page control, whatever page shows.
  void ExpectButtonsBelowPages(HWND editor, const std::string& page) {
    HWND pages = EditorControl(editor, "PageControl1");
    RECT rect = {};
    GetWindowRect(pages, &rect);
    const int bottom = ChildTop(pages) + (rect.bottom - rect.top);
    for (const char* button : kButtons) {
      EXPECT_EQ(ChildTop(EditorControl(editor, button)), bottom + 3) << page << " " << button;
    }
    EXPECT_EQ(ClientHeight(editor), bottom + 3 + 25 + 2) << page;
  }
  void ShowEachPage(HWND editor, const std::string& mode, int pageCount) {
    const char* names[] = {"direct3d", "glide", "additional"};
    const int heights[] = {201, 281, 269};
    for (int page = 0; page < pageCount; ++page) {
      ASSERT_TRUE(ClickTab(editor, page));
      // The click is handled in the program's own time: the page control
      // takes its height first, then the buttons and the window follow.
      HWND control = EditorControl(editor, "PageControl1");
      HWND cancel = EditorControl(editor, "Button2");
      WaitUntil([&] {
        RECT rect = {};
        GetWindowRect(control, &rect);
        return rect.bottom - rect.top == heights[page] &&
               ChildTop(cancel) == ChildTop(control) + heights[page] + 3 &&
               ClientHeight(editor) == ChildTop(cancel) + 25 + 2;
      }, 5000);
      ExpectButtonsBelowPages(editor, names[page]);
      Screenshot(Shot(mode + "-" + names[page]), editor);
    }
  }

  // "Add program", and `file` typed into the real file dialog, after
  // `folderFirst` when there is one.
  bool ChooseInFileDialog(const std::string& file, bool screenshot,
                          const std::string& folderFirst = std::string()) {
    if (!PostMenuCommand(main_, tw::menu_id::kAddprogram1)) return false;
    HWND dialog = WaitForTopWindow(tarnwick_.id(), kDialogClass, std::nullopt, kTimeoutMs);
    if (!dialog || !WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, kTimeoutMs)) {
      return false;
    }
    if (screenshot) Screenshot(Shot("file-dialog"), dialog);
    HWND nameBox = GetDlgItem(dialog, 0x47c);  // the file name combo box
    if (nameBox) nameBox = FindDescendant(nameBox, "Edit");
    if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);  // the older dialog's edit box
    if (!nameBox) return false;
    if (!folderFirst.empty()) {
      SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folderFirst.c_str()));
      if (!ClickButton(GetDlgItem(dialog, IDOK))) return false;
    }
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    return ClickButton(GetDlgItem(dialog, IDOK));
  }

  ChildProcess tarnwick_;
  HWND main_ = nullptr;
  std::string recordPath_;
  std::string shortcutPath_;
};

TEST_F(EditorTest, AddEditShortcutRunRemoveAndPlace) {
  const std::string game = TestOptions().gameExe;
  const std::string link = TempFolder() + "Flight.lnk";
  ASSERT_TRUE(MakeShortcut(link, {game}));

  // Add program: a shortcut chosen in the file dialog gives its target.
  // Into the shortcut's folder first, as a user browses: that moves the
  // process's current folder.
  ASSERT_TRUE(ChooseInFileDialog(link, true, TempFolder()));

  HWND editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  const std::string gameName = game.substr(game.find_last_of('\\') + 1);
  EXPECT_EQ(EditorText(editor, "Edit1"), gameName);
  EXPECT_EQ(EditorText(editor, "Label14"), gameName);
  // The stand-in game has no icon of its own: the header shows the generic one.
  EXPECT_NE(SendMessageA(EditorControl(editor, "Image1"), STM_GETICON, 0, 0), 0)
      << "no icon in the header";
  EXPECT_EQ(EditorText(editor, "Edit3"), Folder(game));
  EXPECT_FALSE(IsEditorControlVisible(editor, "Button4"));
  EXPECT_FALSE(IsEditorControlVisible(editor, "Button3"));
  ShowEachPage(editor, "new-program", 3);

  ASSERT_TRUE(SetEditorText(editor, "Edit1", "Demo"));
  ASSERT_TRUE(SetEditorText(editor, "Edit2", "--record=" + recordPath_ + " --sleep=200"));
  ASSERT_TRUE(SetEditorText(editor, "Edit3", ""));
  ASSERT_TRUE(SetEditorText(editor, "SpinEdit1", "1"));
  ASSERT_TRUE(SelectEntry(editor, "GComboBox6", 9));  // "0.25"
  ASSERT_TRUE(PostClick(editor, "Button1"));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_EQ(Text(HKEY_CURRENT_USER, Profile("Demo"), "FilePath"), game);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, Profile("Demo") + "\\Glide", "FX_GLIDE_LOD_BIAS"), "1");

  // Run, without a folder of its own: the game starts where Tarnwick did,
  // not in the folder the file dialog browsed.
  ASSERT_TRUE(ChooseFromTrayMenu(tarnwick_, main_, WM_RBUTTONUP, MenuKeys({7, 1})));
  std::optional<GameRecord> run;
  ASSERT_TRUE(WaitUntil([&] { return (run = ReadGameRecord(recordPath_)).has_value(); },
                        kTimeoutMs));
  EXPECT_NE(lstrcmpiA((run->fields["directory"] + "\\").c_str(), TempFolder().c_str()), 0)
      << run->fields["directory"];
  EXPECT_TRUE(WaitUntil(
      [] { return !ReadValue(HKEY_LOCAL_MACHINE, kProgramKey, "Pending Restore").has_value(); },
      kTimeoutMs));
  DeleteFileA(recordPath_.c_str());

  // Config: the new profile is in the menu; a list and a locked slider.
  editor = OpenConfig();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(EditorText(editor, "Edit1"), "Demo");
  EXPECT_TRUE(IsEditorControlVisible(editor, "Button4"));
  ShowEachPage(editor, "edit-profile", 3);
  ASSERT_TRUE(SelectEntry(editor, "DComboBox3", 3));  // "4x FSAA"
  ASSERT_TRUE(MoveSlider(editor, "DTrackR", 150));
  EXPECT_EQ(SliderPosition(editor, "DTrackB"), 150);
  EXPECT_EQ(EditorText(editor, "DGammaG"), "1.50");
  ASSERT_TRUE(PostClick(editor, "Button1"));
  ASSERT_TRUE(WaitForEditorGone());
  const std::string d3d = Profile("Demo") + "\\D3D";
  EXPECT_EQ(Text(HKEY_CURRENT_USER, d3d, "SSTH3_SLI_AA_CONFIGURATION"), "4");
  EXPECT_EQ(Text(HKEY_CURRENT_USER, d3d, "SSTH3_GGAMMA"), "1.50");

  // Shortcut: asked, then written on the desktop; the editor stays open.
  editor = OpenConfig();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PostClick(editor, "Button7"));
  HWND confirm = WaitForBox("Confirm");
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(MessageBoxText(confirm), "Do you want a shortcut for this application on your desktop?");
  ASSERT_TRUE(ClickButton(GetDlgItem(confirm, IDYES)));
  LinkFields fields;
  ASSERT_TRUE(WaitUntil([&] { return ReadShellLink(shortcutPath_, &fields); }, kTimeoutMs))
      << shortcutPath_;
  const std::string exe = TestOptions().tarnwickExe;
  EXPECT_EQ(lstrcmpiA(fields.target.c_str(), exe.c_str()), 0) << fields.target;
  EXPECT_EQ(fields.arguments, "\"Demo\"");
  EXPECT_EQ(lstrcmpiA(fields.workingDirectory.c_str(), Folder(exe).c_str()), 0)
      << fields.workingDirectory;
  EXPECT_EQ(fields.iconFile, game);
  EXPECT_EQ(fields.iconIndex, 0);
  EXPECT_TRUE(IsWindowVisible(editor));
  ASSERT_TRUE(PostClick(editor, "Button2"));
  ASSERT_TRUE(WaitForEditorGone());

  // The shortcut's command line runs the profile and ends.
  {
    ChildProcess direct = StartTarnwick(fields.arguments);
    EXPECT_TRUE(direct.WaitForExit(kTimeoutMs).has_value());
    std::optional<GameRecord> record;
    EXPECT_TRUE(WaitUntil([&] { return (record = ReadGameRecord(recordPath_)).has_value(); },
                          kTimeoutMs));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverD3D, "SSTH3_SLI_AA_CONFIGURATION"), "4");
  }

  // Remove: the profile goes, the editor closes.
  editor = OpenConfig();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PostClick(editor, "Button4"));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Demo")));

  // The editor opens where it was last closed.
  ASSERT_TRUE(PostMessageA(main_, tw::kShowLiveSettingsMessage, 0, 0));
  editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  SetWindowPos(editor, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(PostClick(editor, "Button2"));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kProgramKey, "Left"), DwordValue(150));
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kProgramKey, "Top"), DwordValue(120));
  ASSERT_TRUE(PostMessageA(main_, tw::kShowLiveSettingsMessage, 0, 0));
  editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  RECT place = {};
  GetWindowRect(editor, &place);
  EXPECT_EQ(place.left, 150);
  EXPECT_EQ(place.top, 120);
  ASSERT_TRUE(PostClick(editor, "Button2"));
  ASSERT_TRUE(WaitForEditorGone());

  // A place stored on a larger desktop: the editor opens inside the work
  // area, and that is the place it stores.
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Left", DwordValue(5000));
  WriteValue(HKEY_CURRENT_USER, kProgramKey, "Top", DwordValue(4000));
  ASSERT_TRUE(PostMessageA(main_, tw::kShowLiveSettingsMessage, 0, 0));
  editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(editor, &place);
  EXPECT_EQ(place.right, area.right);
  EXPECT_EQ(place.bottom, area.bottom);
  ASSERT_TRUE(PostClick(editor, "Button2"));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kProgramKey, "Left"), DwordValue(place.left));
}

TEST_F(EditorTest, TheGamesOwnShortcutsAreAdoptedRunTheProfileAndGoBack) {
  const std::string game = TestOptions().gameExe;
  const std::string gameName = game.substr(game.find_last_of('\\') + 1);
  const std::string exe = TestOptions().tarnwickExe;
  const std::string menuFolder = StartMenuFolder() + "\\Tarnwick Adopt Test";
  CreateDirectoryA(menuFolder.c_str(), nullptr);
  const std::string links[] = {menuFolder + "\\Game.lnk", DesktopFolder() + "\\Game.lnk"};
  const std::string args = "--record=" + recordPath_ + " --sleep=200";
  ASSERT_TRUE(MakeShortcut(links[0], {game, args, Folder(game), game, 0}));
  // No "Start in" of its own: it fits any folder.
  ASSERT_TRUE(MakeShortcut(links[1], {game, args, ""}));
  std::string before[2];
  const auto readAll = [&](std::string* out) {
    for (int i = 0; i < 2; ++i) {
      LinkFields f;
      EXPECT_TRUE(ReadShellLink(links[i], &f)) << links[i];
      out[i] = Describe(f);
    }
  };
  readAll(before);
  const auto expectAdopted = [&](const std::string& profile) {
    for (const std::string& file : links) {
      LinkFields f;
      ASSERT_TRUE(ReadShellLink(file, &f)) << file;
      EXPECT_EQ(lstrcmpiA(f.target.c_str(), exe.c_str()), 0) << f.target;
      EXPECT_EQ(f.arguments, "\"" + profile + "\"");
      EXPECT_EQ(lstrcmpiA(f.workingDirectory.c_str(), Folder(exe).c_str()), 0);
      EXPECT_EQ(lstrcmpiA(f.iconFile.c_str(), game.c_str()), 0) << f.iconFile;
    }
  };

  // Saved from "Add program": one question, default No; Yes adopts both.
  ASSERT_TRUE(ChooseInFileDialog(game, false));
  HWND editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(SelectEntry(editor, "GComboBox6", 9));  // "0.25"
  ASSERT_TRUE(PostClick(editor, "Button1"));
  HWND confirm = WaitForBox("Confirm");
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(MessageBoxText(confirm), "2 shortcuts start " + gameName +
                                         " (Start menu, desktop). Start them through Tarnwick "
                                         "with this profile?");
  const auto buttonKind = [&](int id) { return GetWindowLongA(GetDlgItem(confirm, id), GWL_STYLE) & 0xF; };
  EXPECT_EQ(buttonKind(IDNO), BS_DEFPUSHBUTTON);
  EXPECT_EQ(buttonKind(IDYES), BS_PUSHBUTTON);
  ASSERT_TRUE(ClickButton(GetDlgItem(confirm, IDYES)));
  ASSERT_TRUE(WaitForEditorGone());
  expectAdopted(gameName);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, Profile(gameName), "Parameters"), args);

  // The adopted Start menu link runs the profile: driver values, parameters.
  {
    LinkFields adopted;
    ASSERT_TRUE(ReadShellLink(links[0], &adopted));
    ChildProcess run = StartTarnwick(adopted.arguments);
    EXPECT_TRUE(run.WaitForExit(kTimeoutMs).has_value());
    std::optional<GameRecord> record;
    ASSERT_TRUE(WaitUntil([&] { return (record = ReadGameRecord(recordPath_)).has_value(); },
                          kTimeoutMs));
    EXPECT_EQ(record->arguments.back(), "--sleep=200");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverGlide, "FX_GLIDE_LOD_BIAS"), "1");
  }

  // Remove puts both back as the shell reads them.
  editor = OpenConfig();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PostClick(editor, "Button4"));
  ASSERT_TRUE(WaitForEditorGone());
  std::string after[2];
  readAll(after);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);

  // tarnwick-cli adopt and unadopt --all round trip.
  WriteValue(HKEY_CURRENT_USER, Profile("Cli Game"), "FilePath", StringValue(game));
  EXPECT_EQ(RunToExit(CompanionExe(), "adopt \"Cli Game\""), DWORD{0});
  expectAdopted("Cli Game");
  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt --all"), DWORD{0});
  readAll(after);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Cli Game") + "\\Adopted Shortcuts"));

  for (const std::string& file : links) DeleteFileA(file.c_str());
  RemoveDirectoryA(menuFolder.c_str());
}

// The record is the only way back: a link that cannot be put back when its
// profile goes keeps its record, and a link write cut off between its two
// moves is put right before anything is put back.
TEST_F(EditorTest, AdoptedLinksKeepTheirRecordsThroughARemovalAndACutOffWrite) {
  const std::string game = TestOptions().gameExe;
  const std::string exe = TestOptions().tarnwickExe;
  const std::string kept = "Software\\Hexmoor\\Tarnwick Adopted Shortcuts";
  const std::string links[] = {DesktopFolder() + "\\Keep Game.lnk",
                               DesktopFolder() + "\\Aside Game.lnk",
                               DesktopFolder() + "\\Half Game.lnk"};
  const std::string original = TempFolder() + "Half Game original.lnk";
  std::string before[3];
  const auto describe = [](const std::string& file) {
    LinkFields f;
    return ReadShellLink(file, &f) ? Describe(f) : "(no link)";
  };
  const auto startsTarnwick = [&](const std::string& file) {
    return lstrcmpiA(ShortcutTarget(file).c_str(), exe.c_str()) == 0;
  };
  for (int i = 0; i < 3; ++i) {
    // Leftovers of an earlier run in this prefix would stand in the way of the moves below.
    for (const char* leftover : {"", ".tw-old", ".tw-new"}) {
      SetFileAttributesA((links[i] + leftover).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((links[i] + leftover).c_str());
    }
    ASSERT_TRUE(MakeShortcut(links[i], {game, "", Folder(game)})) << links[i];
    before[i] = describe(links[i]);
  }
  ASSERT_TRUE(CopyFileA(links[2].c_str(), original.c_str(), FALSE));
  WriteValue(HKEY_CURRENT_USER, Profile("Keep"), "FilePath", StringValue(game));
  ASSERT_EQ(RunToExit(CompanionExe(), "adopt Keep"), DWORD{0});
  for (const std::string& file : links) EXPECT_TRUE(startsTarnwick(file)) << file;
  // The tray lists the profiles it finds as it starts.
  KillProcessesNamed(FileName(exe));
  tarnwick_ = StartTarnwick();
  ASSERT_TRUE(tarnwick_.WaitForIdle(kTimeoutMs));
  main_ = FindTopWindow(tarnwick_.id(), kMainWindowClass);
  ASSERT_NE(main_, nullptr);

  // Remove while one link is read-only: the others go back, it keeps its
  // record outside the removed profile, and the notice says so.
  ASSERT_TRUE(SetFileAttributesA(links[0].c_str(), FILE_ATTRIBUTE_READONLY));
  HWND editor = OpenConfig();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PostClick(editor, "Button4"));
  HWND notice = WaitForBox(kAppTitle);
  ASSERT_NE(notice, nullptr);
  const std::string text = MessageBoxText(notice);
  EXPECT_NE(text.find(links[0] + ": read-only, left alone"), std::string::npos) << text;
  EXPECT_NE(text.find("tarnwick-cli unadopt --all"), std::string::npos) << text;
  ASSERT_TRUE(ClickButton(GetDlgItem(notice, IDOK)));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Keep")));
  EXPECT_TRUE(startsTarnwick(links[0]));
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kept + "\\1", "File"), links[0]);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kept + "\\1", "Profile"), "Keep");
  EXPECT_EQ(describe(links[1]), before[1]);
  EXPECT_EQ(describe(links[2]), before[2]);
  ASSERT_TRUE(SetFileAttributesA(links[0].c_str(), FILE_ATTRIBUTE_NORMAL));

  // Adopted again, then two writes cut off between their moves: one left
  // only the old link aside, one the new link saved whole as well.
  WriteValue(HKEY_CURRENT_USER, Profile("Half"), "FilePath", StringValue(game));
  ASSERT_EQ(RunToExit(CompanionExe(), "adopt Half"), DWORD{0});
  // Wine's desktop reads a link just written for a moment: a move waits for it.
  const auto move = [](const std::string& from, const std::string& to) {
    return WaitUntil([&] { return MoveFileA(from.c_str(), to.c_str()) != FALSE; });
  };
  ASSERT_TRUE(move(links[1], links[1] + ".tw-old")) << GetLastError();
  ASSERT_TRUE(move(links[2], links[2] + ".tw-old")) << GetLastError();
  ASSERT_TRUE(move(original, links[2] + ".tw-new")) << GetLastError();

  // unadopt --all finds them, and the kept record, and puts all three back.
  EXPECT_EQ(RunToExit(CompanionExe(), "unadopt --all"), DWORD{0});
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(describe(links[i]), before[i]) << links[i];
    for (const char* leftover : {".tw-old", ".tw-new"}) {
      EXPECT_EQ(GetFileAttributesA((links[i] + leftover).c_str()), INVALID_FILE_ATTRIBUTES);
    }
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kept));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Profile("Half") + "\\Adopted Shortcuts"));
  for (const std::string& file : links) DeleteFileA(file.c_str());
}

TEST_F(EditorTest, UserDefaultsAndLiveSettings) {

  // Set user defaults, then reset the driver to them.
  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kSetcurrentsettingsasuserdefault1));
  HWND editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(EditorText(editor, "Label14"), "Default user settings");
  EXPECT_FALSE(IsEditorControlEnabled(editor, "Edit1"));
  EXPECT_FALSE(IsEditorControlVisible(editor, "Button1"));
  EXPECT_TRUE(IsEditorControlVisible(editor, "Button3"));
  ShowEachPage(editor, "user-defaults", 2);
  ASSERT_TRUE(SelectEntry(editor, "GComboBox7", 1));  // triple buffering "Enable"
  ASSERT_TRUE(ClickButton(EditorControl(editor, "TextureCheck")));
  ASSERT_TRUE(PostClick(editor, "Button3"));
  ASSERT_TRUE(WaitForEditorGone());
  const std::string defaults = Profile("User Default") + "\\Glide";
  EXPECT_EQ(Text(HKEY_CURRENT_USER, defaults, "FX_GLIDE_ALLOC_COLOR"), "3");
  EXPECT_EQ(Text(HKEY_CURRENT_USER, defaults, "FX_GLIDE_TMU_MEMSIZE"), "2");
  // The reset writes the Glide switches last.
  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kResettouserdefault1));
  EXPECT_TRUE(WaitUntil(
      [] { return Text(HKEY_LOCAL_MACHINE, kDriverGlide, "FX_GLIDE_TMU_MEMSIZE") == "2"; },
      kTimeoutMs));
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverGlide, "FX_GLIDE_ALLOC_COLOR"), "3");

  // Current settings (the tray's double click): the driver's switches show.
  WriteValue(HKEY_LOCAL_MACHINE, kDriverD3D, "SSTH3_SLI_AA_CONFIGURATION", StringValue("2"));
  ASSERT_TRUE(PostMessageA(main_, tw::kShowLiveSettingsMessage, 0, 0));
  editor = WaitForEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(EditorText(editor, "Label14"), "Current Voodoo-settings");
  EXPECT_TRUE(IsButtonChecked(EditorControl(editor, "TextureCheck")));
  EXPECT_EQ(SelectedEntry(editor, "DComboBox3"), 1);  // "2" is "Fastest Performance"
  ShowEachPage(editor, "live-settings", 2);
  ASSERT_TRUE(SelectEntry(editor, "DComboBox3", 2));  // "2x FSAA"
  ASSERT_TRUE(PostClick(editor, "Button5"));
  ASSERT_TRUE(WaitForEditorGone());
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverD3D, "SSTH3_SLI_AA_CONFIGURATION"), "3");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverD3D, "Prev SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kDriverGlide, "FX_GLIDE_TMU_MEMSIZE"), "2");

  ASSERT_TRUE(PostMenuCommand(main_, tw::menu_id::kResettoprevioussettings1));
  EXPECT_TRUE(WaitUntil(
      [] { return Text(HKEY_LOCAL_MACHINE, kDriverD3D, "SSTH3_SLI_AA_CONFIGURATION") == "2"; },
      kTimeoutMs));
}

}  // namespace
}  // namespace e2e
