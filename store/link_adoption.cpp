#include "store/link_adoption.h"

#include <cstdlib>

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

std::string Trimmed(const std::string& text) {
  const std::string::size_type first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A folder path compares without its trailing backslashes; "C:\\" keeps its own.
std::string WithoutTrailingBackslash(const std::string& path) {
  return WithoutTrailing(path, '\\', 3);
}

std::string Quoted(const std::string& profile) { return "\"" + profile + "\""; }

bool SameText(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

// Tarnwick finds a profile by its name in any letter case, quoted or not.
bool NamesProfile(const std::string& arguments, const std::string& profile) {
  const std::string args = Trimmed(arguments);
  return SameText(args, Quoted(profile)) || SameText(args, profile);
}

// One line of a report: the link's file, then what became of it.
void Problem(AdoptionReport* report, const std::string& file, const std::string& what) {
  report->problems.push_back(file + what);
}

std::string RecordOf(const std::string& profile) {
  return ProfileGroupPath(profile, kAdoptedLinksKey);
}

bool InPlace(const std::string& entry, const char* place) {
  const std::string normal = RegistryHandle::NormalizePath(place);
  const std::string path = RegistryHandle::NormalizePath(entry);
  return SameText(path.substr(0, normal.size()), normal);
}

bool InKeptPlace(const std::string& entry) { return InPlace(entry, kKeptLinksKey); }
bool IsShared(const std::string& entry) { return InPlace(entry, kSharedLinksKey); }

std::string ArgumentsOf(const FoundLink& link) { return Trimmed(link.fields.arguments); }

// The first of the largest group of links that agree: on their arguments,
// or, given `args`, on the "Start in" folder of the links that have those
// (an empty one names none).
std::string LargestGroup(const std::vector<FoundLink>& links, const std::string* args) {
  const auto key = [args](const FoundLink& link) {
    if (!args) return ArgumentsOf(link);
    return ArgumentsOf(link) == *args
               ? AsciiUpper(WithoutTrailingBackslash(link.fields.workingDirectory))
               : std::string();
  };
  std::string chosen;
  size_t largest = 0;
  for (const FoundLink& link : links) {
    const std::string mine = key(link);
    if (args && mine.empty()) continue;
    size_t same = 0;
    for (const FoundLink& other : links) same += key(other) == mine;
    if (same > largest) {
      largest = same;
      chosen = args ? WithoutTrailingBackslash(link.fields.workingDirectory) : mine;
    }
  }
  return chosen;
}

}  // namespace

LinkAdoption::LinkAdoption(RegistryHandle& programRegistry, ShellLinks& links,
                           std::string tarnwick)
    : reg_(programRegistry), machine_(nullptr), links_(links), tarnwick_(std::move(tarnwick)) {}

LinkAdoption::LinkAdoption(RegistryHandle& programRegistry, RegistryHandle& machineRegistry,
                           ShellLinks& links, std::string tarnwick)
    : reg_(programRegistry),
      machine_(&machineRegistry),
      links_(links),
      tarnwick_(std::move(tarnwick)) {}

// Looked up only when the names could be one file's: a look-up on a network
// drive that is gone can take minutes.
bool LinkAdoption::SamePath(const std::string& a, const std::string& b) {
  const std::string first = WithoutTrailingBackslash(a), second = WithoutTrailingBackslash(b);
  if (SameText(first, second)) return true;
  const std::string name = PathFileName(first), other = PathFileName(second);
  if (!SameText(name, other) && FindChar(name, '~') == std::string::npos &&
      FindChar(other, '~') == std::string::npos) {
    return false;
  }
  return links_.PathKey(first) == links_.PathKey(second);
}

// The Tarnwick it was pointed at, or this one (a relink cut off half-way).
bool LinkAdoption::StartsTarnwick(const LinkFields& current, const AdoptedLink& adopted) {
  return (!adopted.tarnwick.empty() && SamePath(current.target, adopted.tarnwick)) ||
         (!tarnwick_.empty() && SamePath(current.target, tarnwick_));
}

bool LinkAdoption::StartsProfile(const LinkFields& current, const AdoptedLink& adopted,
                                 const std::string& profile) {
  return NamesProfile(current.arguments, profile) && StartsTarnwick(current, adopted);
}

// What adopting changed goes back; what someone changed since stays: the
// window state, an icon or "Start in" of their own (and the hot key and
// comment, which the write keeps).
LinkFields LinkAdoption::PutBackForm(const LinkFields& current, const AdoptedLink& adopted) {
  LinkFields back = current;
  back.target = adopted.original.target;
  back.arguments = adopted.original.arguments;
  if (SamePath(current.workingDirectory, PathFolder(adopted.tarnwick)) ||
      SamePath(current.workingDirectory, PathFolder(tarnwick_))) {
    back.workingDirectory = adopted.original.workingDirectory;
  }
  if (adopted.original.iconFile.empty() && current.iconIndex == 0 &&
      SamePath(current.iconFile, adopted.original.target)) {
    back.iconFile = adopted.original.iconFile;
    back.iconIndex = adopted.original.iconIndex;
  }
  return back;
}

RegistryHandle& LinkAdoption::RegistryOf(const std::string& place) {
  return IsShared(place) && machine_ ? *machine_ : reg_;
}

std::vector<AdoptedLink> LinkAdoption::Entries(const std::string& place,
                                               const std::string& profile) {
  return ReadRecords(RegistryOf(place), place, profile);
}

// The kept records, all of them or those of one profile.
std::vector<AdoptedLink> LinkAdoption::Kept(const std::string* profile) {
  std::vector<AdoptedLink> kept;
  for (const AdoptedLink& link : Entries(kKeptLinksKey, std::string())) {
    if (!profile || SameText(link.profile, *profile)) kept.push_back(link);
  }
  return kept;
}

std::vector<AdoptedLink> LinkAdoption::Shared() {
  return machine_ ? Entries(kSharedLinksKey, std::string()) : std::vector<AdoptedLink>();
}

std::vector<AdoptedLink> LinkAdoption::List(const std::string& profile) {
  std::vector<AdoptedLink> links = Entries(RecordOf(profile), profile);
  for (const AdoptedLink& link : Kept(&profile)) links.push_back(link);
  return links;
}

std::string LinkAdoption::NewEntry(const std::string& place) {
  return NewRecord(RegistryOf(place), place);
}

void LinkAdoption::WriteEntry(const std::string& entry, const AdoptedLink& link) {
  WriteRecord(RegistryOf(entry), entry, link, InKeptPlace(entry) || IsShared(entry));
}

void LinkAdoption::DeleteEntry(const std::string& entry) { DeleteRecord(RegistryOf(entry), entry); }

void LinkAdoption::Drop(const AdoptedLink& link) {
  DeleteEntry(link.entry);
  if (IsShared(link.entry)) return;
  for (const AdoptedLink& shared : Shared()) {
    if (SameText(shared.profile, link.profile) && SamePath(shared.file, link.file)) {
      DeleteEntry(shared.entry);
    }
  }
}

void LinkAdoption::UpdateShared(const std::string& file, const std::string& profile,
                                const std::string& tarnwick) {
  for (AdoptedLink shared : Shared()) {
    if (!SamePath(shared.file, file)) continue;
    shared.profile = profile;
    shared.tarnwick = tarnwick;
    WriteEntry(shared.entry, shared);
  }
}

// A record outlives its profile in the kept place: written there first, so
// one of the two always exists.
void LinkAdoption::Keep(const AdoptedLink& link) {
  if (InKeptPlace(link.entry) || IsShared(link.entry)) return;
  WriteEntry(NewEntry(kKeptLinksKey), link);
  DeleteEntry(link.entry);
}

// Why `link` would start the game otherwise than with `args` (none: any) in
// `start` (empty: any); empty when it would not. An empty "Start in" names
// no folder.
std::string LinkAdoption::Mismatch(const FoundLink& link, const std::string* args,
                                   const std::string& start) {
  const std::string own = ArgumentsOf(link);
  if (args && own != *args) {
    return ": left alone, its arguments \"" + own + "\" differ from the profile's \"" + *args + "\"";
  }
  const std::string& folder = link.fields.workingDirectory;
  if (!folder.empty() && !start.empty() && !SamePath(folder, start)) {
    return ": left alone, it starts in " + folder + ", not in the profile's folder " + start;
  }
  return std::string();
}

// Reads the recorded link, a cut-off write settled first. True when it still
// starts Tarnwick with the record's profile or with `alsoProfile`; otherwise
// it is no longer Tarnwick's to change: its record goes, and the report says
// so unless the link is already back as it was. A link that cannot be read
// now keeps its record for a later try.
bool LinkAdoption::StillAdopted(const AdoptedLink& link, const std::string& alsoProfile,
                                LinkFields* current, AdoptionReport* report) {
  // An entry cut off while it was written: its link was never changed.
  if (!link.tarnwick.empty()) {
    links_.Settle(link.file);
    const LinkRead read = links_.ReadLink(link.file, current);
    if (read == LinkRead::Unreadable) {
      Problem(report, link.file, ": could not be read, left alone");
      ++report->kept;
      Keep(link);
      return false;
    }
    if (read == LinkRead::Gone) {
      Problem(report, link.file, ": deleted since it was adopted, left alone");
    } else if (StartsProfile(*current, link, link.profile) ||
               StartsProfile(*current, link, alsoProfile)) {
      return true;
    } else if (*current != link.original && !RenameCutOff(link, *current)) {
      Problem(report, link.file,
              ": no longer starts Tarnwick with \"" + link.profile + "\", left alone");
    }
  }
  Drop(link);
  return false;
}

// A rename cut off before it wrote the link leaves the new name's record and
// a link that still starts the old name, whose kept record puts it back.
bool LinkAdoption::RenameCutOff(const AdoptedLink& link, const LinkFields& current) {
  if (InKeptPlace(link.entry) || !StartsTarnwick(current, link)) return false;
  for (const AdoptedLink& kept : Kept(nullptr)) {
    if (SameText(kept.file, link.file) && NamesProfile(current.arguments, kept.profile)) return true;
  }
  return false;
}

void LinkAdoption::PutBack(const AdoptedLink& link, AdoptionReport* report) {
  LinkFields current;
  if (!StillAdopted(link, link.profile, &current, report)) return;
  const LinkWrite result = links_.WriteLink(link.file, PutBackForm(current, link));
  if (result == LinkWrite::Written) {
    report->changed.push_back(link.file);
    Drop(link);
    return;
  }
  Problem(report, link.file,
          result == LinkWrite::ReadOnly ? ": read-only, left alone"
                                        : ": could not be written, left alone");
  ++report->kept;
  Keep(link);
}

AdoptionReport LinkAdoption::Adopt(const std::string& profile,
                                   const std::vector<FoundLink>& found) {
  AdoptionReport report;
  std::string parameters, folder;
  {
    ScopedKey key(reg_, ProfileKeyPath(profile), false);
    if (!key) {
      report.failed = true;
      report.problems.push_back("No profile named '" + profile + "'");
      return report;
    }
    parameters = Trimmed(reg_.ReadString("Parameters"));
    folder = reg_.ReadString("Directory");
  }

  // A link is adopted only when the profile starts the game as the link did.
  // What the profile lacks comes from the largest group of links that agree.
  std::vector<FoundLink> fitting;
  for (const FoundLink& link : found) {
    const std::string why = Mismatch(link, parameters.empty() ? nullptr : &parameters, folder);
    if (why.empty()) {
      fitting.push_back(link);
    } else {
      Problem(&report, link.file, why);
    }
  }
  const std::string args = parameters.empty() ? LargestGroup(fitting, nullptr) : parameters;
  const std::string start = folder.empty() ? LargestGroup(fitting, &args) : folder;

  std::vector<AdoptedLink> written;
  std::string pending;  // an entry being written, before its link is tried
  std::string failure;
  try {
    for (const FoundLink& link : fitting) {
      const std::string why = Mismatch(link, &args, start);
      if (!why.empty()) {
        Problem(&report, link.file, why);
        continue;
      }
      // Recorded before it is changed, so no change is ever without its record.
      AdoptedLink adopted{link.file, link.fields, tarnwick_, profile, ""};
      adopted.entry = pending = NewEntry(RecordOf(profile));
      WriteEntry(adopted.entry, adopted);
      // Every account starts an all-users link: what it held must be where
      // every account can read it, or the link stays as it is.
      if (link.allUsers && !ShareRecord(adopted)) {
        DeleteEntry(adopted.entry);
        pending.clear();
        Problem(&report, link.file,
                ": left alone, it serves every account and the machine's part of the registry "
                "cannot be written");
        continue;
      }
      LinkFields form = link.fields;  // the window state stays the link's own
      form.target = tarnwick_;
      form.arguments = Quoted(profile);
      form.workingDirectory = PathFolder(tarnwick_);
      // A link without an icon of its own shows its target's first icon.
      if (link.fields.iconFile.empty()) {
        form.iconFile = link.fields.target;
        form.iconIndex = 0;
      }
      const LinkWrite result = links_.WriteLink(link.file, form);
      if (result == LinkWrite::Written) {
        pending.clear();
        written.push_back(adopted);
        report.changed.push_back(link.file);
        continue;
      }
      Drop(adopted);
      pending.clear();
      if (result == LinkWrite::ReadOnly) {
        Problem(&report, link.file, ": read-only, left alone");
        continue;
      }
      failure = link.file + " could not be written";
      break;
    }
    if (failure.empty() && !written.empty()) {
      ScopedKey key(reg_, ProfileKeyPath(profile), false);
      if (parameters.empty() && !args.empty()) reg_.WriteString("Parameters", args);
      if (folder.empty() && !start.empty()) reg_.WriteString("Directory", start);
    }
  } catch (const RegistryError& error) {
    failure = error.what();
  }
  if (failure.empty()) return report;

  // Half-way: every link goes back as it was, and its record with it.
  report.failed = true;
  report.changed.clear();
  report.problems.clear();
  report.problems.push_back(failure + "; the shortcuts were put back as they were");
  try {
    // An entry cut off while it was written names no changed link.
    if (!pending.empty()) DeleteEntry(pending);
  } catch (const RegistryError&) {
  }
  Rollback(written, &report);
  return report;
}

bool LinkAdoption::ShareRecord(const AdoptedLink& link) {
  if (!machine_) return false;
  std::string entry;
  try {
    entry = NewEntry(kSharedLinksKey);
    WriteEntry(entry, link);
    return true;
  } catch (const RegistryError&) {
    try {
      // A part written before the refusal lacks "Tarnwick": no start reads it.
      if (!entry.empty()) DeleteEntry(entry);
    } catch (const RegistryError&) {
    }
    return false;
  }
}

// A link that cannot be put back keeps its record under the profile.
void LinkAdoption::Rollback(const std::vector<AdoptedLink>& written, AdoptionReport* report) {
  for (const AdoptedLink& link : written) {
    if (links_.WriteLink(link.file, link.original) != LinkWrite::Written) {
      Problem(report, link.file, " could not be put back");
      ++report->kept;
      continue;
    }
    try {
      Drop(link);
    } catch (const RegistryError&) {
      // A record too many: the next put-back finds the link already back.
    }
  }
}

AdoptionReport LinkAdoption::Unadopt(const std::string& profile) {
  AdoptionReport report;
  // Listed first: a link this run cannot write joins them, and is tried once.
  const std::vector<AdoptedLink> kept = Kept(&profile);
  for (const AdoptedLink& link : Entries(RecordOf(profile), profile)) PutBack(link, &report);
  for (const AdoptedLink& link : kept) PutBack(link, &report);
  return report;
}

// Every profile key, listed here: a listing the registry refuses must stop
// a removal rather than pass for "no profiles".
std::vector<std::string> LinkAdoption::Profiles() {
  std::vector<std::string> names;
  ScopedKey key(reg_, kProgramKey, false);
  if (key.Refused() || (key && !reg_.ListKeyNames(&names))) {
    throw RegistryError::GetFailed(kProgramKey);
  }
  return names;
}

AdoptionReport LinkAdoption::UnadoptAllUsers() {
  AdoptionReport report;
  for (const AdoptedLink& link : Shared()) PutBack(link, &report);
  return report;
}

AdoptionReport LinkAdoption::UnadoptAll() {
  AdoptionReport all;
  const std::vector<AdoptedLink> kept = Kept(nullptr);
  for (const std::string& profile : Profiles()) {
    for (const AdoptedLink& link : Entries(RecordOf(profile), profile)) PutBack(link, &all);
  }
  for (const AdoptedLink& link : kept) PutBack(link, &all);
  return all;
}

void LinkAdoption::SetAside(const std::string& profile) {
  for (const AdoptedLink& link : Entries(RecordOf(profile), profile)) Keep(link);
}

AdoptionReport LinkAdoption::Follow(const std::string& from, const std::string& to) {
  AdoptionReport report;
  for (AdoptedLink link : Kept(&from)) {
    LinkFields current;
    if (!StillAdopted(link, to, &current, &report)) continue;
    // Already moved when a rename was cut off after the link's write.
    const bool moved = StartsProfile(current, link, to);
    const std::string keptEntry = link.entry;
    link.profile = to;
    const std::string entry = NewEntry(RecordOf(to));
    WriteEntry(entry, link);
    if (!moved) {
      LinkFields renamed = current;
      renamed.arguments = Quoted(to);
      if (links_.WriteLink(link.file, renamed) != LinkWrite::Written) {
        DeleteEntry(entry);
        Problem(&report, link.file, ": could not be written, it still starts \"" + from + "\"");
        ++report.kept;
        continue;
      }
    }
    UpdateShared(link.file, to, link.tarnwick);
    report.changed.push_back(link.file);
    DeleteEntry(keptEntry);
  }
  return report;
}

AdoptionReport LinkAdoption::Relink(const std::string& oldTarnwick) {
  AdoptionReport report;
  // Other accounts' all-users links too: their tarnwick.exe moves as well.
  std::vector<AdoptedLink> all = Records();
  for (const AdoptedLink& link : all) {
    if (!SamePath(link.tarnwick, oldTarnwick)) continue;
    links_.Settle(link.file);
    LinkFields current;
    const LinkRead read = links_.ReadLink(link.file, &current);
    if (read == LinkRead::Unreadable) {
      Problem(&report, link.file, ": could not be read, it still starts " + oldTarnwick);
      continue;
    }
    if (read == LinkRead::Gone || !NamesProfile(current.arguments, link.profile)) {
      continue;  // the put-back reports it
    }
    if (SamePath(current.target, oldTarnwick)) {
      LinkFields moved = current;
      moved.target = tarnwick_;
      if (SamePath(current.workingDirectory, PathFolder(oldTarnwick))) {
        moved.workingDirectory = PathFolder(tarnwick_);
      }
      // The link first: a record that names either Tarnwick still finds it.
      const LinkWrite result = links_.WriteLink(link.file, moved);
      if (result != LinkWrite::Written) {
        Problem(&report, link.file,
                result == LinkWrite::ReadOnly ? ": read-only, it still starts " + oldTarnwick
                                              : ": could not be written, it still starts " +
                                                    oldTarnwick);
        continue;
      }
      report.changed.push_back(link.file);
    } else if (!SamePath(current.target, tarnwick_)) {
      continue;
    }
    RegistryHandle& reg = RegistryOf(link.entry);
    ScopedKey key(reg, link.entry, false);
    if (key) reg.WriteString("Tarnwick", tarnwick_);
  }
  return report;
}

std::vector<AdoptedLink> LinkAdoption::Records() {
  std::vector<AdoptedLink> all = Kept(nullptr);
  for (const std::string& profile : Profiles()) {
    for (const AdoptedLink& link : Entries(RecordOf(profile), profile)) all.push_back(link);
  }
  for (const AdoptedLink& link : Shared()) all.push_back(link);
  return all;
}

std::vector<std::string> LinkAdoption::RecordedFiles() {
  std::vector<std::string> files;
  for (const AdoptedLink& link : Records()) files.push_back(link.file);
  return files;
}

}  // namespace tw
