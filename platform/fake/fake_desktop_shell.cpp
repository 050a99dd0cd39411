#include "platform/fake/fake_desktop_shell.h"

#include <stdexcept>

namespace tw {

bool FakeDesktopShell::SaveShellLink(const ShellLink& link, const std::string& file) {
  if (linkObjectFails) throw std::runtime_error("Class not registered");
  if (saveFails) return false;
  links[file] = link;
  files.insert(file);
  return true;
}

}  // namespace tw
