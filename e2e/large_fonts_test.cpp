// Tarnwick's forms on a screen with Large Fonts: every caption fits its
// control in the font the control was given, and each form grew with the
// screen's dpi. Wine reads the dpi when a program starts, so the suite's
// wrapper (scripts/run-at-dpi.sh) sets it before this program and Tarnwick
// start. Fonts cannot be read from another process: each control's font is
// made again here the way the program makes it, from the same layout row.
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

// The width a control leaves its caption, as the system draws it: a check
// box or radio button its box and a gap of half a digit, a push button its
// frame. (Wine's drawing; Windows' is alike.)
int CaptionRoom(const tw::LayoutRow& row, HDC dc, int width, int dpi) {
  if (row.kind == tw::ControlKind::Button) return width - 4;
  if (row.kind != tw::ControlKind::CheckBox && row.kind != tw::ControlKind::RadioButton) return width;
  INT digit = 0;
  GetCharWidth32A(dc, '0', '0', &digit);
  return width - (12 * dpi / 96 + 1) - digit / 2 - 1;
}

// Each captioned control of `form`, made from `design`; the form's client
// width as the layout's, grown with the dpi.
void ExpectCaptionsFit(HWND form, const tw::FormLayout& design) {
  ASSERT_NE(form, nullptr) << design.className;
  const int dpi = tw::ScreenDpi();
  const tw::ScaledLayout scaled(design, dpi);
  const tw::FormLayout& layout = scaled.Form();
  RECT client = {};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, layout.clientWidth) << design.className;
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HFONT formFont = tw::CreateFormFont(layout);
  const HGDIOBJ original = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  for (const tw::LayoutRow& row : layout) {
    using tw::ControlKind;
    if (row.kind != ControlKind::Label && row.kind != ControlKind::Button &&
        row.kind != ControlKind::CheckBox && row.kind != ControlKind::RadioButton) {
      continue;
    }
    HWND control = ControlById(form, tw::FormControls::IdOf(design, row.name));
    const std::string text = WindowText(control);
    if (!control || text.empty()) continue;
    HFONT own = tw::CreateRowFont(layout, row, dpi);
    SelectObject(dc, own ? own : formFont ? formFont : GetStockObject(DEFAULT_GUI_FONT));
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right, 0};
    const bool wraps = (row.flags & tw::layout_flag::kWordWrap) != 0;
    DrawTextA(dc, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    EXPECT_LE(needed.right, CaptionRoom(row, dc, client.right, dpi))
        << design.className << " " << row.name << " \"" << text << "\" at " << dpi << " dpi";
    EXPECT_LE(needed.bottom, client.bottom) << design.className << " " << row.name;
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    if (own) DeleteObject(own);
  }
  SelectObject(dc, original);
  if (formFont) DeleteObject(formFont);
  ReleaseDC(nullptr, dc);
}

TEST(LargeFonts, EveryCaptionOfEveryFormIsWhole) {
  ASSERT_GT(tw::ScreenDpi(), 96) << "the wrapper did not set Large Fonts";
  const std::string shot = TestOptions().winVersion + "-" + std::to_string(tw::ScreenDpi());
  ResetTarnwickState();
  PlantFixture(kWin98Voodoo5);
  // No card model stored: the question comes first; the debug start keeps
  // the start-up window on screen.
  ChildProcess tarnwick = StartTarnwick("-DEBUG");
  HWND card = WaitForProgramWindow(tarnwick, kCardDialogClass, std::string(kAppTitle));
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs));
  ExpectCaptionsFit(card, tw::CardModelQuestionLayout());
  Screenshot(shot + "-card", card);
  ASSERT_TRUE(ClickButton(ControlById(card, tw::FormControls::IdOf(tw::CardModelQuestionLayout(),
                                                                   "Button1"))));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(card); }, kDefaultTimeoutMs));

  HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
  ExpectCaptionsFit(main, tw::StartupWindowLayout());
  ASSERT_TRUE(PostMenuCommand(main, tw::menu_id::kAbout1));
  HWND about = WaitForProgramWindow(tarnwick, "TForm3", std::string("About Tarnwick"));
  ExpectCaptionsFit(about, tw::AboutBoxLayout());
  Screenshot(shot + "-about", about);
  PostMessageA(about, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kDefaultTimeoutMs));

  ASSERT_TRUE(PostMenuCommand(main, tw::menu_id::kCurrentsettings1));
  HWND editor = WaitForProgramWindow(tarnwick, kEditorClass);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor) != FALSE; }, kDefaultTimeoutMs));
  ExpectCaptionsFit(editor, tw::EditorLayout());
  Screenshot(shot + "-editor-direct3d", editor);
  ASSERT_TRUE(ClickTab(editor, 1));
  ASSERT_TRUE(tarnwick.WaitForIdle(kDefaultTimeoutMs));
  Screenshot(shot + "-editor-glide", editor);
  ResetTarnwickState();
}

}  // namespace
}  // namespace e2e
