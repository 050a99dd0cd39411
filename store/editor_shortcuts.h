// The desktop shortcuts the profile editor's "Shortcut" makes: tarnwick.exe
// with a profile's name. Adopted links start Tarnwick the same way; their
// records tell the two apart. When tarnwick.exe goes away or moves, these
// shortcuts go or follow it.
#pragma once

#include <string>
#include <vector>

#include "platform/shell_links.h"
#include "store/link_adoption.h"

namespace tw {

// The desktop links that start `tarnwick` with arguments, except the files
// of adoption records (`recorded`).
std::vector<FoundLink> FindEditorShortcuts(ShellLinks& links,
                                           const std::vector<std::string>& recorded,
                                           const std::string& tarnwick);

// Deletes those shortcuts; `changed` lists each one deleted.
AdoptionReport RemoveEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                     const std::string& tarnwick);

// Points those of `from` at `to`, and their "Start in" too when it was
// `from`'s folder.
AdoptionReport RepointEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                      const std::string& from, const std::string& to);

}  // namespace tw
