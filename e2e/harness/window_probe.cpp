#include "harness/window_probe.h"

#include "harness/wait.h"

namespace e2e {

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
  DWORD processId;
  const std::string* className;
  const std::optional<std::string>* text;
  std::vector<HWND> found;
};

bool Matches(HWND window, const Search& search) {
  if (_stricmp(ClassName(window).c_str(), search.className->c_str()) != 0) return false;
  return !search.text->has_value() || WindowText(window) == **search.text;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && Matches(window, *search)) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!Matches(window, *search)) return TRUE;
  search->found.push_back(window);
  return FALSE;
}

}  // namespace

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return std::string();
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return std::string();
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::vector<HWND> TopWindows(DWORD processId, const std::string& className,
                             const std::optional<std::string>& caption) {
  Search search{processId, &className, &caption, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopWindow(DWORD processId, const std::string& className,
                   const std::optional<std::string>& caption) {
  const std::vector<HWND> windows = TopWindows(processId, className, caption);
  return windows.empty() ? nullptr : windows.front();
}

HWND WaitForTopWindow(DWORD processId, const std::string& className,
                      const std::optional<std::string>& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(processId, className, caption)) != nullptr; },
            timeoutMs);
  return found;
}

HWND FindDescendant(HWND parent, const std::string& className,
                    const std::optional<std::string>& text) {
  Search search{0, &className, &text, {}};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

bool ClickButton(HWND button) {
  DWORD_PTR result = 0;
  return button != nullptr &&
         SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

bool IsButtonChecked(HWND button) {
  DWORD_PTR state = 0;
  return SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &state) != 0 &&
         state == BST_CHECKED;
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, kMessageBoxTextId);
  return text != nullptr ? WindowText(text) : std::string();
}

bool DismissMessageBox(HWND box) {
  if (HWND ok = GetDlgItem(box, IDOK)) return ClickButton(ok);
  return PostMessageA(box, WM_COMMAND, IDOK, 0) != 0;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace e2e
