#include "store/link_adoption.h"

#include <cstdlib>

#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

// A Start menu of a well-used machine holds a few thousand links; this bounds
// a search of a runaway folder tree.
constexpr size_t kMaxLinksPerFolder = 10000;
constexpr int kMaxEntry = 65535;

// The registry values of a link's record that hold what the link was, in
// the order they are written: between its "File" and its "Tarnwick".
struct TextValue {
  const char* name;
  std::string LinkFields::*field;
};
constexpr TextValue kTextValues[] = {
    {"Target", &LinkFields::target},
    {"Arguments", &LinkFields::arguments},
    {"Directory", &LinkFields::workingDirectory},
    {"Icon", &LinkFields::iconFile},
};
struct NumberValue {
  const char* name;
  int LinkFields::*field;
};
constexpr NumberValue kNumberValues[] = {
    {"Icon Index", &LinkFields::iconIndex},
    {"Show", &LinkFields::showCommand},
};

std::string Trimmed(const std::string& text) {
  const std::string::size_type first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A folder path compares without its trailing backslashes; "C:\\" keeps its own.
std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string Quoted(const std::string& profile) { return "\"" + profile + "\""; }

std::string FileName(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One line of a report: the link's file, then what became of it.
void Problem(AdoptionReport* report, const std::string& file, const std::string& what) {
  report->problems.push_back(file + what);
}

// The profile's parameters already pass `args` when they end with them.
bool Carries(const std::string& parameters, const std::string& args) {
  if (args.empty() || parameters == args) return true;
  return parameters.size() > args.size() &&
         parameters.compare(parameters.size() - args.size(), args.size(), args) == 0 &&
         parameters[parameters.size() - args.size() - 1] == ' ';
}

}  // namespace

std::vector<FoundLink> FindProgramLinks(ShellLinks& links, const std::string& program) {
  std::vector<FoundLink> found;
  const std::string wanted = links.PathKey(program);
  for (const LinkFolder& folder : links.Folders()) {
    for (const std::string& file : links.FindLinks(folder.path, kMaxLinksPerFolder)) {
      LinkFields fields;
      if (links.ReadLink(file, &fields) && !fields.target.empty() &&
          links.PathKey(fields.target) == wanted) {
        found.push_back({file, folder.place, fields});
      }
    }
  }
  return found;
}

std::string AdoptQuestion(const std::vector<FoundLink>& found, const std::string& program) {
  bool startMenu = false, desktop = false;
  for (const FoundLink& link : found) {
    (link.place == LinkPlace::StartMenu ? startMenu : desktop) = true;
  }
  const char* const places = startMenu && desktop ? "Start menu, desktop"
                               : startMenu          ? "Start menu"
                                                    : "desktop";
  const bool one = found.size() == 1;
  return std::to_string(found.size()) + (one ? " shortcut starts " : " shortcuts start ") +
         FileName(program) + " (" + places + "). Start " + (one ? "it" : "them") +
         " through Tarnwick with this profile?";
}

LinkAdoption::LinkAdoption(RegistryHandle& programRegistry, ShellLinks& links,
                           std::string tarnwick)
    : reg_(programRegistry), links_(links), tarnwick_(std::move(tarnwick)) {}

LinkFields LinkAdoption::AdoptedForm(const LinkFields& original, const std::string& profile,
                                     const std::string& tarnwick) {
  LinkFields adopted = original;  // the show command stays the link's own
  adopted.target = tarnwick;
  adopted.arguments = Quoted(profile);
  adopted.workingDirectory = tarnwick.substr(0, tarnwick.find_last_of('\\') + 1);
  // A link without an icon of its own shows its target's first icon.
  if (original.iconFile.empty()) {
    adopted.iconFile = original.target;
    adopted.iconIndex = 0;
  }
  return adopted;
}

// Ours while it is still exactly what adopting wrote, for this profile; a
// new icon, folder or window state means someone has changed it since, and
// putting the old link back would undo their change.
bool LinkAdoption::IsAdoptedFor(const LinkFields& current, const AdoptedLink& adopted,
                                const std::string& profile) {
  const LinkFields expected = AdoptedForm(adopted.original, profile, adopted.tarnwick);
  const auto samePath = [this](const std::string& a, const std::string& b) {
    return links_.PathKey(WithoutTrailingBackslash(a)) ==
           links_.PathKey(WithoutTrailingBackslash(b));
  };
  return samePath(current.target, expected.target) &&
         AsciiUpper(Trimmed(current.arguments)) == AsciiUpper(expected.arguments) &&
         samePath(current.workingDirectory, expected.workingDirectory) &&
         samePath(current.iconFile, expected.iconFile) && current.iconIndex == expected.iconIndex &&
         current.showCommand == expected.showCommand;
}

std::vector<std::string> LinkAdoption::EntryNames(const std::string& profile) {
  ScopedKey key(reg_, ProfileGroupPath(profile, kAdoptedLinksKey), false);
  return key ? reg_.GetKeyNames() : std::vector<std::string>();
}

void LinkAdoption::WriteEntry(const std::string& profile, const std::string& entry,
                              const AdoptedLink& link) {
  ScopedKey key(reg_, JoinKeyPath(ProfileGroupPath(profile, kAdoptedLinksKey), entry), true);
  reg_.WriteString("File", link.file);
  for (const TextValue& value : kTextValues) reg_.WriteString(value.name, link.original.*value.field);
  for (const NumberValue& value : kNumberValues) {
    reg_.WriteInteger(value.name, link.original.*value.field);
  }
  reg_.WriteString("Tarnwick", link.tarnwick);
}

void LinkAdoption::DeleteEntry(const std::string& profile, const std::string& entry) {
  const std::string record = ProfileGroupPath(profile, kAdoptedLinksKey);
  reg_.DeleteKey(JoinKeyPath(record, entry));
  bool empty;
  {
    ScopedKey key(reg_, record, false);
    empty = key && reg_.GetKeyNames().empty();
  }
  if (empty) reg_.DeleteKey(record);
}

int LinkAdoption::LastEntry(const std::string& profile) {
  int last = 0;
  for (const std::string& entry : EntryNames(profile)) {
    const long number = std::strtol(entry.c_str(), nullptr, 10);
    // Only this program numbers the entries; a stray name is not one of them.
    if (number > last && number <= kMaxEntry) last = static_cast<int>(number);
  }
  return last;
}

std::string LinkAdoption::NextEntry(const std::string& profile) {
  return std::to_string(LastEntry(profile) + 1);
}

std::vector<AdoptedLink> LinkAdoption::List(const std::string& profile) {
  // By number, the order they were adopted; the registry lists subkeys in its own.
  const int last = LastEntry(profile);
  std::vector<AdoptedLink> links;
  for (int number = 1; number <= last; ++number) {
    AdoptedLink link;
    link.entry = std::to_string(number);
    ScopedKey key(reg_, JoinKeyPath(ProfileGroupPath(profile, kAdoptedLinksKey), link.entry),
                  false);
    if (!key) continue;
    link.file = reg_.ReadString("File");
    for (const TextValue& value : kTextValues) link.original.*value.field = reg_.ReadString(value.name);
    for (const NumberValue& value : kNumberValues) {
      if (reg_.HasInteger(value.name)) link.original.*value.field = reg_.ReadInteger(value.name);
    }
    link.tarnwick = reg_.ReadString("Tarnwick");
    links.push_back(link);
  }
  return links;
}

void LinkAdoption::Record(const std::string& profile, const std::vector<AdoptedLink>& adopted) {
  for (const AdoptedLink& link : adopted) WriteEntry(profile, NextEntry(profile), link);
}

AdoptionReport LinkAdoption::Adopt(const std::string& profile,
                                   const std::vector<FoundLink>& found) {
  AdoptionReport report;
  std::string parameters;
  {
    ScopedKey key(reg_, ProfileKeyPath(profile), false);
    if (!key) {
      report.failed = true;
      report.problems.push_back("No profile named '" + profile + "'");
      return report;
    }
    parameters = Trimmed(reg_.ReadString("Parameters"));
  }

  // A link's own arguments must still reach the game, through the profile's
  // parameters, which every adopted link shares. Links the parameters carry
  // already come first; failing those, the largest group of links with the
  // same arguments, whose arguments are then appended.
  std::string appended;
  bool anyCarried = false;
  size_t largest = 0;
  for (const FoundLink& link : found) {
    const std::string args = Trimmed(link.fields.arguments);
    if (Carries(parameters, args)) anyCarried = true;
    size_t same = 0;
    for (const FoundLink& other : found) same += Trimmed(other.fields.arguments) == args;
    if (same > largest) {
      largest = same;
      appended = args;
    }
  }
  if (anyCarried) appended.clear();

  std::vector<AdoptedLink> written;
  std::string pending;  // an entry being written, before its link is tried
  std::string failure;
  try {
    for (const FoundLink& link : found) {
      const std::string args = Trimmed(link.fields.arguments);
      if (!Carries(parameters, args) && args != appended) {
        Problem(&report, link.file,
                ": left alone, its arguments \"" + args + "\" differ from the other shortcuts'");
        continue;
      }
      // Recorded before it is changed, so no change is ever without its record.
      const std::string entry = pending = NextEntry(profile);
      const AdoptedLink adopted{link.file, link.fields, tarnwick_, entry};
      WriteEntry(profile, entry, adopted);
      const LinkWrite result = links_.WriteLink(link.file, AdoptedForm(link.fields, profile, tarnwick_));
      pending.clear();
      if (result == LinkWrite::Written) {
        written.push_back(adopted);
        report.changed.push_back(link.file);
        continue;
      }
      DeleteEntry(profile, entry);
      if (result == LinkWrite::ReadOnly) {
        Problem(&report, link.file, ": read-only, left alone");
        continue;
      }
      failure = link.file + " could not be written";
      break;
    }
    if (failure.empty() && !appended.empty() && !written.empty()) {
      ScopedKey key(reg_, ProfileKeyPath(profile), false);
      reg_.WriteString("Parameters", parameters.empty() ? appended : parameters + " " + appended);
    }
  } catch (const RegistryError& error) {
    failure = error.what();
  }
  if (failure.empty()) return report;

  // Half-way: every link goes back as it was, and the record with it.
  report.failed = true;
  report.changed.clear();
  report.problems.clear();
  report.problems.push_back(failure + "; the shortcuts were put back as they were");
  for (const AdoptedLink& link : written) {
    if (links_.WriteLink(link.file, link.original) != LinkWrite::Written) {
      Problem(&report, link.file, " could not be put back");
    }
  }
  try {
    if (!pending.empty()) DeleteEntry(profile, pending);
    for (const AdoptedLink& link : written) DeleteEntry(profile, link.entry);
  } catch (const RegistryError&) {
  }
  return report;
}

AdoptionReport LinkAdoption::Unadopt(const std::string& profile) {
  AdoptionReport report;
  for (const AdoptedLink& link : List(profile)) {
    LinkFields current;
    bool keep = false;
    if (!links_.ReadLink(link.file, &current)) {
      Problem(&report, link.file, ": deleted since it was adopted, left alone");
    } else if (IsAdoptedFor(current, link, profile)) {
      const LinkWrite result = links_.WriteLink(link.file, link.original);
      keep = result != LinkWrite::Written;
      if (!keep) {
        report.changed.push_back(link.file);
      } else {
        Problem(&report, link.file,
                result == LinkWrite::ReadOnly ? ": read-only, left alone"
                                              : ": could not be written, left alone");
      }
    } else if (current != link.original) {
      Problem(&report, link.file, ": changed since it was adopted, left alone");
    }
    // Kept only while it can still be put back by a later try.
    if (!keep) DeleteEntry(profile, link.entry);
  }
  return report;
}

AdoptionReport LinkAdoption::UnadoptAll(const std::vector<std::string>& profiles) {
  AdoptionReport all;
  for (const std::string& profile : profiles) {
    AdoptionReport one = Unadopt(profile);
    for (const std::string& file : one.changed) all.changed.push_back(file);
    for (const std::string& problem : one.problems) all.problems.push_back(problem);
  }
  return all;
}

std::vector<AdoptedLink> LinkAdoption::Follow(const std::string& from, const std::string& to,
                                              AdoptionReport* report) {
  std::vector<AdoptedLink> moved;
  for (const AdoptedLink& link : List(from)) {
    LinkFields current;
    if (!links_.ReadLink(link.file, &current) || !IsAdoptedFor(current, link, from)) {
      Problem(report, link.file, ": changed since it was adopted, left alone");
      continue;
    }
    current.arguments = Quoted(to);
    if (links_.WriteLink(link.file, current) == LinkWrite::Written) {
      moved.push_back(link);
      report->changed.push_back(link.file);
    } else {
      Problem(report, link.file, ": could not be written, it still starts " + from);
    }
  }
  return moved;
}

}  // namespace tw
