// The about box as a real window: class "TForm3", not modal.
#pragma once

#include <windows.h>

#include "dialogs/about_box.h"
#include "platform/win32/form_builder.h"
#include "platform/win32/window_owner.h"
#include "store/window_position.h"

namespace tw {

class AboutWindow : private WindowOwner {
 public:
  AboutWindow(HINSTANCE instance, HWND owner, DesktopShell& shell, UserInterface& ui);
  ~AboutWindow() override;

  // Creates the box at each stored edge (the design position otherwise) and
  // shows it. OK and the close button post the release message to the owner,
  // which then destroys this object.
  bool Show(const StoredPosition& position);

 private:
  // The handlers open a link or post a message; nothing of theirs to report.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HINSTANCE instance_;
  HWND owner_;
  AboutBox box_;
  FormControls controls_;
};

}  // namespace tw
