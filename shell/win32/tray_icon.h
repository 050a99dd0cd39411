// The notification-area icon, in the record form every shell since Windows 95
// accepts (88 bytes).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tw {

class TrayIcon {
 public:
  static constexpr UINT kIconId = 1;
  static constexpr DWORD kRecordSize = 88;

  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // NIM_ADD with callback message, icon and tip "Tarnwick".
  bool Add(HWND window, HICON icon, UINT callbackMessage);
  // Adds the icon again after the taskbar was re-created (Explorer restart).
  bool Restore();
  // A new tip (at most 63 characters); kept for a later Restore too.
  bool SetTip(const std::string& tip);
  void Remove();
  bool Added() const { return added_; }

 private:
  NOTIFYICONDATAA data_ = {};
  bool added_ = false;
  bool wanted_ = false;
};

}  // namespace tw
