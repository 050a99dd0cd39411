// Imports a known mix of functions Windows 98 SE and Windows 95 have and lack,
// so the import checker can be checked against a binary whose answer is known.
#include <windows.h>
#include <commctrl.h>
#include <winver.h>

// In the MSVCRT of 98 SE, not in Visual C++ 4.2's, the oldest found on 95.
extern "C" unsigned char* __cdecl __p__mbcasemap();

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
  // On 98 SE, missing on 95.
  char path[MAX_PATH];
  sum += GetLongPathNameA("x", path, MAX_PATH);                        // kernel32: arrived in 98
  sum += GetAncestor(nullptr, GA_ROOT) != nullptr;                     // user32: known absent on 95
  sum += __p__mbcasemap() != nullptr;                                  // msvcrt: after 4.2
  return static_cast<int>(sum & 1);
}
