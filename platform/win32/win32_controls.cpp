#include "platform/win32/win32_controls.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>

#include "platform/ansi_text.h"
#include "platform/win32/win95_calls.h"
#include "res/resource_ids.h"

namespace tw {

namespace {

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

}  // namespace

std::string Win32Control::Text() const {
  return WindowText(window_);
}

Bounds Win32Control::GetBounds() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Control::SetBounds(const Bounds& bounds) {
  MoveWindow(window_, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

void Win32Control::SetHint(const std::string& hint) {
  hint_ = hint;
  if (!tooltip_) return;
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = RootWindow(window_);
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.lpszText = const_cast<char*>(hint_.c_str());
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32List::Add(const std::string& caption) {
  SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

int Win32List::Count() const {
  const LRESULT count = SendMessageA(window_, CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::string Win32List::Item(int index) const {
  const LRESULT length = SendMessageA(window_, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendMessageA(window_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void Win32List::SetItemIndex(int index) {
  SendMessageA(window_, CB_SETCURSEL, index >= 0 && index < Count() ? index : -1, 0);
}

int Win32List::ItemIndex() const {
  const LRESULT index = SendMessageA(window_, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

bool Win32CheckBox::Checked() const {
  return SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32CheckBox::SetChecked(bool checked) {
  SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32TrackBar::Position() const {
  return static_cast<int>(SendMessageA(window_, TBM_GETPOS, 0, 0));
}

void Win32TrackBar::SetPosition(int position) {
  const int clamped = position < Min() ? Min() : (position > Max() ? Max() : position);
  SendMessageA(window_, TBM_SETPOS, TRUE, clamped);
}

int Win32TrackBar::Min() const {
  return static_cast<int>(SendMessageA(window_, TBM_GETRANGEMIN, 0, 0));
}

int Win32TrackBar::Max() const {
  return static_cast<int>(SendMessageA(window_, TBM_GETRANGEMAX, 0, 0));
}

void Win32PageControl::AddPage(const char* name, const char* caption, HWND page) {
  pages_.push_back({name, caption, page, true});
}

std::string Win32PageControl::ActivePage() const {
  int tab = static_cast<int>(SendMessageA(window_, TCM_GETCURSEL, 0, 0));
  for (const Page& page : pages_) {
    if (!page.tabVisible) continue;
    if (tab-- == 0) return page.name;
  }
  return std::string();
}

void Win32PageControl::SetActivePage(const std::string& name) {
  int tab = 0;
  for (const Page& page : pages_) {
    if (!page.tabVisible) continue;
    if (name == page.name) {
      SendMessageA(window_, TCM_SETCURSEL, tab, 0);
      SyncPages();
      return;
    }
    ++tab;
  }
}

bool Win32PageControl::TabVisible(const std::string& name) const {
  for (const Page& page : pages_) {
    if (name == page.name) return page.tabVisible;
  }
  return false;
}

void Win32PageControl::SetTabVisible(const std::string& name, bool visible) {
  std::string active = ActivePage();
  for (Page& page : pages_) {
    if (name == page.name) page.tabVisible = visible;
  }
  if (!visible && active == name) active.clear();
  RebuildTabs(active);
}

void Win32PageControl::RebuildTabs(const std::string& active) {
  SendMessageA(window_, TCM_DELETEALLITEMS, 0, 0);
  int tab = 0;
  int activeTab = 0;
  for (Page& page : pages_) {
    if (!page.tabVisible) continue;
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(page.caption);
    SendMessageA(window_, TCM_INSERTITEMA, tab, reinterpret_cast<LPARAM>(&item));
    if (active == page.name) activeTab = tab;
    ++tab;
  }
  SendMessageA(window_, TCM_SETCURSEL, activeTab, 0);
  SyncPages();
}

void Win32PageControl::SyncPages() {
  const std::string active = ActivePage();
  for (const Page& page : pages_) {
    ShowWindow(page.window, active == page.name ? SW_SHOW : SW_HIDE);
  }
}

void Win32PageControl::SetBounds(const Bounds& bounds) {
  Win32Control::SetBounds(bounds);
  const RECT area = PageArea(window_);
  for (const Page& page : pages_) {
    MoveWindow(page.window, area.left, area.top, area.right - area.left, area.bottom - area.top,
               TRUE);
  }
}

Win32Image::~Win32Image() {
  if (owned_) DestroyIcon(owned_);
}

void Win32Image::Show(HICON icon, bool owned) {
  SendMessageA(window_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (owned_) DestroyIcon(owned_);
  owned_ = owned ? icon : nullptr;
}

void Win32Image::ShowFileIcon(const std::string& path) {
  char buffer[MAX_PATH] = {};
  lstrcpynA(buffer, CutToBytes(path, MAX_PATH - 1).c_str(), MAX_PATH);
  // Every lookup starts at the first icon: the header wants the one the
  // shell shows for the file.
  WORD index = 0;
  HICON icon = ExtractAssociatedIconA(instance_, buffer, &index);
  if (icon) {
    Show(icon, true);
  } else {
    // A program without icons: Windows' shell shows the generic application
    // icon for it, where Wine's lookup finds nothing.
    Show(LoadIconA(nullptr, IDI_APPLICATION), false);
  }
}

void Win32Image::ShowStockIcon(StockIcon icon) {
  Show(LoadIconA(instance_, MAKEINTRESOURCEA(icon == StockIcon::Broken ? IDI_BROKEN : IDI_MAINICON)),
       false);
}

int Win32FormWindow::Left() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  return rect.left;
}

int Win32FormWindow::Top() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  return rect.top;
}

void Win32FormWindow::SetPosition(int left, int top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32FormWindow::ClientHeight() const {
  RECT rect = {};
  GetClientRect(window_, &rect);
  return rect.bottom - rect.top;
}

void Win32FormWindow::SetClientHeight(int height) {
  RECT client = {};
  GetClientRect(window_, &client);
  RECT frame = {0, 0, client.right, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32FormWindow::Width() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  return rect.right - rect.left;
}

int Win32FormWindow::Height() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  return rect.bottom - rect.top;
}

Bounds DesktopWorkArea() {
  RECT area = {};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    area.right = GetSystemMetrics(SM_CXSCREEN);
    area.bottom = GetSystemMetrics(SM_CYSCREEN);
  }
  return Bounds{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void Win32FormWindow::Show() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

int Win32FormWindow::TextWidth(const std::string& text) const {
  HDC dc = GetDC(window_);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font_);
  SIZE extent = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return extent.cx;
}

Win32Form::Win32Form(HWND form, const FormLayout& layout, const FormControls& controls,
                     HINSTANCE instance)
    : Win32FormWindowHolder(form, controls.FormFont()), NamedControls(formWindow_) {
  const HWND tip = controls.Tooltip();
  for (const LayoutRow& row : layout) {
    HWND window = controls.Get(row.name);
    if (!window) continue;
    switch (row.kind) {
      case ControlKind::ComboBox: {
        auto list = std::make_unique<Win32List>(window, tip);
        ListControl* typed = list.get();
        Add(row.name, std::move(list)).list = typed;
        break;
      }
      case ControlKind::CheckBox:
      case ControlKind::RadioButton: {
        auto check = std::make_unique<Win32CheckBox>(window, tip);
        CheckBoxControl* typed = check.get();
        Add(row.name, std::move(check)).check = typed;
        break;
      }
      case ControlKind::TrackBar: {
        auto track = std::make_unique<Win32TrackBar>(window, tip);
        TrackBarControl* typed = track.get();
        Add(row.name, std::move(track)).track = typed;
        break;
      }
      case ControlKind::PageControl: {
        auto pages = std::make_unique<Win32PageControl>(window, tip);
        pagesName_ = row.name;
        pages_ = pages.get();
        PageControl* typed = pages.get();
        Add(row.name, std::move(pages)).pages = typed;
        break;
      }
      case ControlKind::Image: {
        auto image = std::make_unique<Win32Image>(window, tip, instance);
        ImageControl* typed = image.get();
        Add(row.name, std::move(image)).image = typed;
        break;
      }
      default:
        if (row.kind == ControlKind::Page) {
          if (Win32PageControl* pages = PageControlOf(row.parent)) {
            pages->AddPage(row.name, row.caption, window);
          }
        }
        Add(row.name, std::make_unique<Win32Control>(window, tip));
        break;
    }
  }
}

Win32PageControl* Win32Form::PageControlOf(const std::string& name) {
  return name == pagesName_ ? pages_ : nullptr;
}

}  // namespace tw
