// The card model dialog as a real window: class "TForm4", shown modally.
#pragma once

#include <windows.h>

#include "dialogs/vselect.h"
#include "platform/win32/form_builder.h"
#include "platform/win32/window_owner.h"

namespace tw {

class VSelectWindow : private WindowOwner {
 public:
  VSelectWindow(HINSTANCE instance, HWND owner, int& cardModel);
  ~VSelectWindow() override;

  // Runs until OK or the close box ends the dialog. On closing it posts the
  // release message to the owner, which then destroys this object.
  void ShowModal();

 private:
  // The handlers only set numbers; nothing of theirs to report.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Close();

  HINSTANCE instance_;
  HWND owner_;
  TForm4 form_;
  FormControls controls_;
  bool closed_ = false;
};

}  // namespace tw
