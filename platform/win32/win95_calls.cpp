#include "platform/win32/win95_calls.h"

#include "platform/ansi_text.h"

namespace tw {

namespace {

template <typename Function>
Function SystemCall(const char* dll, const char* name) {
  HMODULE module = GetModuleHandleA(dll);
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(module ? GetProcAddress(module, name) : nullptr));
}

using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
using GetAncestorFn = HWND(WINAPI*)(HWND, UINT);

// Where the parts below the root begin: after "C:\" or "\\server\share\";
// 0 for a path without either, which the fallback does not take.
size_t RootLength(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
  if (path.compare(0, 2, "\\\\") != 0) return 0;
  const size_t share = FindChar(path, '\\', 2);
  if (share == std::string::npos || share == 2) return 0;
  const size_t end = FindChar(path, '\\', share + 1);
  if (end == share + 1) return 0;
  return end == std::string::npos ? path.size() : end + 1;
}

std::string LongPathByParts(const std::string& path) {
  const size_t root = RootLength(path);
  if (root == 0 || path.find_first_of("*?", root) != std::string::npos) return std::string();
  std::string done = path.substr(0, root);
  size_t start = root;
  while (start < path.size()) {
    size_t end = FindChar(path, '\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") {
      done += part;
    } else {
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((done + part).c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) return std::string();
      FindClose(search);
      done += found.cFileName;
    }
    if (end < path.size()) done += '\\';
    start = end + 1;
  }
  // The root alone must exist too.
  if (root == path.size() && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return std::string();
  }
  return done;
}

}  // namespace

std::string LongPathName(const std::string& path, CallRoute route) {
  static const auto getLongPathName = SystemCall<GetLongPathNameFn>("kernel32.dll", "GetLongPathNameA");
  if (route == CallRoute::Fallback || getLongPathName == nullptr) return LongPathByParts(path);
  char buffer[MAX_PATH];
  const DWORD length = getLongPathName(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

HWND RootWindow(HWND window, CallRoute route) {
  static const auto getAncestor = SystemCall<GetAncestorFn>("user32.dll", "GetAncestor");
  if (route == CallRoute::System && getAncestor != nullptr) return getAncestor(window, GA_ROOT);
  while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    HWND parent = GetParent(window);
    if (!parent) break;
    window = parent;
  }
  return window;
}

}  // namespace tw
