// The limit for a command-line run of a profile: a program that creates one
// hidden window (Wine makes a process's first window costly, and Tarnwick
// needs one) and starts the given program with ShellExecuteExA, as a run of a
// profile does, then ends.
//
//   reference_launcher.exe PROGRAM [PARAMETERS [DIRECTORY]]
#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "ReferenceLauncher";
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowA("ReferenceLauncher", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr);
  if (!window) return 1;

  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = window;
  info.lpFile = __argv[1];
  info.lpParameters = __argc > 2 ? __argv[2] : nullptr;
  info.lpDirectory = __argc > 3 ? __argv[3] : nullptr;
  info.nShow = SW_SHOWNORMAL;
  const BOOL started = ShellExecuteExA(&info);
  if (info.hProcess) CloseHandle(info.hProcess);
  DestroyWindow(window);
  return started ? 0 : 1;
}
