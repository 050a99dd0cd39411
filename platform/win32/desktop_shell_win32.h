// The desktop shell and the open-file dialog.
#pragma once

#include <windows.h>

#include "platform/desktop_shell.h"
#include "platform/file_dialog.h"
#include "platform/win32/shell_links_win32.h"

namespace tw {

class Win32DesktopShell : public DesktopShell {
 public:
  // The parent of what the shell shows for a link.
  void SetOwner(HWND owner) { owner_ = owner; }
  std::string OwnExecutablePath() const override;
  std::optional<std::string> DesktopFolder() const override;
  bool FileExists(const std::string& path) const override;
  bool SaveShellLink(const ShellLink& link, const std::string& file) override;
  void OpenLink(const std::string& link) override;
  ShellLinks& Links() override { return links_; }

 private:
  HWND owner_ = nullptr;
  Win32ShellLinks links_;
};

class Win32ProgramChooser : public ProgramChooser {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  std::optional<std::string> ChooseProgram() override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace tw
