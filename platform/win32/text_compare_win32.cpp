#include "platform/win32/text_compare_win32.h"

#include <windows.h>

namespace tw {

int Win32TextCompare::CompareNoCase(const std::string& a, const std::string& b) const {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1,
                                    b.c_str(), -1);
  // 1, 2, 3 mean less, equal, greater; 0 is a failure (a locale the system
  // cannot load), where the system's default ordering has to do.
  if (result != 0) return result - 2;
  return lstrcmpiA(a.c_str(), b.c_str());
}

}  // namespace tw
