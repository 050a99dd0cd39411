// Driving the profile editor of another process: its controls found by
// component name (their ids follow the editor's layout table, which this
// harness shares with the program), read and set with the messages Windows
// itself sends. Also screenshots on request and the desktop folder.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

constexpr char kEditorClass[] = "TForm1";

int EditorControlId(const std::string& name);
// The control anywhere inside the editor; nullptr when it is not there.
HWND EditorControl(HWND editor, const std::string& name);

std::string EditorText(HWND editor, const std::string& name);
// WM_SETTEXT; an edit box then runs its change handler.
bool SetEditorText(HWND editor, const std::string& name, const std::string& text);
int SelectedEntry(HWND editor, const std::string& name);
bool SelectEntry(HWND editor, const std::string& name, int index);
bool IsEditorControlVisible(HWND editor, const std::string& name);
bool IsEditorControlEnabled(HWND editor, const std::string& name);
int SliderPosition(HWND editor, const std::string& name);
// Moves the slider and tells the editor, as a drag of its thumb does.
bool MoveSlider(HWND editor, const std::string& name, int position);
// Clicks a button without waiting for what it does (it may open a box).
bool PostClick(HWND editor, const std::string& name);
// Clicks the tab at `index` of the page control, as the mouse does.
bool ClickTab(HWND editor, int index);

// Client-area height of a window and the top of a child in its parent.
int ClientHeight(HWND window);
int ChildTop(HWND child);

// Asks the screenshot watcher of the test run (scripts/e2e-screenshots.sh)
// for a picture of the desktop named `name`; nothing without a watcher.
// `shown` is painted first, so the picture has it whole; its place goes with
// the request, and the watcher keeps it beside the picture (NAME.rect).
void Screenshot(const std::string& name, HWND shown);

// The user's desktop folder as the shell names it.
std::string DesktopFolder();

}  // namespace e2e
