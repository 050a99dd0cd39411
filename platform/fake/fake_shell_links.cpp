#include "platform/fake/fake_shell_links.h"

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

namespace tw {

std::vector<std::string> FakeShellLinks::FindLinks(const LinkFolder& folder, size_t limit) {
  const std::string prefix = AsciiUpper(folder.path + "\\");
  const auto inFolder = [&](const std::string& file) {
    const std::string upper = AsciiUpper(file);
    return upper.compare(0, prefix.size(), prefix) == 0 &&
           (folder.subfolders || FindChar(upper, '\\', prefix.size()) == std::string::npos);
  };
  std::vector<std::string> leftovers;
  for (const auto& entry : setAside) {
    if (inFolder(entry.first)) leftovers.push_back(entry.first);
  }
  for (const std::string& file : leftovers) Settle(file);
  std::vector<std::string> found;
  for (const auto& entry : links) {
    if (found.size() >= limit) break;
    if (inFolder(entry.first)) found.push_back(entry.first);
  }
  return found;
}

LinkRead FakeShellLinks::ReadLink(const std::string& file, LinkFields* fields) {
  const auto fault = readFaults.find(file);
  if (fault != readFaults.end()) {
    return ReadFailure(fault->second.error, fault->second.rootReachable);
  }
  const auto it = links.find(file);
  if (it == links.end()) return LinkRead::Gone;
  *fields = it->second;
  return LinkRead::Read;
}

LinkWrite FakeShellLinks::WriteLink(const std::string& file, const LinkFields& fields) {
  if (readOnly.count(file)) return LinkWrite::ReadOnly;
  if (!links.count(file)) return LinkWrite::Failed;
  if (writes == writesBeforeFailure && failures != 0) {
    if (failures > 0) --failures;  // then what follows works again
    return LinkWrite::Failed;
  }
  links[file] = fields;
  ++writes;
  if (afterWrite) afterWrite();
  return LinkWrite::Written;
}

void FakeShellLinks::Settle(const std::string& file) {
  const auto it = setAside.find(file);
  if (it == setAside.end()) return;
  if (!links.count(file)) links[file] = it->second;
  setAside.erase(it);
}

bool FakeShellLinks::RemoveLink(const std::string& file) {
  if (readOnly.count(file)) return false;
  links.erase(file);
  return true;
}

std::string FakeShellLinks::PathKey(const std::string& path) {
  pathKeys.push_back(path);
  const std::string upper = AsciiUpper(path);
  for (const auto& names : shortNames) {
    if (AsciiUpper(names.first) == upper) return AsciiUpper(names.second);
  }
  return upper;
}

}  // namespace tw
