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

// The desktop links that start `from` with arguments, except the files of
// adoption records (`recorded`), start `to` instead, and their "Start in"
// follows when it was `from`'s folder; with `to` empty they are deleted.
// `changed` lists each one.
AdoptionReport FollowEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                     const std::string& from, const std::string& to);

}  // namespace tw
