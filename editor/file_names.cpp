#include "editor/file_names.h"

#include <cstring>
#include <vector>

#include "platform/ansi_text.h"

namespace tw {

namespace {

size_t AfterLastSeparator(const std::string& path) {
  const size_t last = FindLastChar(path, "\\:");
  return last == std::string::npos ? 0 : last + 1;
}

}  // namespace

std::string FileNamePart(const std::string& path) { return path.substr(AfterLastSeparator(path)); }

std::string DirectoryPart(const std::string& path) {
  return path.substr(0, AfterLastSeparator(path));
}

std::string ShortenPath(const std::string& path, int maxWidth, const FormWindow& form) {
  if (form.TextWidth(path) <= maxWidth) return path;
  // Split into a drive ("C:") and folders; keep the trailing backslash.
  std::string drive;
  std::string rest = path;
  if (rest.size() >= 2 && rest[1] == ':') {
    drive = rest.substr(0, 2);
    rest.erase(0, 2);
  }
  const bool trailing = EndsWithChar(rest, '\\');
  std::vector<std::string> folders;
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = FindChar(rest, '\\', start);
    if (end == std::string::npos) end = rest.size();
    if (end > start) folders.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  std::string candidate = path;
  for (size_t drop = 1; drop <= folders.size(); ++drop) {
    std::string tail;
    for (size_t i = drop; i < folders.size(); ++i) tail += "\\" + folders[i];
    if (trailing && !tail.empty()) tail += "\\";
    candidate = drive + "\\..." + (tail.empty() ? std::string("\\") : tail);
    if (form.TextWidth(candidate) <= maxWidth) return candidate;
  }
  return candidate;
}

bool IsProfileKeyName(const std::string& name) { return FindChar(name, '\\') == std::string::npos; }

bool IsSafeFileName(const std::string& name) {
  for (size_t i = 0; i < name.size(); i = NextChar(name, i)) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
  }
  return true;
}

}  // namespace tw
