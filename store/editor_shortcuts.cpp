#include "store/editor_shortcuts.h"

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

namespace tw {

namespace {

// As many as a desktop can sensibly hold; bounds a runaway folder.
constexpr size_t kMaxLinks = 10000;

std::string UpperFileName(const std::string& path) { return AsciiUpper(PathFileName(path)); }

}  // namespace

AdoptionReport FollowEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                     const std::string& from, const std::string& to) {
  AdoptionReport report;
  const std::string fromName = UpperFileName(from);
  const std::string fromKey = links.PathKey(from);
  const std::string fromFolder = links.PathKey(WithoutTrailing(PathFolder(from), '\\'));
  for (const LinkFolder& folder : links.Folders()) {
    if (folder.place != LinkPlace::Desktop) continue;
    for (const std::string& file : links.FindLinks(folder, kMaxLinks)) {
      LinkFields fields;
      if (links.ReadLink(file, &fields) != LinkRead::Read ||
          fields.arguments.find_first_not_of(' ') == std::string::npos) {
        continue;
      }
      // A short name has a '~': only then may another file name be the same file.
      const std::string name = UpperFileName(fields.target);
      if ((name != fromName && FindChar(name, '~') == std::string::npos &&
           FindChar(fromName, '~') == std::string::npos) ||
          links.PathKey(fields.target) != fromKey) {
        continue;
      }
      const std::string key = links.PathKey(file);
      bool adopted = false;
      for (const std::string& other : recorded) adopted |= links.PathKey(other) == key;
      if (adopted || (to.empty() && folder.allUsers)) {
        if (to.empty()) {
          report.left.push_back(file + (adopted ? ": an adopted game shortcut, left"
                                                : ": on every account's desktop, left"));
        }
        continue;
      }
      bool done;
      if (to.empty()) {
        done = links.RemoveLink(file);
      } else {
        fields.target = to;
        const std::string start = WithoutTrailing(fields.workingDirectory, '\\');
        if (links.PathKey(start) == fromFolder) fields.workingDirectory = PathFolder(to);
        done = links.WriteLink(file, fields) == LinkWrite::Written;
      }
      if (done) {
        report.changed.push_back(file);
      } else {
        report.problems.push_back(file + (to.empty() ? ": could not be deleted"
                                                     : ": could not be written, it still starts " + from));
      }
    }
  }
  return report;
}

}  // namespace tw
