// A top-level window made from a form's layout table and owned by one object.
// The object gets the window's messages through HandleMessage, its `window_`
// follows the window's life, and no exception crosses into the system.
#pragma once

#include <windows.h>

#include <string>

#include "platform/form_layout.h"

namespace tw {

class WindowOwner {
 public:
  WindowOwner(const WindowOwner&) = delete;
  WindowOwner& operator=(const WindowOwner&) = delete;

 protected:
  WindowOwner() = default;
  // Each owner destroys its window in its own destructor, while its
  // handlers still exist.
  virtual ~WindowOwner() = default;

  // Registers the layout's window class (once) and creates the window; its
  // creation messages already reach HandleMessage. False when either fails.
  bool CreateForm(const FormLayout& layout, HINSTANCE instance, HWND owner);

  // Ends with DefWindowProcA for what it leaves to the system.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The text of what a handler threw; dropped unless the owner reports it.
  // A report's own message loop may destroy the owner: touch nothing after it.
  virtual void ReportFailure(const std::string& text) { (void)text; }

  HWND window_ = nullptr;  // from WM_NCCREATE until WM_NCDESTROY is handled

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Whether a window is one made from `layout` (by its class name).
bool IsFormWindow(HWND window, const FormLayout& layout);

}  // namespace tw
