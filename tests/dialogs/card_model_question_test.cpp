#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dialogs/about_box.h"
#include "dialogs/card_model_question.h"
#include "shell/startup_layout.h"

namespace tw {
namespace {

TEST(CardModelDialog, EachRadioButtonStoresItsModelAndOkOnlyCloses) {
  int model = 4500;
  CardModelQuestion dialog(model);
  dialog.Choose6000();
  EXPECT_EQ(model, 6000);
  dialog.Choose4500();
  EXPECT_EQ(model, 4500);
  dialog.Choose5500();
  EXPECT_FALSE(dialog.CloseRequested());
  dialog.Confirm();
  EXPECT_TRUE(dialog.CloseRequested());
  EXPECT_EQ(model, 5500);
}

// The user picks by caption: each radio button must name the model its click
// stores, and no two may read alike.
TEST(CardModelDialog, EachCaptionNamesTheModelItsButtonStores) {
  const struct {
    const char* button;
    void (CardModelQuestion::*click)();
  } buttons[] = {{"RadioButton1", &CardModelQuestion::Choose4500},
                 {"RadioButton2", &CardModelQuestion::Choose5500},
                 {"RadioButton3", &CardModelQuestion::Choose6000}};
  std::set<std::string> captions;
  for (const auto& b : buttons) {
    const LayoutRow* row = CardModelQuestionLayout().Find(b.button);
    ASSERT_NE(row, nullptr) << b.button;
    int model = 0;
    CardModelQuestion dialog(model);
    (dialog.*b.click)();
    // Opened on that model, the dialog offers this very button.
    EXPECT_STREQ(dialog.OfferedButton(), b.button);
    const std::string caption = row->caption;
    EXPECT_NE(caption.find(std::to_string(model)), std::string::npos)
        << b.button << " \"" << caption << "\" stores " << model;
    EXPECT_TRUE(captions.insert(caption).second) << "two buttons read \"" << caption << "\"";
  }
}

// Every control lies inside its parent and no two siblings overlap, so each
// can be seen and clicked.
void ExpectControlsFit(const FormLayout& form) {
  for (const LayoutRow& row : form) {
    int width = form.clientWidth;
    int height = form.clientHeight;
    if (*row.parent != '\0') {
      const LayoutRow* parent = form.Find(row.parent);
      ASSERT_NE(parent, nullptr) << row.name;
      width = parent->width;
      height = parent->height;
    }
    EXPECT_GE(row.left, 0) << row.name;
    EXPECT_GE(row.top, 0) << row.name;
    EXPECT_LE(row.left + row.width, width) << row.name;
    EXPECT_LE(row.top + row.height, height) << row.name;
    for (const LayoutRow& other : form) {
      if (&other == &row || std::string(other.parent) != row.parent) continue;
      const bool apart = row.left + row.width <= other.left || other.left + other.width <= row.left ||
                         row.top + row.height <= other.top || other.top + other.height <= row.top;
      EXPECT_TRUE(apart) << row.name << " overlaps " << other.name;
    }
  }
}

// Drawn at 96 dpi, the forms keep their proportions at 120 and 144 dpi,
// lengths rounded as MulDiv rounds, halves up.
TEST(CardModelDialog, Layouts) {
  const FormLayout& dialog = CardModelQuestionLayout();
  for (const int dpi : {96, 120, 144}) {
    for (const FormLayout* form : {&dialog, &StartupWindowLayout(), &AboutBoxLayout()}) {
      ExpectControlsFit(ScaledLayout(*form, dpi).Form());
    }
  }
  const ScaledLayout large(dialog, 144);
  EXPECT_EQ(large.Form().clientHeight, 188);                 // 125 * 1.5 = 187.5
  EXPECT_EQ(large.Form().Find("RadioButton1")->width, 158);  // right edge 181.5, left 24
  int checked = 0;
  for (const LayoutRow& row : dialog) {
    if ((row.flags & layout_flag::kChecked) == 0) continue;
    ++checked;
    EXPECT_STREQ(row.name, "RadioButton1");
  }
  EXPECT_EQ(checked, 1);
}

}  // namespace
}  // namespace tw
