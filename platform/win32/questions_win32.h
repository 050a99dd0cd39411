// Questions as message boxes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/questions.h"

namespace tw {

// Message boxes owned by a window of the caller's choice.
class Win32Questions : public Questions {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  bool Ask(Question kind, const std::string& text) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace tw
