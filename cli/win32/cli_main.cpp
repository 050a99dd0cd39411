// tarnwick-cli.exe: the console companion. The standard streams and files
// through kernel32 only (no C stdio), so the program stays small.
#include <windows.h>

#include <string>

#include "cli/companion.h"
#include "platform/ansi_text.h"
#include "platform/win32/code_page_win32.h"
#include "platform/win32/lazy_init.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_links_win32.h"
#include "platform/win32/text_compare_win32.h"
#include "shell/startup.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {
namespace {

// Closes a file handle on every way out.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

std::string SystemMessage(DWORD code) {
  char buffer[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : text;
}

class Win32Console : public Console {
 public:
  void Out(const std::string& text) override { Write(STD_OUTPUT_HANDLE, text); }
  void Err(const std::string& text) override { Write(STD_ERROR_HANDLE, text); }

  bool ReadFile(const std::string& path, std::string* bytes, std::string* error) override {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Fail(path, error);
    std::string data;
    char buffer[4096];
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return Fail(path, error);
      if (got == 0) break;
      data.append(buffer, got);
    }
    *bytes = data;
    return true;
  }

  bool WriteFile(const std::string& path, const std::string& bytes, std::string* error) override {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Fail(path, error);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr);
    if (ok && written == bytes.size()) return true;
    const DWORD code = GetLastError();
    file.Close();
    DeleteFileA(path.c_str());
    *error = path + ": " + SystemMessage(code);
    return false;
  }

  bool FileExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

 private:
  static bool Fail(const std::string& path, std::string* error) {
    *error = path + ": " + SystemMessage(GetLastError());
    return false;
  }

  // A console shows the OEM code page; a redirected stream keeps ANSI.
  static void Write(DWORD which, const std::string& text) {
    const HANDLE stream = GetStdHandle(which);
    if (stream == INVALID_HANDLE_VALUE || stream == nullptr || text.empty()) return;
    std::string out = text;
    DWORD mode = 0;
    if (GetConsoleMode(stream, &mode)) {
      CharToOemBuffA(out.data(), &out[0], static_cast<DWORD>(out.size()));
    }
    DWORD written = 0;
    ::WriteFile(stream, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  }
};

class Win32AnsiConverter : public AnsiConverter {
 public:
  bool ToAnsi(const std::u16string& text, std::string* ansi) const override {
    ansi->clear();
    const auto* wide = reinterpret_cast<const WCHAR*>(text.data());
    if (Whole(wide, static_cast<int>(text.size()), ansi)) return true;
    // Named in the message with a '?' for each character the code page lacks.
    ansi->clear();
    for (size_t i = 0; i < text.size(); ++i) {
      std::string one;
      *ansi += Whole(wide + i, 1, &one) ? one : std::string("?");
    }
    return false;
  }

 private:
  // A best fit changes some characters without a word (an a with umlaut into
  // a plain "a" under 932): only a text that converts back as it was is whole.
  static bool Whole(const WCHAR* wide, int length, std::string* out) {
    if (length == 0) return true;
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    out->assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, &(*out)[0], size, nullptr, &lossy);
    std::u16string back(static_cast<size_t>(length), u'\0');
    auto* backWide = reinterpret_cast<WCHAR*>(&back[0]);
    return !lossy &&
           MultiByteToWideChar(CP_ACP, 0, out->data(), size, backWide, length) == length &&
           back.compare(0, back.size(), reinterpret_cast<const char16_t*>(wide),
                        static_cast<size_t>(length)) == 0;
  }
};

// The tray program, which adopted shortcuts start: beside this one.
std::string TarnwickExe() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string exe(path, length);
  exe = PathFolder(exe) + "tarnwick.exe";
  const DWORD attributes = GetFileAttributesA(exe.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
             ? exe
             : std::string();
}

}  // namespace
}  // namespace tw

int main() {
  tw::UseSystemCodePage();
  tw::SettingCatalogue catalogue;
  tw::Win32RegistryBackend backend;
  tw::RegistryHandle programRegistry(backend, tw::RootKey::CurrentUser);
  tw::RegistryHandle driverRegistry(backend, tw::RootKey::LocalMachine);
  tw::Win32TextCompare compare;
  tw::Win32AnsiConverter ansi;
  tw::Win32Console console;
  // The arguments are taken as ANSI, as the registry holds names. Only an
  // MS-DOS prompt of Windows 95/98/ME passes OEM text, and nothing a program
  // can ask tells that prompt apart from a console made for a start from
  // Explorer, Run or a shortcut, which passes ANSI: converting on a guess
  // would break the common starts to serve the rare one.
  const std::string commandLine = GetCommandLineA();
  const int status = [&] {
    tw::Win32ShellLinks links;
    tw::CompanionContext context{catalogue, programRegistry, driverRegistry, compare,
                                 ansi,      console,         links,          tw::TarnwickExe()};
    return tw::RunCompanion(tw::SplitCommandLine(commandLine), context);
  }();
  tw::ReleaseCom();
  return status;
}
