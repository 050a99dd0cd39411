// Tarnwick's tray icon and popup menus driven from another process the way a
// user drives them: the tray callback opens the real popup menu, the keyboard
// walks it. (Another process cannot read a menu's items, so the tests check
// what the chosen item did.)
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "harness/process.h"

namespace e2e {

constexpr char kPopupMenuClass[] = "#32768";

// The keys that choose an item: `path` holds its place, from 1, among the
// selectable items of each menu on the way (separators do not count, disabled
// items do). Down selects the first item of a menu just opened by the tray,
// Right opens a submenu with its first item selected, Enter chooses.
std::vector<WORD> MenuKeys(std::initializer_list<int> path);

// Posts the tray callback with a mouse message, as the shell does.
bool PostTrayCallback(HWND mainWindow, UINT mouseMessage);

// Posts the tray callback with a mouse message (WM_RBUTTONUP, WM_LBUTTONUP),
// presses the keys, and waits until the menu has closed again. False when no
// menu opened or it stayed open.
bool ChooseFromTrayMenu(const ChildProcess& program, HWND mainWindow, UINT mouseMessage,
                        const std::vector<WORD>& keys);

// A key pressed and released, for the window that has the keyboard.
void PressKey(WORD key);

// Whether a popup menu of the program is shown.
bool PopupMenuShown(const ChildProcess& program);

// WM_COMMAND as a chosen menu item sends it.
bool PostMenuCommand(HWND mainWindow, int commandId);

// The shell's record of the program's icon (the window and icon id 1): a
// modification succeeds only while the icon exists.
bool TrayIconPresent(HWND mainWindow);
bool DeleteTrayIcon(HWND mainWindow);

}  // namespace e2e
