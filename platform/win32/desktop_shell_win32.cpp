#include "platform/win32/desktop_shell_win32.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/command_error.h"

#include "platform/win32/com_ptr.h"
#include "platform/win32/lazy_init.h"
#include "platform/win32/shell_links_win32.h"

namespace tw {

namespace {

// The system's text for an error code, without its line break.
std::string SystemMessage(HRESULT code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "The shell link object could not be created" : message;
}

// The wide form of a path that IPersistFile takes; false when it does not fit.
bool WidePath(const std::string& text, wchar_t (&wide)[MAX_PATH]) {
  return MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH) > 0;
}

// The target of a shortcut file; the path itself for any other file, or when
// the shortcut cannot be read. The system's dialog resolves a chosen shortcut
// on Windows; Wine's does not, so the program does it either way.
std::string ShortcutTarget(const std::string& path) {
  if (path.size() < 4 || lstrcmpiA(path.c_str() + path.size() - 4, ".lnk") != 0) return path;
  ComPtr<IShellLinkA> shellLink;
  ComPtr<IPersistFile> persist;
  wchar_t wide[MAX_PATH];
  if (FAILED(CreateComObject(CLSID_ShellLink, IID_IShellLinkA, shellLink.OutVoid())) ||
      FAILED(shellLink->QueryInterface(IID_IPersistFile, persist.OutVoid())) ||
      !WidePath(path, wide) || FAILED(persist->Load(wide, STGM_READ))) {
    return path;
  }
  char target[MAX_PATH] = {};
  if (FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, 0)) || target[0] == '\0') return path;
  return target;
}

}  // namespace

std::string Win32DesktopShell::OwnExecutablePath() const {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::optional<std::string> Win32DesktopShell::DesktopFolder() const {
  return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
}

bool Win32DesktopShell::FileExists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32DesktopShell::SaveShellLink(const ShellLink& link, const std::string& file) {
  ComPtr<IShellLinkA> shellLink;
  HRESULT result = CreateComObject(CLSID_ShellLink, IID_IShellLinkA, shellLink.OutVoid());
  if (FAILED(result)) throw CommandError(SystemMessage(result));
  ComPtr<IPersistFile> persist;
  result = shellLink->QueryInterface(IID_IPersistFile, persist.OutVoid());
  if (FAILED(result)) throw CommandError(SystemMessage(result));
  if (FAILED(shellLink->SetPath(link.target.c_str())) ||
      FAILED(shellLink->SetWorkingDirectory(link.workingDirectory.c_str())) ||
      FAILED(shellLink->SetArguments(link.arguments.c_str())) ||
      FAILED(shellLink->SetIconLocation(link.iconFile.c_str(), link.iconIndex))) {
    return false;
  }
  wchar_t wide[MAX_PATH];
  return WidePath(file, wide) && SUCCEEDED(persist->Save(wide, FALSE));
}

std::optional<std::string> Win32ProgramChooser::ChooseProgram() {
  char path[MAX_PATH + 1] = {};
  OPENFILENAMEA dialog = {};
  // The size Windows 98 and NT 4 know; the newer fields are not used.
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter =
      "Executables\0*.EXE\0Shortcuts\0*.LNK\0Executables and shortcuts\0*.LNK;*.EXE\0";
  dialog.nFilterIndex = 3;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_HIDEREADONLY;
  // The dialog leaves the process in the browsed folder, which 2000 and XP
  // then cannot delete, and where a profile without a folder would start.
  char folder[MAX_PATH] = {};
  const DWORD kept = GetCurrentDirectoryA(sizeof folder, folder);
  const BOOL chosen = ShowOpenFileDialog(&dialog);
  if (kept > 0 && kept < sizeof folder) SetCurrentDirectoryA(folder);
  if (!chosen) return std::nullopt;
  return ShortcutTarget(path);
}

void Win32DesktopShell::OpenLink(const std::string& link) {
  // The mail program or the browser reports its own troubles.
  ShellExecuteA(owner_, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tw
