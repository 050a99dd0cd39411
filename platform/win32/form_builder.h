// Turns a form's layout table into a real window with child controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/form_layout.h"

namespace tw {

// The child windows of one form by component name, and the fonts made for
// them (deleted with the object).
class FormControls {
 public:
  FormControls() = default;
  ~FormControls();
  FormControls(const FormControls&) = delete;
  FormControls& operator=(const FormControls&) = delete;

  // Creates every row of `design` inside `form`, scaled to the screen's dpi.
  // Pages of a page control are children of the form laid over the page
  // control's display area, so their controls' notifications reach the form;
  // only the first page is shown.
  void Create(HWND form, const FormLayout& design, HINSTANCE instance);

  HWND Get(const std::string& name) const;
  // The component a WM_COMMAND control id belongs to ("" when none).
  std::string NameOf(int id) const;
  // The component a child window is ("" when none).
  std::string NameOfWindow(HWND window) const;
  static int IdOf(const FormLayout& layout, const std::string& name);

  // The text colour a row asked for, for WM_CTLCOLORSTATIC; false when none.
  bool TextColor(HWND control, COLORREF* color) const;
  // For WM_SETCURSOR over a kHandCursor row: shows the hand; false for others.
  bool SetLinkCursor(HWND control) const;
  // The tooltip window that shows the hints of rows with kShowHint.
  HWND Tooltip() const { return tooltip_; }
  // The font of the form itself.
  HFONT FormFont() const { return formFont_; }

 private:
  // One entry a child; a form has a few dozen, so a search costs nothing.
  struct Child {
    const char* name;  // the layout row's component name
    HWND window;
    int id;
    bool colored;
    COLORREF color;
    bool link;         // shows the hand pointer
    HFONT font;        // a font made for this child alone, or none
  };
  const Child* Find(const std::string& name) const;
  std::vector<Child> children_;
  HFONT formFont_ = nullptr;
  bool ownFormFont_ = false;  // made for the form, not the stock one
  HWND tooltip_ = nullptr;
};

// The display area of a tab control, in its parent's client coordinates.
RECT PageArea(HWND tabControl);

// Registers the form's window class (once) with the program's icon and the
// dialog face colour.
bool RegisterFormClass(const FormLayout& layout, HINSTANCE instance, WNDPROC windowProc);

// The fonts the controls of a form made from `layout` (scaled to the screen
// already) get. The form's: nullptr for the system's dialog font, which
// grows with the dpi by itself. A row's: nullptr for a row that takes the
// form's. The caller deletes what it gets.
HFONT CreateFormFont(const FormLayout& layout);
HFONT CreateRowFont(const FormLayout& layout, const LayoutRow& row, int dpi);

// Pixels per logical inch of the screen (96 when it cannot tell). Windows 95
// reads it once at start-up, so it holds for the program's whole run.
int ScreenDpi();

// Creates the form's top-level window (its class registered by the caller)
// sized so its client area is as the layout gives, scaled to the screen's
// dpi; `param` reaches WM_NCCREATE.
HWND CreateFormWindow(const FormLayout& layout, HINSTANCE instance, HWND owner, void* param);

}  // namespace tw
