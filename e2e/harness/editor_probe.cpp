#include "harness/editor_probe.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>

#include "editor/editor_layout.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {

namespace {

constexpr int kFirstControlId = 100;  // as the program's form realiser numbers rows
constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!window ||
      !SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK FindById(HWND window, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int EditorControlId(const std::string& name) {
  int id = kFirstControlId;
  for (const tw::LayoutRow& row : tw::EditorLayout()) {
    if (name == row.name) return id;
    ++id;
  }
  return -1;
}

HWND EditorControl(HWND editor, const std::string& name) {
  Search search = {EditorControlId(name), nullptr};
  if (search.id < 0 || !editor) return nullptr;
  EnumChildWindows(editor, FindById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string EditorText(HWND editor, const std::string& name) {
  return WindowText(EditorControl(editor, name));
}

bool SetEditorText(HWND editor, const std::string& name, const std::string& text) {
  return Send(EditorControl(editor, name), WM_SETTEXT, 0,
              reinterpret_cast<LPARAM>(text.c_str())) == TRUE;
}

int SelectedEntry(HWND editor, const std::string& name) {
  return static_cast<int>(Send(EditorControl(editor, name), CB_GETCURSEL, 0, 0));
}

bool SelectEntry(HWND editor, const std::string& name, int index) {
  return Send(EditorControl(editor, name), CB_SETCURSEL, index, 0) == index;
}

bool IsEditorControlVisible(HWND editor, const std::string& name) {
  HWND control = EditorControl(editor, name);
  return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsEditorControlEnabled(HWND editor, const std::string& name) {
  HWND control = EditorControl(editor, name);
  return control && IsWindowEnabled(control);
}

int SliderPosition(HWND editor, const std::string& name) {
  return static_cast<int>(Send(EditorControl(editor, name), TBM_GETPOS, 0, 0));
}

bool MoveSlider(HWND editor, const std::string& name, int position) {
  HWND slider = EditorControl(editor, name);
  if (!slider) return false;
  Send(slider, TBM_SETPOS, TRUE, position);
  return Send(editor, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
              reinterpret_cast<LPARAM>(slider)) != -1;
}

bool PostClick(HWND editor, const std::string& name) {
  HWND button = EditorControl(editor, name);
  return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ClickTab(HWND editor, int index) {
  HWND tabs = EditorControl(editor, "PageControl1");
  if (!tabs) return false;
  // The tabs' places as drawn with the editor's font: "Direct3D", "Glide /
  // OpenGL", "Additional settings".
  const int centers[] = {30, 100, 195};
  if (index < 0 || index > 2) return false;
  const LPARAM at = MAKELPARAM(centers[index], 10);
  return PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at) && PostMessageA(tabs, WM_LBUTTONUP, 0, at);
}

int ClientHeight(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect.bottom - rect.top;
}

int ChildTop(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect.top;
}

void Screenshot(const std::string& name, HWND shown) {
  const char* folder = std::getenv("TW_SHOT_REQUESTS");
  if (!folder || !*folder) return;
  // Painting is sent to the window's own thread and done before this returns.
  RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const std::string request = std::string(folder) + "\\" + name + ".request";
  // The request carries the window's place on the desktop, so the picture can
  // be cropped to it later. Written under another name and renamed, so the
  // watcher never reads it half-written.
  RECT rect = {};
  GetWindowRect(shown, &rect);
  const std::string place = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                            std::to_string(rect.right - rect.left) + " " +
                            std::to_string(rect.bottom - rect.top) + "\n";
  const std::string draft = request + ".part";
  HANDLE file = CreateFileA(draft.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool whole = WriteFile(file, place.data(), static_cast<DWORD>(place.size()), &written,
                               nullptr) && written == place.size();
  CloseHandle(file);
  if (!whole || !MoveFileA(draft.c_str(), request.c_str())) {
    DeleteFileA(draft.c_str());
    return;
  }
  // The watcher takes the picture, then removes the request.
  WaitUntil([&request] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; },
            15000);
}

std::string DesktopFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path))) return "";
  return path;
}

}  // namespace e2e
