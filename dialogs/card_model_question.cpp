#include "dialogs/card_model_question.h"

#include <iterator>

namespace tw {

namespace {

// Radio buttons are kept clear of the OK button beside them.
const LayoutRow kRows[] = {
    {"Label1", ControlKind::Label, "Please select your Voodoo", "", 8, 8, 217, 22,
     layout_flag::kBold, "Times New Roman", 19},
    {"Panel1", ControlKind::Panel, "", "", 8, 40, 217, 81,
     layout_flag::kBevelRaisedInner | layout_flag::kBevelLoweredOuter},
    {"RadioButton1", ControlKind::RadioButton, "Voodoo 4 - 4500", "Panel1", 16, 8, 105, 17,
     layout_flag::kChecked},
    {"RadioButton2", ControlKind::RadioButton, "Voodoo 5 - 5500", "Panel1", 16, 32, 105, 17},
    {"RadioButton3", ControlKind::RadioButton, "Voodoo 5 - 6000", "Panel1", 16, 56, 105, 17},
    {"Button1", ControlKind::Button, "OK", "Panel1", 128, 48, 75, 25,
     layout_flag::kDefaultButton},
};

const FormLayout kForm = {
    "TForm4", "Tarnwick", 367, 189, 232, 125, form_flag::kDialogBorder, kRows, std::size(kRows),
};

}  // namespace

const FormLayout& CardModelQuestionLayout() { return kForm; }

const char* CardModelQuestion::OfferedButton() const {
  if (cardModel_ == 5500) return "RadioButton2";
  if (cardModel_ == 6000) return "RadioButton3";
  return "RadioButton1";
}

}  // namespace tw
