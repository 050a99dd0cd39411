// A desktop shell that keeps its links in memory and a file dialog with a set
// answer, both recorded for tests.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop_shell.h"
#include "platform/fake/fake_shell_links.h"
#include "platform/file_dialog.h"

namespace tw {

class FakeDesktopShell : public DesktopShell {
 public:
  std::string OwnExecutablePath() const override { return exePath; }
  std::optional<std::string> DesktopFolder() const override { return desktop; }
  bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
  bool SaveShellLink(const ShellLink& link, const std::string& file) override;
  void OpenLink(const std::string& link) override { openedLinks.push_back(link); }
  ShellLinks& Links() override { return shellLinks; }

  std::vector<std::string> openedLinks;
  std::string exePath = "C:\\Tools\\Tarnwick\\tarnwick.exe";
  std::optional<std::string> desktop = std::string("C:\\Users\\me\\Desktop");
  std::set<std::string> files;
  bool linkObjectFails = false;  // SaveShellLink throws
  bool saveFails = false;        // SaveShellLink returns false
  std::map<std::string, ShellLink> links;  // by file
  FakeShellLinks shellLinks;
};

class FakeProgramChooser : public ProgramChooser {
 public:
  std::optional<std::string> ChooseProgram() override {
    ++runs;
    return answer;
  }

  std::optional<std::string> answer;
  int runs = 0;
};

}  // namespace tw
