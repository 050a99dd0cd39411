#include "harness/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

namespace e2e {

namespace {

std::vector<wchar_t> Wide(const std::string& text) {
  std::vector<wchar_t> wide(text.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// Runs `use` on a new shell link object and its file interface, with COM up
// around it; false when either cannot be had or `use` says so.
template <typename Use>
bool WithShellLink(Use use) {
  CoInitialize(nullptr);
  bool done = false;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      done = use(link, persist);
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return done;
}

}  // namespace

bool MakeShortcut(const std::string& file, const LinkFields& fields) {
  return WithShellLink([&](IShellLinkA* link, IPersistFile* persist) {
    link->SetPath(fields.target.c_str());
    link->SetArguments(fields.arguments.c_str());
    link->SetWorkingDirectory(fields.workingDirectory.c_str());
    if (!fields.iconFile.empty()) link->SetIconLocation(fields.iconFile.c_str(), fields.iconIndex);
    link->SetShowCmd(fields.showCommand);
    return SUCCEEDED(persist->Save(Wide(file).data(), TRUE));
  });
}

bool OpenShortcut(const std::string& file) {
  LinkFields fields;
  if (!ReadShellLink(file, &fields)) return false;
  // Wine's shell link does not load the window state: it is read from the
  // file's header, where the shell keeps it at offset 0x3C.
  FILE* link = std::fopen(file.c_str(), "rb");
  if (link == nullptr) return false;
  unsigned char header[0x40] = {};
  const bool read = std::fread(header, 1, sizeof header, link) == sizeof header;
  std::fclose(link);
  if (!read) return false;
  fields.showCommand = header[0x3C] | header[0x3D] << 8;
  std::string commandLine = "\"" + fields.target + "\" " + fields.arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(fields.showCommand);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(fields.target.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      fields.workingDirectory.empty() ? nullptr : fields.workingDirectory.c_str(),
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool MakeShortcut(const std::string& file, const std::string& target) {
  return WithShellLink([&](IShellLinkA* link, IPersistFile* persist) {
    link->SetPath(target.c_str());
    return SUCCEEDED(persist->Save(Wide(file).data(), TRUE));
  });
}

bool ReadShellLink(const std::string& file, LinkFields* fields) {
  return WithShellLink([&](IShellLinkA* link, IPersistFile* persist) {
    if (FAILED(persist->Load(Wide(file).data(), STGM_READ))) return false;
    char text[MAX_PATH * 2] = {};
    link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    fields->target = text;
    link->GetArguments(text, sizeof text);
    fields->arguments = text;
    link->GetWorkingDirectory(text, sizeof text);
    fields->workingDirectory = text;
    link->GetIconLocation(text, sizeof text, &fields->iconIndex);
    fields->iconFile = text;
    return true;
  });
}

std::string ShortcutTarget(const std::string& file) {
  std::string target;
  WithShellLink([&](IShellLinkA* link, IPersistFile* persist) {
    char path[MAX_PATH] = {};
    if (FAILED(persist->Load(Wide(file).data(), STGM_READ)) ||
        FAILED(link->GetPath(path, MAX_PATH, nullptr, 0))) {
      return false;
    }
    target = path;
    return true;
  });
  return target;
}

}  // namespace e2e
