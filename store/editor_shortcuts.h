// The desktop shortcuts the profile editor's "Shortcut" makes: tarnwick.exe
// with a profile's name, on the account's own desktop. Adopted links start
// Tarnwick the same way; their records tell the two apart. When tarnwick.exe
// goes away or moves, these shortcuts go or follow it.
#pragma once

#include <string>
#include <vector>

#include "platform/shell_links.h"
#include "store/link_adoption.h"

namespace tw {

// The desktop links that start `from` with arguments, except the files of
// adoption records (`recorded`), start `to` instead, and their "Start in"
// follows when it was `from`'s folder; `changed` lists each one. With `to`
// empty they are deleted, but only from the account's own desktop: a link
// on every account's desktop, or an adopted one, stays and is listed in
// `left`. Which links qualify is decided from their own fields before any
// path is looked up, since a look-up on a drive that is gone can take minutes.
AdoptionReport FollowEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                     const std::string& from, const std::string& to);

}  // namespace tw
