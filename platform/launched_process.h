// Which process a launch started, from process lists taken before and after
// it, where the system cannot tell a handle's id (Windows 98).
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "platform/processes.h"

namespace tw {

// The one new child of `self`. A launcher may already have ended when the
// second list is taken; then it is the one ended process, in neither list,
// whose children are new. 0 when that is not one process.
inline uint32_t LaunchedProcessId(const std::vector<ProcessEntry>& before,
                                  const std::vector<ProcessEntry>& after, uint32_t self) {
  std::set<uint32_t> known;
  for (const ProcessEntry& entry : before) known.insert(entry.id);
  std::set<uint32_t> children;
  std::set<uint32_t> endedParents;
  for (const ProcessEntry& entry : after) {
    if (known.count(entry.id) != 0) continue;
    if (entry.parentId == self) children.insert(entry.id);
    if (entry.parentId != 0 && entry.parentId != self) endedParents.insert(entry.parentId);
  }
  for (const ProcessEntry& entry : after) endedParents.erase(entry.id);
  for (uint32_t id : known) endedParents.erase(id);
  if (!children.empty()) return children.size() == 1 ? *children.begin() : 0;
  return endedParents.size() == 1 ? *endedParents.begin() : 0;
}

}  // namespace tw
