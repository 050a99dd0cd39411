#include "store/link_search.h"

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

namespace tw {

namespace {

// A Start menu of a well-used machine holds a few thousand links; this bounds
// a search of a runaway folder tree.
constexpr size_t kMaxLinksPerFolder = 10000;

}  // namespace

std::vector<FoundLink> FindProgramLinks(ShellLinks& links, const std::string& program,
                                        const std::string& tarnwick) {
  std::vector<FoundLink> found;
  const std::string name = AsciiUpper(PathFileName(program));
  const std::string wanted = links.PathKey(program);
  // Tarnwick's own links would start Tarnwick with its own name.
  if (wanted == links.PathKey(tarnwick)) return found;
  for (const LinkFolder& folder : links.Folders()) {
    for (const std::string& file : links.FindLinks(folder, kMaxLinksPerFolder)) {
      LinkFields fields;
      if (links.ReadLink(file, &fields) != LinkRead::Read || fields.target.empty()) continue;
      // The file name first: looking up the long form of a path on a network
      // drive that is gone can take minutes. A short name has a '~'.
      const std::string targetName = AsciiUpper(PathFileName(fields.target));
      if (targetName != name && FindChar(targetName, '~') == std::string::npos) continue;
      if (links.PathKey(fields.target) == wanted) {
        found.push_back({file, folder.place, fields, folder.allUsers});
      }
    }
  }
  return found;
}

std::string AdoptQuestion(const std::vector<FoundLink>& found, const std::string& program) {
  static const char* const kPlaceNames[] = {"Start menu", "desktop", "Quick Launch"};
  bool seen[3] = {};
  for (const FoundLink& link : found) seen[static_cast<int>(link.place)] = true;
  std::string places;
  for (int place : {0, 2, 1}) {
    if (!seen[place]) continue;
    if (!places.empty()) places += ", ";
    places += kPlaceNames[place];
  }
  const bool one = found.size() == 1;
  return std::to_string(found.size()) + (one ? " shortcut starts " : " shortcuts start ") +
         PathFileName(program) + " (" + places + "). Start " + (one ? "it" : "them") +
         " through Tarnwick with this profile?";
}

std::string AdoptionNotice(const AdoptionReport& report) {
  std::string text;
  for (const std::string& problem : report.problems) {
    if (!text.empty()) text += "\r\n";
    text += problem;
  }
  if (report.kept > 0) {
    text += "\r\nTarnwick keeps what they held: \"tarnwick-cli unadopt --all\" puts them back "
            "once they can be written.";
  }
  return text;
}

}  // namespace tw
