#include "store/editor_shortcuts.h"

namespace tw {

namespace {

// As many as a desktop can sensibly hold; bounds a runaway folder.
constexpr size_t kMaxLinks = 10000;

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
}

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::vector<FoundLink> FindEditorShortcuts(ShellLinks& links,
                                           const std::vector<std::string>& recorded,
                                           const std::string& tarnwick) {
  std::vector<std::string> recordedKeys;
  for (const std::string& file : recorded) recordedKeys.push_back(links.PathKey(file));
  const std::string wanted = links.PathKey(tarnwick);
  std::vector<FoundLink> found;
  for (const LinkFolder& folder : links.Folders()) {
    if (folder.place != LinkPlace::Desktop) continue;
    for (const std::string& file : links.FindLinks(folder, kMaxLinks)) {
      LinkFields fields;
      if (!links.ReadLink(file, &fields) || links.PathKey(fields.target) != wanted ||
          fields.arguments.find_first_not_of(' ') == std::string::npos) {
        continue;
      }
      const std::string key = links.PathKey(file);
      bool adopted = false;
      for (const std::string& other : recordedKeys) adopted |= other == key;
      if (!adopted) found.push_back({file, folder.place, fields});
    }
  }
  return found;
}

AdoptionReport RemoveEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                     const std::string& tarnwick) {
  AdoptionReport report;
  for (const FoundLink& link : FindEditorShortcuts(links, recorded, tarnwick)) {
    if (links.RemoveLink(link.file)) {
      report.changed.push_back(link.file);
    } else {
      report.problems.push_back(link.file + ": could not be deleted");
    }
  }
  return report;
}

AdoptionReport RepointEditorShortcuts(ShellLinks& links, const std::vector<std::string>& recorded,
                                      const std::string& from, const std::string& to) {
  AdoptionReport report;
  const std::string fromFolder = links.PathKey(FolderOf(from));
  for (const FoundLink& link : FindEditorShortcuts(links, recorded, from)) {
    LinkFields fields = link.fields;
    fields.target = to;
    if (links.PathKey(WithoutTrailingBackslash(fields.workingDirectory)) == fromFolder) {
      fields.workingDirectory = FolderOf(to) + "\\";
    }
    if (links.WriteLink(link.file, fields) == LinkWrite::Written) {
      report.changed.push_back(link.file);
    } else {
      report.problems.push_back(link.file + ": could not be written, it still starts " + from);
    }
  }
  return report;
}

}  // namespace tw
