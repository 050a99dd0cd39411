#include "shell/win32/tray_icon.h"

#include <cstring>

namespace tw {

static_assert(sizeof(NOTIFYICONDATAA) >= TrayIcon::kRecordSize,
              "the first record form is a prefix of the current one");

TrayIcon::TrayIcon(NotifyFunction notify) : notify_(notify) {
  std::strncpy(data_.szTip, "Tarnwick", 63);
}

// The tip stays as set: a game's icon run names its game before its icon
// goes up.
bool TrayIcon::Add(HWND window, HICON icon, UINT callbackMessage) {
  data_.cbSize = kRecordSize;
  data_.hWnd = window;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon;
  wanted_ = true;
  return Show();
}

bool TrayIcon::Show() {
  added_ = notify_(NIM_ADD, &data_) != FALSE || notify_(NIM_MODIFY, &data_) != FALSE;
  return added_;
}

bool TrayIcon::Restore() {
  if (!wanted_) return false;
  return Show();
}

bool TrayIcon::SetTip(const std::string& tip) {
  std::memset(data_.szTip, 0, sizeof data_.szTip);
  std::strncpy(data_.szTip, tip.c_str(), 63);
  if (added_) return notify_(NIM_MODIFY, &data_) != FALSE;
  return wanted_ && Show();
}

void TrayIcon::Remove() {
  if (wanted_ || added_) notify_(NIM_DELETE, &data_);
  wanted_ = false;
  added_ = false;
}

}  // namespace tw
