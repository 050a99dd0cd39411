// The about box as a real window: class "TForm3", not modal.
#pragma once

#include <windows.h>

#include "dialogs/about.h"
#include "platform/win32/form_builder.h"
#include "shell/window_position.h"

namespace tw {

class AboutWindow {
 public:
  AboutWindow(HINSTANCE instance, HWND owner, DesktopShell& shell, UserInterface& ui);
  ~AboutWindow();
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // Creates the box at each stored edge (the design position otherwise) and
  // shows it. OK and the close button post the release message to the owner,
  // which then destroys this object.
  bool Show(const StoredPosition& position);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND owner_;
  HWND window_ = nullptr;
  TForm3 form_;
  FormControls controls_;
};

// Whether a window is an about box (its class).
bool IsAboutWindow(HWND window);

}  // namespace tw
