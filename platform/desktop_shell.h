// What the program needs of the shell: its own path, the desktop folder,
// whether a file exists, shell link files, and opening a web or mail link.
#pragma once

#include <optional>
#include <string>

#include "platform/shell_links.h"

namespace tw {

struct ShellLink {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  std::string iconFile;
  int iconIndex = 0;
};

class DesktopShell {
 public:
  virtual ~DesktopShell() = default;
  // Full path of the running executable, as it was started.
  virtual std::string OwnExecutablePath() const = 0;
  // The user's desktop folder without a trailing backslash; nullopt when the
  // system cannot name one.
  virtual std::optional<std::string> DesktopFolder() const = 0;
  virtual bool FileExists(const std::string& path) const = 0;
  // Writes `link` to `file`, replacing an existing file. Throws
  // CommandError with the system's message when no shell link object
  // can be made; false when the file could not be saved.
  virtual bool SaveShellLink(const ShellLink& link, const std::string& file) = 0;
  // Opens a link ("mailto:...", "http://...") with the verb "open", shown
  // normally; whatever the system answers is not reported.
  virtual void OpenLink(const std::string& link) = 0;
  // The Start menu's and the desktop's link files.
  virtual ShellLinks& Links() = 0;
};

}  // namespace tw
