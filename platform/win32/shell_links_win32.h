// Shell links through the shell link object, and the shell's special folders.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "platform/shell_links.h"
#include "platform/win32/com_ptr.h"

namespace tw {

// The path of a CSIDL folder without a trailing backslash; nullopt where the
// system has no such folder.
std::optional<std::string> SpecialFolderPath(int csidl);

class Win32ShellLinks : public ShellLinks {
 public:
  std::vector<LinkFolder> Folders() override;
  std::vector<std::string> FindLinks(const LinkFolder& folder, size_t limit) override;
  LinkRead ReadLink(const std::string& file, LinkFields* fields) override;
  LinkWrite WriteLink(const std::string& file, const LinkFields& fields) override;
  void Settle(const std::string& file) override;
  bool RemoveLink(const std::string& file) override;
  std::string PathKey(const std::string& path) override;

 private:
  // One object reads every link of a search: making one per link costs more
  // than reading it.
  ComPtr<IShellLinkA> reader_;
  ComPtr<IPersistFile> readerFile_;
};

}  // namespace tw
