#include "shell/win32/tray_copy.h"

#include "shell/run_handover.h"
#include "shell/startup_layout.h"
#include "shell/win32/tray_icon.h"

namespace tw {

bool Win32SessionCopies::Owned(DWORD waited) {
  // An abandoned claim is a tray copy that died: it is this copy's now.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) owned_ = true;
  return owned_;
}

bool Win32SessionCopies::Claim() {
  if (owned_) return true;
  if (mutex_ == nullptr) mutex_ = CreateMutexA(nullptr, FALSE, kTrayCopyName);
  if (mutex_ == nullptr) return true;  // the system cannot tell: better a tray than none
  return Owned(WaitForSingleObject(mutex_, 0));
}

void Win32SessionCopies::Release() {
  if (owned_) ReleaseMutex(mutex_);
  owned_ = false;
  if (mutex_ != nullptr) CloseHandle(mutex_);
  mutex_ = nullptr;
}

void Win32SessionCopies::WaitForClaim(unsigned ms) {
  if (mutex_ == nullptr || owned_) return;
  Owned(WaitForSingleObject(mutex_, ms));
}

SessionCopies::Answer Win32SessionCopies::Ask(UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT wanted, unsigned waitMs) {
  const DWORD start = GetTickCount();
  Answer answer = Answer::NoWindow;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, StartupWindowLayout().className, nullptr))) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // Many programs of the era use the same class name: only a window that
    // carries Tarnwick's mark gets the run's bytes.
    if (process == GetCurrentProcessId() || GetPropA(window, kTrayWindowProperty) == nullptr) {
      continue;
    }
    const DWORD spent = GetTickCount() - start;
    if (spent >= waitMs) break;
    DWORD_PTR result = 0;
    // Delivered even while the tray copy shows a box or the editor.
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, waitMs - spent,
                            &result) == 0) {
      continue;
    }
    if (result == static_cast<DWORD_PTR>(wanted)) return Answer::Taken;
    answer = Answer::Refused;
  }
  return answer;
}

SessionCopies::Answer Win32SessionCopies::OfferRun(const std::string& encoded, unsigned waitMs) {
  COPYDATASTRUCT data;
  data.dwData = kHandOverTag;
  data.cbData = static_cast<DWORD>(encoded.size());
  data.lpData = const_cast<char*>(encoded.data());
  return Ask(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), kHandOverTaken, waitMs);
}

SessionCopies::Answer Win32SessionCopies::AskToStay(unsigned waitMs) {
  const UINT stay = RegisterWindowMessageA(kTrayCopyName);
  if (stay == 0) return Answer::NoWindow;
  return Ask(stay, 0, 0, kStayAnswer, waitMs);
}

int StartedShowCommand() {
  STARTUPINFOA started;
  ZeroMemory(&started, sizeof started);
  started.cb = sizeof started;
  GetStartupInfoA(&started);
  return (started.dwFlags & STARTF_USESHOWWINDOW) != 0 ? started.wShowWindow : 0;
}

}  // namespace tw
