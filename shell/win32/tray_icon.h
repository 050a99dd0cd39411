// The notification-area icon, in the record form every shell since Windows 95
// accepts (88 bytes).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tw {

// The tray copy's name: its mutex, and the registered window message a
// second tray start sends it to ask it to stay and show its icon again (the
// shell may have refused it at logon).
inline constexpr char kTrayCopyName[] = "Hexmoor.Tarnwick.TrayCopy";

class TrayIcon {
 public:
  static constexpr UINT kIconId = 1;
  static constexpr DWORD kRecordSize = 88;

  using NotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
  // `notify`: the shell's call; tests pass one that fails as a busy shell does.
  explicit TrayIcon(NotifyFunction notify = Shell_NotifyIconA);
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // NIM_ADD with callback message, icon and the tip ("Tarnwick" until set).
  // A shell busy at logon may time out on the add and show the icon anyway:
  // a modification that succeeds then says it is there.
  bool Add(HWND window, HICON icon, UINT callbackMessage);
  // Adds the icon again: after the taskbar was re-created (Explorer
  // restart), or on a retry of an add the shell refused.
  bool Restore();
  // A new tip (at most 63 characters); kept for a later Restore too.
  bool SetTip(const std::string& tip);
  // Deletes whatever was meant to be shown, added or not: a timed-out add
  // would otherwise leave a ghost icon.
  void Remove();
  bool Added() const { return added_; }
  bool Wanted() const { return wanted_; }

 private:
  bool Show();

  NotifyFunction notify_;
  NOTIFYICONDATAA data_ = {};
  bool added_ = false;
  bool wanted_ = false;
};

}  // namespace tw
