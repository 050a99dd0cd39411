#include "harness/tray_menu.h"

#include <shellapi.h>

#include <cstring>

#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/messages.h"

namespace e2e {

namespace {

constexpr UINT kTrayIconId = 1;
constexpr DWORD kMenuTimeoutMs = 10000;

DWORD ForegroundProcess() {
  DWORD process = 0;
  HWND foreground = GetForegroundWindow();
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return process;
}

NOTIFYICONDATAA IconRecord(HWND mainWindow) {
  NOTIFYICONDATAA data = {};
  data.cbSize = 88;  // the oldest record form, as the program uses
  data.hWnd = mainWindow;
  data.uID = kTrayIconId;
  return data;
}

}  // namespace

void PressKey(WORD key) {
  keybd_event(static_cast<BYTE>(key), 0, 0, 0);
  keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
}

std::vector<WORD> MenuKeys(std::initializer_list<int> path) {
  std::vector<WORD> keys;
  bool first = true;
  for (int position : path) {
    if (!first) keys.push_back(VK_RIGHT);
    // A menu from the tray starts with nothing selected; a submenu with its first item.
    for (int i = first ? 0 : 1; i < position; ++i) keys.push_back(VK_DOWN);
    first = false;
  }
  keys.push_back(VK_RETURN);
  return keys;
}

bool PopupMenuShown(const ChildProcess& program) {
  for (HWND menu : TopWindows(program.id(), kPopupMenuClass)) {
    if (IsWindowVisible(menu)) return true;
  }
  return false;
}

bool PostTrayCallback(HWND mainWindow, UINT mouseMessage) {
  return PostMessageA(mainWindow, tw::kTrayNotifyMessage, kTrayIconId, mouseMessage) != FALSE;
}

bool ChooseFromTrayMenu(const ChildProcess& program, HWND mainWindow, UINT mouseMessage,
                        const std::vector<WORD>& keys) {
  if (!PostTrayCallback(mainWindow, mouseMessage)) return false;
  if (!WaitUntil([&] { return PopupMenuShown(program); }, kMenuTimeoutMs)) return false;
  // Keys go to the foreground; the program takes it before it opens the menu,
  // but the system may hand it over only a little later.
  if (!WaitUntil([&] { return ForegroundProcess() == program.id(); }, kMenuTimeoutMs)) return false;
  for (WORD key : keys) PressKey(key);
  return WaitUntil([&] { return !PopupMenuShown(program); }, kMenuTimeoutMs);
}

bool PostMenuCommand(HWND mainWindow, int commandId) {
  return PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(commandId, 0), 0) != FALSE;
}

bool TrayIconPresent(HWND mainWindow) {
  NOTIFYICONDATAA data = IconRecord(mainWindow);
  data.uFlags = NIF_TIP;
  std::strcpy(data.szTip, "Tarnwick");
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool DeleteTrayIcon(HWND mainWindow) {
  NOTIFYICONDATAA data = IconRecord(mainWindow);
  return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

}  // namespace e2e
