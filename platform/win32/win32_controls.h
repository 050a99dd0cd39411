// The control interfaces over real child windows, and a form's controls by
// component name made from its layout table and the windows the realiser
// created for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/form_layout.h"
#include "platform/named_controls.h"
#include "platform/win32/form_builder.h"

namespace tw {

class Win32PageControl;

// The common part of every control: its window's text, state and place.
class Win32Control : public Control {
 public:
  Win32Control(HWND window, HWND tooltip) : window_(window), tooltip_(tooltip) {}
  std::string Text() const override;
  void SetText(const std::string& text) override { SetWindowTextA(window_, text.c_str()); }
  bool Enabled() const override { return IsWindowEnabled(window_) != FALSE; }
  void SetEnabled(bool enabled) override { EnableWindow(window_, enabled ? TRUE : FALSE); }
  bool Visible() const override { return (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE) != 0; }
  void SetVisible(bool visible) override { ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }
  Bounds GetBounds() const override;
  void SetBounds(const Bounds& bounds) override;
  std::string Hint() const override { return hint_; }
  void SetHint(const std::string& hint) override;

 protected:
  HWND window_;

 private:
  HWND tooltip_;
  std::string hint_;
};

class Win32List : public Win32Control, public ListControl {
 public:
  using Win32Control::Win32Control;
  std::string Text() const override { return Win32Control::Text(); }
  void Clear() override { SendMessageA(window_, CB_RESETCONTENT, 0, 0); }
  void Add(const std::string& caption) override;
  int Count() const override;
  std::string Item(int index) const override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override;
};

class Win32CheckBox : public Win32Control, public CheckBoxControl {
 public:
  using Win32Control::Win32Control;
  bool Checked() const override;
  void SetChecked(bool checked) override;
};

class Win32TrackBar : public Win32Control, public TrackBarControl {
 public:
  using Win32Control::Win32Control;
  int Position() const override;
  void SetPosition(int position) override;
  int Min() const override;
  int Max() const override;
};

// A tab control with its pages, which are windows of their own laid over it.
// The system cannot hide a tab, so hidden tabs are taken out of the control
// and put back in page order.
class Win32PageControl : public Win32Control, public PageControl {
 public:
  using Win32Control::Win32Control;
  // The names come from the layout table, which outlives the control.
  void AddPage(const char* name, const char* caption, HWND page);
  std::string ActivePage() const override;
  void SetActivePage(const std::string& page) override;
  bool TabVisible(const std::string& page) const override;
  void SetTabVisible(const std::string& page, bool visible) override;
  // The pages follow the control's new size.
  void SetBounds(const Bounds& bounds) override;
  // After the user picked a tab: shows its page, hides the others.
  void SyncPages();

 private:
  struct Page {
    const char* name;
    const char* caption;
    HWND window;
    bool tabVisible;
  };
  void RebuildTabs(const std::string& active);

  std::vector<Page> pages_;
};

class Win32Image : public Win32Control, public ImageControl {
 public:
  Win32Image(HWND window, HWND tooltip, HINSTANCE instance)
      : Win32Control(window, tooltip), instance_(instance) {}
  ~Win32Image() override;
  void ShowFileIcon(const std::string& path) override;
  void ShowStockIcon(StockIcon icon) override;

 private:
  void Show(HICON icon, bool owned);

  HINSTANCE instance_;
  HICON owned_ = nullptr;  // extracted icons are destroyed with the next or at the end
};

// The primary desktop's work area: the screen less the taskbar.
Bounds DesktopWorkArea();

class Win32FormWindow : public FormWindow {
 public:
  Win32FormWindow(HWND window, HFONT font) : window_(window), font_(font) {}
  int Left() const override;
  int Top() const override;
  void SetPosition(int left, int top) override;
  int ClientHeight() const override;
  void SetClientHeight(int height) override;
  int Width() const override;
  int Height() const override;
  Bounds WorkArea() const override { return DesktopWorkArea(); }
  void Show() override;
  void Hide() override { ShowWindow(window_, SW_HIDE); }
  bool Visible() const override { return IsWindowVisible(window_) != FALSE; }
  int TextWidth(const std::string& text) const override;
  int Dpi() const override { return ScreenDpi(); }

 private:
  HWND window_;
  HFONT font_;
};

// Holds the form window ahead of the controls, which refer to it.
struct Win32FormWindowHolder {
  Win32FormWindowHolder(HWND window, HFONT font) : formWindow_(window, font) {}
  Win32FormWindow formWindow_;
};

// A form's controls by component name, wrapping the windows `controls` made.
class Win32Form : private Win32FormWindowHolder, public NamedControls {
 public:
  Win32Form(HWND form, const FormLayout& layout, const FormControls& controls, HINSTANCE instance);
  // The page control of that name; nullptr for any other name.
  Win32PageControl* PageControlOf(const std::string& name);

 private:
  // A form has at most one page control.
  const char* pagesName_ = "";
  Win32PageControl* pages_ = nullptr;
};

}  // namespace tw
