// Shell links kept in memory: files by path, chosen ones read-only, a write
// that fails on request, and short names that stand for long ones.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/shell_links.h"

namespace tw {

class FakeShellLinks : public ShellLinks {
 public:
  std::vector<LinkFolder> Folders() override { return folders; }
  std::vector<std::string> FindLinks(const std::string& folder, size_t limit) override;
  bool ReadLink(const std::string& file, LinkFields* fields) override;
  LinkWrite WriteLink(const std::string& file, const LinkFields& fields) override;
  std::string PathKey(const std::string& path) override;

  std::vector<LinkFolder> folders = {
      {LinkPlace::StartMenu, "C:\\Start Menu\\Programs"},
      {LinkPlace::Desktop, "C:\\Desktop"},
  };
  std::map<std::string, LinkFields> links;  // by file
  std::set<std::string> readOnly;
  std::map<std::string, std::string> shortNames;  // short path -> long path
  int writesBeforeFailure = -1;  // the write after this many fails, once; -1 never
  int writes = 0;                // writes that succeeded
};

}  // namespace tw
