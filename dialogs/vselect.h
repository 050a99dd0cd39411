// The card model question asked once at start-up when no model is stored.
#pragma once

#include "platform/form_layout.h"

namespace tw {

// The dialog's logic. It works on the caller's model, which holds 4500 when
// the dialog opens, matching the preselected first radio button.
class TForm4 {
 public:
  explicit TForm4(int& cardModel) : cardModel_(cardModel) {}
  TForm4(const TForm4&) = delete;
  TForm4& operator=(const TForm4&) = delete;

  void RadioButton1Click() { cardModel_ = 4500; }
  void RadioButton2Click() { cardModel_ = 5500; }
  void RadioButton3Click() { cardModel_ = 6000; }
  // OK only closes: each radio button has stored its model already. The
  // window side ends the dialog once this is set; the title bar's close box
  // has the same effect without calling it.
  void Button1Click() { closeRequested_ = true; }

  bool CloseRequested() const { return closeRequested_; }

 private:
  int& cardModel_;
  bool closeRequested_ = false;
};

const FormLayout& CardModelDialogLayout();

}  // namespace tw
