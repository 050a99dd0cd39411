#include "platform/win32/form_builder.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "res/resource_ids.h"

namespace tw {

namespace {

constexpr int kFirstControlId = 100;
constexpr const char* kPanelClass = "TPanel";
constexpr const char* kPageClass = "TTabSheet";
constexpr int kDropDownHeight = 200;  // a combo box's height includes its open list
constexpr int kSystemFontHeight = 11;  // MS Sans Serif 8 point at 96 dpi

// A panel paints its face and bevel and hands its controls' notifications on
// to the form, so the form's handlers see them as if the controls were its own.
// A page of a page control does the same without the bevel.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (dc) {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        // Raised inner and lowered outer bevel; a page (marked in its user
        // data) has none.
        if (GetWindowLongPtrA(window, GWLP_USERDATA) == 0) {
          DrawEdge(dc, &rc, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
        }
        EndPaint(window, &ps);
      }
      return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetParent(window), message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterPanelClass(HINSTANCE instance, const char* className) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(instance, className, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  return RegisterClassExA(&wc) != 0;
}

struct WindowKind {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

WindowKind KindOf(const LayoutRow& row) {
  using namespace layout_flag;
  switch (row.kind) {
    case ControlKind::Label: {
      DWORD align = (row.flags & kAlignCenter) ? SS_CENTER
                    : (row.flags & kAlignRight) ? SS_RIGHT
                                                : SS_LEFT;
      // A label with a hint must see the mouse for its tooltip; a link reports clicks.
      if (row.flags & (kShowHint | kHandCursor)) align |= SS_NOTIFY;
      return {"STATIC", align | SS_NOPREFIX, 0};
    }
    case ControlKind::Panel:
      return {kPanelClass, 0, WS_EX_CONTROLPARENT};
    case ControlKind::RadioButton:
      return {"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Button:
      return {"BUTTON",
              static_cast<DWORD>((row.flags & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                  WS_TABSTOP,
              0};
    case ControlKind::Memo:
      return {"EDIT",
              ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP |
                  ((row.flags & kVerticalScroll) ? WS_VSCROLL : 0u) |
                  ((row.flags & kReadOnly) ? ES_READONLY : 0u),
              WS_EX_CLIENTEDGE};
    case ControlKind::Edit:
      return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | ((row.flags & kReadOnly) ? ES_READONLY : 0u),
              WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox:
      return {"COMBOBOX",
              static_cast<DWORD>((row.flags & kEditable) ? CBS_DROPDOWN | CBS_AUTOHSCROLL
                                                         : CBS_DROPDOWNLIST) |
                  WS_VSCROLL | WS_TABSTOP,
              0};
    case ControlKind::TrackBar:
      return {TRACKBAR_CLASSA, TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP, 0};
    case ControlKind::PageControl:
      return {WC_TABCONTROLA, WS_TABSTOP, 0};
    case ControlKind::Page:
      return {kPageClass, 0, WS_EX_CONTROLPARENT};
    case ControlKind::Image:
      return {"STATIC", SS_ICON | SS_CENTERIMAGE, 0};
    case ControlKind::SpinEdit:
      return {"EDIT", ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  return {"STATIC", 0, 0};
}

DWORD FormStyle(unsigned flags) {
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  if (!(flags & form_flag::kNoTitleButtons)) style |= WS_SYSMENU;
  return style;
}

DWORD FormExStyle(unsigned flags) {
  DWORD exStyle = 0;
  if (flags & form_flag::kDialogBorder) exStyle |= WS_EX_DLGMODALFRAME;
  if (flags & form_flag::kToolWindow) exStyle |= WS_EX_TOOLWINDOW;
  return exStyle;
}

// Labels, check boxes and radio buttons grow to their text, so neither a
// substituted font nor one that grew faster than the dpi cuts the caption.
void FitCaption(HWND control, HFONT font, const LayoutRow& row, int dpi) {
  HDC dc = GetDC(control);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent = {};
  const bool measured =
      GetTextExtentPoint32A(dc, row.caption, lstrlenA(row.caption), &extent) != FALSE;
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  const int width = CaptionWidth(row.kind, extent.cx, dpi);
  if (measured && (width > row.width || extent.cy > row.height)) {
    SetWindowPos(control, nullptr, 0, 0, width > row.width ? width : row.width,
                 extent.cy > row.height ? extent.cy : row.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Height of a text wrapped at `width`.
int WrappedHeight(HDC dc, const char* text, int width) {
  RECT needed = {0, 0, width, 0};
  DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return needed.bottom;
}

// A word-wrapped label whose text needs more lines than its box holds (its
// font grew faster than the dpi) widens away from its aligned edge, or about
// its middle, up to its parent's frame, and then grows down.
void FitWrappedLabel(HWND label, HFONT font, const LayoutRow& row, int dpi) {
  RECT parent = {};
  HDC dc = GetDC(label);
  if (!dc || !GetClientRect(GetParent(label), &parent)) {
    if (dc) ReleaseDC(label, dc);
    return;
  }
  HGDIOBJ old = SelectObject(dc, font);
  int height = WrappedHeight(dc, row.caption, row.width);
  int left = row.left;
  int width = row.width;
  if (height > row.height) {
    const int frame = ScaleToDpi(2, dpi);  // a panel's bevel
    const int right = row.left + row.width;
    const int roomLeft = row.left - frame;
    const int roomRight = static_cast<int>(parent.right) - frame - right;
    if (row.flags & layout_flag::kAlignCenter) {
      const int room = std::max(0, std::min(roomLeft, roomRight));
      left -= room;
      width += 2 * room;
    } else if (row.flags & layout_flag::kAlignRight) {
      left -= std::max(0, roomLeft);
      width = right - left;
    } else {
      width += std::max(0, roomRight);
    }
    height = WrappedHeight(dc, row.caption, width);
  }
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  if (width != row.width || height > row.height) {
    SetWindowPos(label, nullptr, left, row.top, width,
                 std::max(height, static_cast<int>(row.height)), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

// The tool tip is owned by the form and goes with it; destroying it here
// too would destroy whatever window has since taken its handle.
FormControls::~FormControls() {
  for (const Child& child : children_) {
    if (child.font) DeleteObject(child.font);
  }
  if (ownFormFont_) DeleteObject(formFont_);
}

HFONT CreateFormFont(const FormLayout& layout) {
  if (layout.fontName[0] == '\0') return nullptr;
  return CreateFontA(-layout.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, layout.fontName);
}

HFONT CreateRowFont(const FormLayout& layout, const LayoutRow& row, int dpi) {
  if (row.fontName[0] == '\0' && row.fontHeight == 0 &&
      !(row.flags & (layout_flag::kBold | layout_flag::kUnderline))) {
    return nullptr;
  }
  const char* face = row.fontName[0]     ? row.fontName
                     : layout.fontName[0] ? layout.fontName
                                          : "MS Sans Serif";
  const int height = row.fontHeight   ? row.fontHeight
                     : layout.fontHeight ? layout.fontHeight
                                         : ScaleToDpi(kSystemFontHeight, dpi);
  return CreateFontA(-height, 0, 0, 0, (row.flags & layout_flag::kBold) ? FW_BOLD : FW_NORMAL,
                     FALSE, (row.flags & layout_flag::kUnderline) ? TRUE : FALSE, FALSE,
                     ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

void FormControls::Create(HWND form, const FormLayout& design, HINSTANCE instance) {
  const int dpi = ScreenDpi();
  const ScaledLayout scaled(design, dpi);
  const FormLayout& layout = scaled.Form();
  formFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (HFONT own = CreateFormFont(layout)) {
    formFont_ = own;
    ownFormFont_ = true;
  }
  RegisterPanelClass(instance, kPanelClass);
  RegisterPanelClass(instance, kPageClass);
  bool firstRadio = true;
  bool firstPage = true;
  int id = kFirstControlId;
  for (const LayoutRow& row : layout) {
    const int controlId = id++;
    HWND parent = row.parent[0] ? Get(row.parent) : form;
    if (!parent) parent = form;
    WindowKind kind = KindOf(row);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (row.kind != ControlKind::PageControl) style |= WS_CLIPCHILDREN;
    if (!(row.flags & layout_flag::kHidden)) style |= WS_VISIBLE;
    if (row.flags & layout_flag::kDisabled) style |= WS_DISABLED;
    if (row.kind == ControlKind::RadioButton && firstRadio) {
      style |= WS_GROUP;
      firstRadio = false;
    }
    RECT place = {row.left, row.top, row.left + row.width, row.top + row.height};
    if (row.kind == ControlKind::ComboBox) place.bottom += ScaleToDpi(kDropDownHeight, dpi);
    if (row.kind == ControlKind::Page) {
      // Laid over the page control's display area, as the form's own child.
      HWND tab = parent;
      parent = form;
      place = PageArea(tab);
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(row.caption);
      SendMessageA(tab, TCM_INSERTITEMA, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0),
                   reinterpret_cast<LPARAM>(&item));
      if (!firstPage) style &= ~static_cast<DWORD>(WS_VISIBLE);
      firstPage = false;
    }
    const char* text = row.kind == ControlKind::Image ? "" : row.caption;
    HWND child = CreateWindowExA(kind.exStyle, kind.className, text, style, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                 instance, nullptr);
    if (!child) continue;
    // Pages draw no bevel; panels mark nothing.
    if (row.kind == ControlKind::Page) {
      SetWindowLongPtrA(child, GWLP_USERDATA, 1);
      // New children go below their older siblings; a page must lie above
      // the page control it covers.
      SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    HFONT own = CreateRowFont(layout, row, dpi);
    HFONT font = own ? own : formFont_;
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if ((row.kind == ControlKind::Label && !(row.flags & layout_flag::kWordWrap)) ||
        row.kind == ControlKind::CheckBox || row.kind == ControlKind::RadioButton) {
      FitCaption(child, font, row, dpi);
    } else if (row.kind == ControlKind::Label) {
      FitWrappedLabel(child, font, row, dpi);
    }
    if (row.flags & layout_flag::kChecked) SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
    children_.push_back({row.name, child, controlId, row.textColor != kDefaultTextColor,
                         row.textColor, (row.flags & layout_flag::kHandCursor) != 0, own});
    if (row.kind == ControlKind::TrackBar) {
      SendMessageA(child, TBM_SETRANGE, FALSE, MAKELPARAM(row.rangeMin, row.rangeMax));
      SendMessageA(child, TBM_SETTICFREQ, row.tickStep, 0);
      SendMessageA(child, TBM_SETLINESIZE, 0, 1);
      SendMessageA(child, TBM_SETPAGESIZE, 0, 2);
      SendMessageA(child, TBM_SETPOS, TRUE, row.rangeMin);
    }
    if (row.kind == ControlKind::SpinEdit) {
      HWND arrows = CreateWindowExA(
          0, UPDOWN_CLASSA, "",
          WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
          0, 0, 0, 0, parent, nullptr, instance, nullptr);
      if (arrows) {
        SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(child), 0);
        SendMessageA(arrows, UDM_SETRANGE, 0, MAKELPARAM(row.rangeMax, row.rangeMin));
        SendMessageA(arrows, UDM_SETPOS, 0, MAKELPARAM(atoi(row.caption), 0));
      }
    }
    if (row.flags & layout_flag::kShowHint) {
      if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   form, nullptr, instance, nullptr);
      }
      if (tooltip_) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the oldest common controls know only this much
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = form;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = const_cast<char*>(row.hint);
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
      }
    }
  }
}

const FormControls::Child* FormControls::Find(const std::string& name) const {
  for (const Child& child : children_) {
    if (name == child.name) return &child;
  }
  return nullptr;
}

HWND FormControls::Get(const std::string& name) const {
  const Child* child = Find(name);
  return child ? child->window : nullptr;
}

std::string FormControls::NameOf(int id) const {
  for (const Child& child : children_) {
    if (child.id == id) return child.name;
  }
  return std::string();
}

std::string FormControls::NameOfWindow(HWND window) const {
  return window ? NameOf(GetDlgCtrlID(window)) : std::string();
}

bool FormControls::SetLinkCursor(HWND control) const {
  for (const Child& child : children_) {
    if (!child.link || child.window != control) continue;
    // Windows 95 and NT 4 have no hand pointer.
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    SetCursor(hand ? hand : LoadCursorA(nullptr, IDC_ARROW));
    return true;
  }
  return false;
}

bool FormControls::TextColor(HWND control, COLORREF* color) const {
  for (const Child& child : children_) {
    if (child.window == control && child.colored) {
      *color = child.color;
      return true;
    }
  }
  return false;
}

RECT PageArea(HWND tabControl) {
  RECT area = {0, 0, 0, 0};
  GetClientRect(tabControl, &area);
  SendMessageA(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabControl, GetParent(tabControl), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

int FormControls::IdOf(const FormLayout& layout, const std::string& name) {
  int id = kFirstControlId;
  for (const LayoutRow& row : layout) {
    if (name == row.name) return id;
    ++id;
  }
  return -1;
}

bool RegisterFormClass(const FormLayout& layout, HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(instance, layout.className, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAINICON));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = layout.className;
  return RegisterClassExA(&wc) != 0;
}

HWND CreateFormWindow(const FormLayout& layout, HINSTANCE instance, HWND owner, void* param) {
  const DWORD style = FormStyle(layout.flags);
  const DWORD exStyle = FormExStyle(layout.flags);
  const int dpi = ScreenDpi();
  RECT rect = {0, 0, ScaleToDpi(layout.clientWidth, dpi), ScaleToDpi(layout.clientHeight, dpi)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return CreateWindowExA(exStyle, layout.className, layout.caption, style, layout.left, layout.top,
                         rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, instance,
                         param);
}

}  // namespace tw
