// Imports a known mix of functions Windows 98 SE has and lacks, so the import
// checker can be checked against a binary whose answer is known.
#include <windows.h>
#include <commctrl.h>
#include <winver.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Present on 98 SE.
  InitCommonControls();
  DWORD sum = GetTickCount();
  if (sum == 1) MessageBoxA(nullptr, "", "", MB_OK);
  // Missing on 98 SE, each for a different reason.
  sum += static_cast<DWORD>(GetTickCount64());                         // kernel32: newer API
  sum += static_cast<DWORD>(DefSubclassProc(nullptr, 0, 0, 0));        // comctl32: ordinal only
  sum += SetLayeredWindowAttributes(nullptr, 0, 0, 0);                 // user32: known absent
  sum += GetFileVersionInfoSizeA("x", nullptr);                        // version.dll: not allowed
  return static_cast<int>(sum & 1);
}
