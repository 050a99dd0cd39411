// The card model question asked once at start-up when no model is stored.
#pragma once

#include "platform/form_layout.h"

namespace tw {

// The question's logic. It works on the caller's model, which holds the
// model to offer when the dialog opens (4500 unless the driver names one).
class CardModelQuestion {
 public:
  explicit CardModelQuestion(int& cardModel) : cardModel_(cardModel) {}
  CardModelQuestion(const CardModelQuestion&) = delete;
  CardModelQuestion& operator=(const CardModelQuestion&) = delete;

  void Choose4500() { cardModel_ = 4500; }
  void Choose5500() { cardModel_ = 5500; }
  void Choose6000() { cardModel_ = 6000; }
  // OK only closes: each radio button has stored its model already. The
  // window side ends the dialog once this is set; the title bar's close box
  // has the same effect without calling it.
  void Confirm() { closeRequested_ = true; }

  bool CloseRequested() const { return closeRequested_; }
  // The radio button of the model offered when the dialog opens.
  const char* OfferedButton() const;

 private:
  int& cardModel_;
  bool closeRequested_ = false;
};

const FormLayout& CardModelQuestionLayout();

}  // namespace tw
