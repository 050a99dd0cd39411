// Shell links kept in memory: files by path, chosen ones read-only, a write
// that fails on request, short names that stand for long ones, and links a
// cut-off write left set aside.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/shell_links.h"

namespace tw {

// A link as one line in a test's failure message.
inline void PrintTo(const LinkFields& f, std::ostream* out) {
  *out << "{" << f.target << " | " << f.arguments << " | " << f.workingDirectory << " | "
       << f.iconFile << "," << f.iconIndex << " | show " << f.showCommand << "}";
}

class FakeShellLinks : public ShellLinks {
 public:
  std::vector<LinkFolder> Folders() override { return folders; }
  std::vector<std::string> FindLinks(const LinkFolder& folder, size_t limit) override;
  LinkRead ReadLink(const std::string& file, LinkFields* fields) override;
  LinkWrite WriteLink(const std::string& file, const LinkFields& fields) override;
  void Settle(const std::string& file) override;
  bool RemoveLink(const std::string& file) override;
  std::string PathKey(const std::string& path) override;

  std::vector<LinkFolder> folders = {
      {LinkPlace::StartMenu, "C:\\Start Menu\\Programs"},
      {LinkPlace::Desktop, "C:\\Desktop"},
  };
  std::map<std::string, LinkFields> links;  // by file
  // Links only present as "FILE.tw-old": a write killed between its moves.
  std::map<std::string, LinkFields> setAside;
  std::set<std::string> readOnly;
  // Reads of a file that fail with a system error; `rootReachable` false:
  // its drive or share does not answer.
  struct ReadFault {
    uint32_t error;
    bool rootReachable = true;
  };
  std::map<std::string, ReadFault> readFaults;
  std::map<std::string, std::string> shortNames;  // short path -> long path
  int writesBeforeFailure = -1;  // the write after this many fails; -1 never
  int failures = 1;              // how many writes fail then; -1 all that follow
  int writes = 0;                // writes that succeeded
  std::vector<std::string> pathKeys;  // every path looked up, in order
  std::function<void()> afterWrite;   // after each write that succeeded
};

}  // namespace tw
