// The card model dialog as a real window: class "TForm4", shown modally.
#pragma once

#include <windows.h>

#include "dialogs/card_model_question.h"
#include "platform/win32/form_builder.h"
#include "platform/win32/window_owner.h"

namespace tw {

class CardModelWindow : private WindowOwner {
 public:
  CardModelWindow(HINSTANCE instance, HWND owner, int& cardModel);
  ~CardModelWindow() override;

  // Runs until OK or the close box ends the dialog. On closing it posts the
  // release message to the owner, which then destroys this object.
  void ShowModal();

 private:
  // The handlers only set numbers; nothing of theirs to report.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Close();

  HINSTANCE instance_;
  HWND owner_;
  CardModelQuestion question_;
  FormControls controls_;
  bool closed_ = false;
};

}  // namespace tw
