// Shell link files (.lnk): made as a game's installer or a user leaves them,
// and read back after the program under test has changed them.
#pragma once

#include <string>

namespace e2e {

// Every field has its default, so {target} alone is a whole description.
struct LinkFields {
  std::string target{};
  std::string arguments{};
  std::string workingDirectory{};
  std::string iconFile{};  // empty: no icon of its own
  int iconIndex = -1;
  int showCommand = 1;  // SW_SHOWNORMAL; "Minimized" is SW_SHOWMINNOACTIVE
};

// Writes a link with these fields, empty arguments and folder too (the shell
// then stores them as set); the icon only when one is given. False when it
// cannot be saved.
bool MakeShortcut(const std::string& file, const LinkFields& fields);
// A link with nothing set but its target, as a game's installer leaves one.
bool MakeShortcut(const std::string& file, const std::string& target);

// Starts a link's target as Windows' Explorer does on a double click: with
// its arguments, in its folder and in its window state (Wine's own shell
// passes none on).
bool OpenShortcut(const std::string& file);

// Reads a link file as stored (target unresolved); false when it cannot be
// loaded.
bool ReadShellLink(const std::string& file, LinkFields* fields);

// The path the link resolves to; empty when it cannot be read.
std::string ShortcutTarget(const std::string& file);

}  // namespace e2e
