// The control kinds the program logic drives, as seen by that logic. The
// Win32 side wraps real windows and menus; the tests use in-memory ones.
#pragma once

#include <string>

namespace tw {

// Position and size in pixels, relative to the parent's client area.
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// What every control of a form has: a text (caption or typed text), an
// enabled and a visible state, a place, and a hint shown under the mouse.
class Control {
 public:
  virtual ~Control() = default;
  virtual std::string Text() const = 0;
  // Setting an edit box's text runs its change handler on Windows; the logic
  // calls the handler itself where the handler must run.
  virtual void SetText(const std::string& text) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual Bounds GetBounds() const = 0;
  virtual void SetBounds(const Bounds& bounds) = 0;
  virtual std::string Hint() const = 0;
  virtual void SetHint(const std::string& hint) = 0;
};

// The kinds below add their own operations; the common ones (text, enabled,
// visible, place) are reached through the control of the same name.

// A drop-down list box. Text() is what its field shows: the selected entry,
// or what was typed into a list that takes typed text.
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual std::string Text() const = 0;
  virtual void Clear() = 0;
  virtual void Add(const std::string& caption) = 0;
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void SetItemIndex(int index) = 0;  // -1 or out of range: nothing selected
  virtual int ItemIndex() const = 0;
};

// A check box; setting its state from code runs no click handler.
class CheckBoxControl {
 public:
  virtual ~CheckBoxControl() = default;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

// A horizontal slider. Positions set from code are clamped to its range and
// run no change handler.
class TrackBarControl {
 public:
  virtual ~TrackBarControl() = default;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Min() const = 0;
  virtual int Max() const = 0;
};

// A page control; pages are named by their component names.
class PageControl {
 public:
  virtual ~PageControl() = default;
  virtual std::string ActivePage() const = 0;
  // Shows a page as if its tab had been clicked, without the change handler.
  virtual void SetActivePage(const std::string& page) = 0;
  virtual bool TabVisible(const std::string& page) const = 0;
  // Hiding the active page's tab activates the first visible page.
  virtual void SetTabVisible(const std::string& page, bool visible) = 0;
};

enum class StockIcon { Application, Broken };

// A picture showing one icon.
class ImageControl {
 public:
  virtual ~ImageControl() = default;
  // The icon the shell shows for a file.
  virtual void ShowFileIcon(const std::string& path) = 0;
  virtual void ShowStockIcon(StockIcon icon) = 0;
};

// The form window itself.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual int Left() const = 0;  // screen pixels
  virtual int Top() const = 0;
  virtual void SetPosition(int left, int top) = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientHeight(int height) = 0;
  // The outer size, frame and caption included.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The desktop's work area (the screen less the taskbar), in screen pixels.
  virtual Bounds WorkArea() const = 0;
  // Shown without being modal; the main window's message loop goes on.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // Width in pixels of a text in the main window's font.
  virtual int TextWidth(const std::string& text) const = 0;
  // Pixels per logical inch of the screen: the form and its controls were
  // made at that many pixels per 96 of the layout's.
  virtual int Dpi() const = 0;
};

// A form's controls by component name. Asking for a name the form lacks, or
// for the wrong kind, throws CommandError: a fault of the program.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual FormWindow& Form() = 0;
  virtual Control& Get(const char* name) = 0;
  virtual ListControl& List(const char* name) = 0;
  virtual CheckBoxControl& CheckBox(const char* name) = 0;
  virtual TrackBarControl& TrackBar(const char* name) = 0;
  virtual PageControl& Pages(const char* name) = 0;
  virtual ImageControl& Image(const char* name) = 0;
};

// A submenu whose items the program creates at run time. Items are named by
// the id the submenu hands out.
class SubmenuControl {
 public:
  virtual ~SubmenuControl() = default;
  // Inserts an item as the first one of the submenu; returns its id.
  virtual int InsertAtTop(const std::string& caption, int tag) = 0;
  virtual void RemoveFirst() = 0;  // nothing when empty
  virtual int Count() const = 0;
  // Whether `item` is one of this submenu's items.
  virtual bool Has(int item) const = 0;
  virtual std::string Caption(int item) const = 0;
  virtual int Tag(int item) const = 0;
  virtual void SetChecked(int item, bool checked) = 0;
  virtual bool Checked(int item) const = 0;
  virtual void SetEnabled(int item, bool enabled) = 0;
};

}  // namespace tw
