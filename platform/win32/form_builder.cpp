#include "platform/win32/form_builder.h"

#include "res/resource_ids.h"

namespace tw {

namespace {

constexpr int kFirstControlId = 100;
constexpr const char* kPanelClass = "TPanel";

// A panel paints its face and bevel and hands its controls' notifications on
// to the form, so the form's handlers see them as if the controls were its own.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (dc) {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        // Raised inner and lowered outer bevel.
        DrawEdge(dc, &rc, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
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

bool RegisterPanelClass(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(instance, kPanelClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kPanelClass;
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
    case ControlKind::Label:
      return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
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
      return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::TrackBar:
      return {"msctls_trackbar32", WS_TABSTOP, 0};
    case ControlKind::PageControl:
    case ControlKind::Page:
      return {"STATIC", 0, 0};
  }
  return {"STATIC", 0, 0};
}

DWORD FormStyle(unsigned flags) {
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  if (!(flags & form_flag::kNoTitleButtons)) style |= WS_SYSMENU;
  return style;
}

DWORD FormExStyle(unsigned flags) {
  return (flags & form_flag::kDialogBorder) ? WS_EX_DLGMODALFRAME : 0;
}

// Labels size themselves to their text, so a substituted font never cuts
// the caption short.
void FitLabel(HWND label, HFONT font, const LayoutRow& row) {
  HDC dc = GetDC(label);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent = {};
  const bool measured =
      GetTextExtentPoint32A(dc, row.caption, lstrlenA(row.caption), &extent) != FALSE;
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  if (measured && (extent.cx > row.width || extent.cy > row.height)) {
    SetWindowPos(label, nullptr, 0, 0, extent.cx > row.width ? extent.cx : row.width,
                 extent.cy > row.height ? extent.cy : row.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

FormControls::~FormControls() {
  for (HFONT font : fonts_) DeleteObject(font);
}

void FormControls::Create(HWND form, const FormLayout& layout, HINSTANCE instance) {
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  RegisterPanelClass(instance);
  bool firstRadio = true;
  int id = kFirstControlId;
  for (const LayoutRow& row : layout) {
    const int controlId = id++;
    HWND parent = row.parent[0] ? Get(row.parent) : form;
    if (!parent) parent = form;
    WindowKind kind = KindOf(row);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | kind.style;
    if (!(row.flags & layout_flag::kHidden)) style |= WS_VISIBLE;
    if (row.kind == ControlKind::RadioButton && firstRadio) {
      style |= WS_GROUP;
      firstRadio = false;
    }
    HWND child = CreateWindowExA(kind.exStyle, kind.className, row.caption, style, row.left,
                                 row.top, row.width, row.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                                 nullptr);
    if (!child) continue;
    HFONT font = guiFont;
    if (row.fontName[0] != '\0' || row.fontHeight != 0 || (row.flags & layout_flag::kBold)) {
      HFONT own = CreateFontA(row.fontHeight ? -row.fontHeight : -11, 0, 0, 0,
                              (row.flags & layout_flag::kBold) ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                              FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              row.fontName[0] ? row.fontName : "MS Sans Serif");
      if (own) {
        fonts_.push_back(own);
        font = own;
      }
    }
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (row.kind == ControlKind::Label) FitLabel(child, font, row);
    if (row.flags & layout_flag::kChecked) SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
    windows_[row.name] = child;
    names_[controlId] = row.name;
  }
}

HWND FormControls::Get(const std::string& name) const {
  auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : it->second;
}

std::string FormControls::NameOf(int id) const {
  auto it = names_.find(id);
  return it == names_.end() ? std::string() : it->second;
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
  RECT rect = {0, 0, layout.clientWidth, layout.clientHeight};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return CreateWindowExA(exStyle, layout.className, layout.caption, style, layout.left, layout.top,
                         rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, instance,
                         param);
}

}  // namespace tw
