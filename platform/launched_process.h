// Which process a launch started, from process lists taken before and after
// it, where the system cannot tell a handle's id (Windows 98).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/processes.h"

namespace tw {

// Whether `id` is one of `list`'s processes. The lists are short: plain
// loops, without the tree a set would bring into the exe.
inline bool ListsProcess(const std::vector<ProcessEntry>& list, uint32_t id) {
  for (const ProcessEntry& entry : list) {
    if (entry.id == id) return true;
  }
  return false;
}

// The one new child of `self`. A launcher may already have ended when the
// second list is taken; then it is the one ended process, in neither list,
// whose children are new. 0 when that is not one process.
inline uint32_t LaunchedProcessId(const std::vector<ProcessEntry>& before,
                                  const std::vector<ProcessEntry>& after, uint32_t self) {
  uint32_t child = 0, endedParent = 0;
  bool manyChildren = false, manyEndedParents = false;
  for (const ProcessEntry& entry : after) {
    if (ListsProcess(before, entry.id)) continue;
    if (entry.parentId == self) {
      manyChildren |= child != 0 && child != entry.id;
      child = entry.id;
    } else if (entry.parentId != 0 && !ListsProcess(after, entry.parentId) &&
               !ListsProcess(before, entry.parentId)) {
      manyEndedParents |= endedParent != 0 && endedParent != entry.parentId;
      endedParent = entry.parentId;
    }
  }
  if (child != 0) return manyChildren ? 0 : child;
  return manyEndedParents ? 0 : endedParent;
}

}  // namespace tw
