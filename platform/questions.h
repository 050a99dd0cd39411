// Modal questions to the user.
#pragma once

#include <string>

namespace tw {

enum class Question {
  WarningOkCancel,  // captioned "Warning", warning icon, OK and Cancel
  WarningYesNo,     // captioned "Warning", warning icon, Yes and No
  ConfirmYesNo,     // captioned "Confirm", question-mark icon, Yes and No
  ConfirmDefaultNo, // as ConfirmYesNo, with No as the default button
};

class Questions {
 public:
  virtual ~Questions() = default;
  // True for OK or Yes; closing the box counts as the other answer.
  virtual bool Ask(Question kind, const std::string& text) = 0;
};

}  // namespace tw
