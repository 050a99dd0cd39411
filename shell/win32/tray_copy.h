// The session's one tray copy as the system keeps it: a named mutex owned by
// the tray copy, and its main window, marked with a property so that runs
// and requests go to Tarnwick's window only, not to every window of its
// class name.
#pragma once

#include <windows.h>

#include <string>

#include "platform/session_copies.h"

namespace tw {

// Marks the main window as Tarnwick's: set at its creation, removed before
// it is destroyed.
inline constexpr char kTrayWindowProperty[] = "Hexmoor.Tarnwick.TrayWindow";

class Win32SessionCopies : public SessionCopies {
 public:
  Win32SessionCopies() = default;
  ~Win32SessionCopies() override { Release(); }
  Win32SessionCopies(const Win32SessionCopies&) = delete;
  Win32SessionCopies& operator=(const Win32SessionCopies&) = delete;

  bool Claim() override;
  void Release() override;
  Answer OfferRun(const std::string& encoded, unsigned waitMs) override;
  Answer AskToStay(unsigned waitMs) override;
  uint32_t Now() override { return GetTickCount(); }
  void WaitForClaim(unsigned ms) override;

 private:
  // Sends to each marked main window of another process until one gives
  // `wanted`; the wait counts from the first send.
  Answer Ask(UINT message, WPARAM wParam, LPARAM lParam, LRESULT wanted, unsigned waitMs);
  bool Owned(DWORD waited);

  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

// The window state this process was started with (a shortcut's "Run"); 0
// when none was asked for.
int StartedShowCommand();

}  // namespace tw
