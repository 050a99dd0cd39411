#include "platform/fake/fake_shell_links.h"

#include "platform/ascii_case.h"

namespace tw {

std::vector<std::string> FakeShellLinks::FindLinks(const std::string& folder, size_t limit) {
  std::vector<std::string> found;
  const std::string prefix = AsciiUpper(folder + "\\");
  for (const auto& entry : links) {
    if (found.size() >= limit) break;
    if (AsciiUpper(entry.first).compare(0, prefix.size(), prefix) == 0) {
      found.push_back(entry.first);
    }
  }
  return found;
}

bool FakeShellLinks::ReadLink(const std::string& file, LinkFields* fields) {
  const auto it = links.find(file);
  if (it == links.end()) return false;
  *fields = it->second;
  return true;
}

LinkWrite FakeShellLinks::WriteLink(const std::string& file, const LinkFields& fields) {
  if (readOnly.count(file)) return LinkWrite::ReadOnly;
  if (!links.count(file)) return LinkWrite::Failed;
  if (writes == writesBeforeFailure) {
    writesBeforeFailure = -1;  // one failure; what follows works again
    return LinkWrite::Failed;
  }
  links[file] = fields;
  ++writes;
  return LinkWrite::Written;
}

std::string FakeShellLinks::PathKey(const std::string& path) {
  const std::string upper = AsciiUpper(path);
  for (const auto& names : shortNames) {
    if (AsciiUpper(names.first) == upper) return AsciiUpper(names.second);
  }
  return upper;
}

}  // namespace tw
