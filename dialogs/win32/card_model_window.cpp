#include "dialogs/win32/card_model_window.h"

#include <string>

#include "platform/messages.h"

namespace tw {

CardModelWindow::CardModelWindow(HINSTANCE instance, HWND owner, int& cardModel)
    : instance_(instance), owner_(owner), question_(cardModel) {}

CardModelWindow::~CardModelWindow() {
  if (window_) DestroyWindow(window_);
}

void CardModelWindow::ShowModal() {
  const FormLayout& layout = CardModelQuestionLayout();
  if (!CreateForm(layout, instance_, owner_)) return;
  controls_.Create(window_, layout, instance_);
  // The layout checks the first button; the model offered may be another.
  const std::string offered = question_.OfferedButton();
  for (const char* radio : {"RadioButton1", "RadioButton2", "RadioButton3"}) {
    SendMessageA(controls_.Get(radio), BM_SETCHECK, offered == radio ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);

  // The owner is disabled while the question is open, as for any modal form.
  const bool ownerWasEnabled = owner_ && !EnableWindow(owner_, FALSE);
  MSG msg;
  while (!closed_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // keep the quit for the outer loop
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageA(window_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  if (window_) ShowWindow(window_, SW_HIDE);
}

void CardModelWindow::Close() {
  if (closed_) return;
  closed_ = true;
  if (owner_) PostMessageA(owner_, kCardDialogClosedMessage, 0, 0);
}

LRESULT CardModelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) break;
      const std::string name = controls_.NameOf(LOWORD(wParam));
      if (name == "RadioButton1") question_.Choose4500();
      if (name == "RadioButton2") question_.Choose5500();
      if (name == "RadioButton3") question_.Choose6000();
      if (name == "Button1" || LOWORD(wParam) == IDOK) {
        question_.Confirm();
        Close();
      }
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace tw
