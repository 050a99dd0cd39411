#include "shell/win32/tray_copy.h"

#include <string>

#include "shell/startup_layout.h"
#include "shell/win32/tray_icon.h"

namespace tw {

bool TrayCopy::Claim() {
  if (mutex_ != nullptr) return true;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kTrayCopyName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  mutex_ = mutex;
  return true;
}

void AskTrayCopyForIcon() {
  const UINT showIcon = RegisterWindowMessageA(kTrayCopyName);
  if (showIcon != 0) PostMessageA(HWND_BROADCAST, showIcon, 0, 0);
}

bool HandOverRun(HWND self, const HandedOverRun& run) {
  const std::string bytes = EncodeHandOver(run);
  COPYDATASTRUCT data;
  data.dwData = kHandOverTag;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = const_cast<char*>(bytes.data());
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, StartupWindowLayout().className, nullptr))) {
    if (window == self) continue;
    DWORD_PTR answer = 0;
    // Delivered even while the tray copy shows a box or the editor.
    if (SendMessageTimeoutA(window, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                            reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kHandOverWaitMs,
                            &answer) != 0 &&
        answer == static_cast<DWORD_PTR>(kHandOverTaken)) {
      return true;
    }
  }
  return false;
}

int StartedShowCommand() {
  STARTUPINFOA started;
  ZeroMemory(&started, sizeof started);
  started.cb = sizeof started;
  GetStartupInfoA(&started);
  return (started.dwFlags & STARTF_USESHOWWINDOW) != 0 ? started.wShowWindow : 0;
}

}  // namespace tw
