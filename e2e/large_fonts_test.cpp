// The forms at Large Fonts (set by scripts/run-at-dpi.sh): each as wide as its layout
// times dpi / 96, each caption whole in its control's font, made again as the program does.
#include <gtest/gtest.h>

#include "dialogs/about_box.h"
#include "dialogs/card_model_question.h"
#include "editor/editor_layout.h"
#include "harness/editor_probe.h"
#include "harness/options.h"
#include "harness/tarnwick.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/win32/form_builder.h"
#include "shell/menu_ids.h"
#include "shell/startup_layout.h"

namespace e2e {
namespace {

using tw::ControlKind;

// A window of the program once it is shown, its controls made.
HWND ShownWindow(const ChildProcess& program, const char* className) {
  HWND found = nullptr;
  WaitUntil([&] { return IsWindowVisible(found = FindTopWindow(program.id(), className)); });
  return found;
}

void ExpectCaptionsFit(HWND form, const tw::FormLayout& design, const std::string& shot) {
  const int dpi = tw::ScreenDpi();
  const tw::ScaledLayout scaled(design, dpi);
  RECT client = {};
  ASSERT_TRUE(GetClientRect(form, &client)) << design.className;
  EXPECT_EQ(client.right, scaled.Form().clientWidth) << design.className;
  HDC dc = GetDC(nullptr);
  for (const tw::LayoutRow& row : scaled.Form()) {
    if (!*row.caption || row.kind > ControlKind::Button) continue;  // label ... button
    const std::string text = row.caption;
    const bool label = row.kind == ControlKind::Label;
    HWND control = FindDescendant(form, label ? "Static" : "Button", text);
    if (!control) continue;  // its text changed since (the gamma values)
    HFONT font = tw::CreateRowFont(scaled.Form(), row, dpi);
    if (!font) font = tw::CreateFormFont(scaled.Form());
    SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right, 0};
    const bool wraps = row.flags & tw::layout_flag::kWordWrap;
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    INT digit = 0;  // a check box's box and half a digit, a button's frame, as Wine draws them
    GetCharWidth32A(dc, '0', '0', &digit);
    const bool boxed = row.kind == ControlKind::CheckBox || row.kind == ControlKind::RadioButton;
    const int room = client.right - (row.kind == ControlKind::Button ? 4 : 0) -
                     (boxed ? 12 * dpi / 96 + 2 + digit / 2 : 0);
    EXPECT_TRUE(needed.right <= room && needed.bottom <= client.bottom)
        << row.name << " \"" << text << "\" needs " << needed.right << "x" << needed.bottom
        << " at " << dpi << " dpi, has " << room << "x" << client.bottom;
    DeleteObject(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)));
  }
  ReleaseDC(nullptr, dc);
  Screenshot(TestOptions().winVersion + "-" + std::to_string(dpi) + "-" + shot, form);
}

TEST(LargeFonts, EveryCaptionOfEveryFormIsWhole) {
  ASSERT_GT(tw::ScreenDpi(), 96) << "the wrapper did not set Large Fonts";
  ResetTarnwickState();
  PlantFixture(kWin98Voodoo5);
  ChildProcess tarnwick = StartTarnwick("-DEBUG");  // shows the start-up window; then the question
  HWND card = WaitForProgramWindow(tarnwick, kCardDialogClass, std::string(kAppTitle));
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs));
  ExpectCaptionsFit(card, tw::CardModelQuestionLayout(), "card");
  ClickButton(FindDescendant(card, "Button", std::string("OK")));
  HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
  ExpectCaptionsFit(main, tw::StartupWindowLayout(), "startup");
  ASSERT_TRUE(PostMenuCommand(main, tw::menu_id::kAbout1));
  ExpectCaptionsFit(ShownWindow(tarnwick, "TForm3"), tw::AboutBoxLayout(), "about");
  ASSERT_TRUE(PostMenuCommand(main, tw::menu_id::kCurrentsettings1));
  ExpectCaptionsFit(ShownWindow(tarnwick, kEditorClass), tw::EditorLayout(), "editor");
  ResetTarnwickState();
}

}  // namespace
}  // namespace e2e
