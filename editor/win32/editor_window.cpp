#include "editor/win32/editor_window.h"

#include <commctrl.h>

#include <exception>

#include "editor/editor_events.h"
#include "editor/editor_layout.h"
#include "platform/command_error.h"
#include "platform/error_report.h"
#include "platform/win32/lazy_init.h"
#include "platform/win32/ui_win32.h"

namespace tw {

void EditorBoxes::Notice(const std::string& text) {
  MessageBoxA(editor_, text.c_str(), kApplicationTitle, MB_OK);
}

void EditorBoxes::ErrorReport(const std::string& text) {
  MessageBoxA(editor_, ErrorReportText(text).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

void EditorBoxes::PostToMainWindow(unsigned message) { PostMessageA(mainWindow_, message, 0, 0); }

EditorWindow::EditorWindow(HINSTANCE instance, HWND mainWindow, const EditorServices& services)
    : instance_(instance),
      mainWindow_(mainWindow),
      boxes_(mainWindow),
      services_{services.catalogue, services.programRegistry, services.driverRegistry,
                services.driverKey, services.modes,           services.driver,
                boxes_,             questions_,               services.shell,
                services.host,      services.working} {}

EditorWindow::~EditorWindow() {
  logic_.reset();
  if (window_) DestroyWindow(window_);
}

bool EditorWindow::Create() {
  EnsureCommonControls();
  const FormLayout& layout = EditorLayout();
  if (!CreateForm(layout, instance_, mainWindow_)) return false;
  boxes_.SetEditor(window_);
  questions_.SetOwner(window_);
  controls_.Create(window_, layout, instance_);
  view_.reset(new Win32Form(window_, layout, controls_, instance_));
  logic_.reset(new ProfileEditor(*view_, services_));
  logic_->ShowProgramFile();
  return true;
}

void EditorWindow::ReportFailure(const std::string& text) {
  // A save that failed has already closed the editor; the report then
  // belongs to the main window, which may destroy the editor while it is open.
  HWND owner = IsWindowVisible(window_) ? window_ : mainWindow_;
  MessageBoxA(owner, ErrorReportText(text).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

void EditorWindow::Dispatch(const std::string& name, EditorEvent event) {
  if (logic_ && !name.empty()) DispatchEditorEvent(*logic_, name, event);
}

LRESULT EditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        Dispatch(controls_.NameOf(LOWORD(wParam)), EditorEvent::Click);
      } else if (HIWORD(wParam) == EN_CHANGE) {
        Dispatch(controls_.NameOf(LOWORD(wParam)), EditorEvent::Change);
      }
      return 0;
    case WM_HSCROLL:
      Dispatch(controls_.NameOfWindow(reinterpret_cast<HWND>(lParam)), EditorEvent::Change);
      return 0;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == static_cast<UINT>(TCN_SELCHANGE) && view_) {
        const std::string name = controls_.NameOfWindow(header->hwndFrom);
        if (Win32PageControl* pages = view_->PageControlOf(name)) pages->SyncPages();
        Dispatch(name, EditorEvent::Change);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      COLORREF color;
      if (controls_.TextColor(reinterpret_cast<HWND>(lParam), &color)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, color);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_CLOSE:
      // No close box, but the system may still ask (Alt+F4): the same closing path.
      if (logic_) logic_->Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

std::unique_ptr<EditorInstance> Win32EditorFactory::CreateEditor() {
  auto editor = std::make_unique<EditorWindow>(instance_, mainWindow_, services_);
  if (!editor->Create()) throw CommandError("The editor window could not be created");
  return editor;
}

}  // namespace tw
