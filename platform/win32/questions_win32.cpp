#include "platform/win32/questions_win32.h"

namespace tw {

bool Win32Questions::Ask(Question kind, const std::string& text) {
  switch (kind) {
    case Question::WarningOkCancel:
      return MessageBoxA(owner_, text.c_str(), "Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
    case Question::WarningYesNo:
      return MessageBoxA(owner_, text.c_str(), "Warning", MB_YESNO | MB_ICONWARNING) == IDYES;
    case Question::ConfirmYesNo:
      return MessageBoxA(owner_, text.c_str(), "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
    case Question::ConfirmDefaultNo:
      return MessageBoxA(owner_, text.c_str(), "Confirm",
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  }
  return false;
}

}  // namespace tw
