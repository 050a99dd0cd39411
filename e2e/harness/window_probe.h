// Finding and driving another process's windows the way Windows itself does:
// by class and caption, with messages. Texts are read with WM_GETTEXT, which
// reaches controls of other processes (GetWindowTextA does not).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr char kDialogClass[] = "#32770";  // message boxes and dialog boxes

std::string ClassName(HWND window);
std::string WindowText(HWND window);

// Top-level windows of one process with this class (hidden ones too) and,
// when given, this caption. Class names compare without regard to case.
std::vector<HWND> TopWindows(DWORD processId, const std::string& className,
                             const std::optional<std::string>& caption = std::nullopt);
HWND FindTopWindow(DWORD processId, const std::string& className,
                   const std::optional<std::string>& caption = std::nullopt);
// Polls until such a window exists; nullptr after the timeout.
HWND WaitForTopWindow(DWORD processId, const std::string& className,
                      const std::optional<std::string>& caption, DWORD timeoutMs);

// A window anywhere below `parent` with this class and, when given, text.
HWND FindDescendant(HWND parent, const std::string& className,
                    const std::optional<std::string>& text = std::nullopt);

// BM_CLICK, as a mouse click on the button would do; false if not delivered.
bool ClickButton(HWND button);
bool IsButtonChecked(HWND button);

// A message box's text (its static control 0xFFFF) and its OK button.
std::string MessageBoxText(HWND box);
bool DismissMessageBox(HWND box);

// Text split at line breaks, without the empty line after a final break.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace e2e
