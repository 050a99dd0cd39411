// The card model dialog as a real window: class "TForm4", shown modally.
#pragma once

#include <windows.h>

#include "dialogs/vselect.h"
#include "platform/win32/form_builder.h"

namespace tw {

class VSelectWindow {
 public:
  VSelectWindow(HINSTANCE instance, HWND owner, int& cardModel);
  ~VSelectWindow();
  VSelectWindow(const VSelectWindow&) = delete;
  VSelectWindow& operator=(const VSelectWindow&) = delete;

  // Runs until OK or the close box ends the dialog. On closing it posts the
  // release message to the owner, which then destroys this object.
  void ShowModal();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Close();

  HINSTANCE instance_;
  HWND owner_;
  HWND window_ = nullptr;
  TForm4 form_;
  FormControls controls_;
  bool closed_ = false;
};

}  // namespace tw
