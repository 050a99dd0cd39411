#include "dialogs/win32/about_window.h"

#include "platform/win32/lazy_init.h"
#include "platform/win32/win32_controls.h"

namespace tw {

AboutWindow::AboutWindow(HINSTANCE instance, HWND owner, DesktopShell& shell, UserInterface& ui)
    : instance_(instance), owner_(owner), box_(shell, ui) {}

AboutWindow::~AboutWindow() {
  if (window_) DestroyWindow(window_);
}

bool AboutWindow::Show(const StoredPosition& position) {
  const FormLayout& layout = AboutBoxLayout();
  if (!CreateForm(layout, instance_, owner_)) return false;
  EnsureCommonControls();  // the links' hints are tooltips
  controls_.Create(window_, layout, instance_);
  RECT frame = {};
  GetWindowRect(window_, &frame);
  const Bounds shown = FitIntoWorkArea(
      {position.left.value_or(layout.left), position.top.value_or(layout.top),
       frame.right - frame.left, frame.bottom - frame.top},
      DesktopWorkArea());
  SetWindowPos(window_, nullptr, shown.left, shown.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  // Keys go through the dialog manager (see the message loop): with OK
  // focused, Enter presses it and Esc closes the box.
  SetFocus(controls_.Get("Button1"));
  return true;
}

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      COLORREF color;
      if (!controls_.TextColor(reinterpret_cast<HWND>(lParam), &color)) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, color);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (controls_.SetLinkCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case WM_COMMAND: {
      // Labels report STN_CLICKED and buttons BN_CLICKED, both 0.
      if (HIWORD(wParam) != BN_CLICKED) break;
      const std::string name = controls_.NameOf(LOWORD(wParam));
      if (name == "Label1") box_.VisitWebpage();
      if (name == "Label4") box_.MailAuthor();
      if (name == "Button1" || LOWORD(wParam) == IDOK) box_.Close();
      if (LOWORD(wParam) == IDCANCEL) box_.Close();
      return 0;
    }
    case WM_CLOSE:
      box_.Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace tw
