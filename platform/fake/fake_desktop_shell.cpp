#include "platform/fake/fake_desktop_shell.h"

#include "platform/command_error.h"

namespace tw {

bool FakeDesktopShell::SaveShellLink(const ShellLink& link, const std::string& file) {
  if (linkObjectFails) throw CommandError("Class not registered");
  if (saveFails) return false;
  links[file] = link;
  files.insert(file);
  return true;
}

}  // namespace tw
