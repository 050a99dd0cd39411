// Adopting a game's own shortcuts: the Start menu and desktop links whose
// target is a profile's program are pointed at Tarnwick with the profile's
// name, so the icons people already use run the profile. What each link held
// is recorded under the profile (kAdoptedLinksKey, one numbered subkey per
// link), so that it can be put back exactly.
#pragma once

#include <string>
#include <vector>

#include "platform/shell_links.h"
#include "store/profile_store.h"
#include "store/registry_handle.h"

namespace tw {

struct FoundLink {
  std::string file;
  LinkPlace place;
  LinkFields fields;
};

// One adopted link as recorded: its file, what it held before, and the
// Tarnwick executable it was pointed at.
struct AdoptedLink {
  std::string file;
  LinkFields original;
  std::string tarnwick;
  std::string entry;  // its subkey in the record
};

struct AdoptionReport {
  std::vector<std::string> changed;   // files written
  std::vector<std::string> problems;  // one line each: what was left alone and why
  bool failed = false;                // nothing of the command was kept
};

// The links in `links`' folders whose target is `program`: the same file in
// any letter case and in its long or short form.
std::vector<FoundLink> FindProgramLinks(ShellLinks& links, const std::string& program);

// "2 shortcuts start GAME.EXE (Start menu, desktop). Start them through
// Tarnwick with this profile?"
std::string AdoptQuestion(const std::vector<FoundLink>& found, const std::string& program);

class LinkAdoption {
 public:
  // `tarnwick`: the tray program's executable, which adopted links start.
  LinkAdoption(RegistryHandle& programRegistry, ShellLinks& links, std::string tarnwick);

  // Points `found` at Tarnwick for `profile`. Links whose own arguments
  // differ from the others' are left alone; the shared arguments are
  // appended to the profile's "Parameters". A write that fails puts back
  // every link already changed.
  AdoptionReport Adopt(const std::string& profile, const std::vector<FoundLink>& found);
  // Puts the recorded links back and clears the record. A link deleted or
  // changed since is left alone and reported.
  AdoptionReport Unadopt(const std::string& profile);
  // Every profile's links.
  AdoptionReport UnadoptAll(const std::vector<std::string>& profiles);
  // A rename: the links of `from` now start `to`. Returns their record, to
  // be stored under `to` with Record once that profile is written.
  std::vector<AdoptedLink> Follow(const std::string& from, const std::string& to,
                                  AdoptionReport* report);
  void Record(const std::string& profile, const std::vector<AdoptedLink>& adopted);
  std::vector<AdoptedLink> List(const std::string& profile);

 private:
  static LinkFields AdoptedForm(const LinkFields& original, const std::string& profile,
                                const std::string& tarnwick);
  bool IsAdoptedFor(const LinkFields& current, const AdoptedLink& adopted,
                    const std::string& profile);
  std::vector<std::string> EntryNames(const std::string& profile);
  int LastEntry(const std::string& profile);
  std::string NextEntry(const std::string& profile);
  void WriteEntry(const std::string& profile, const std::string& entry, const AdoptedLink& link);
  void DeleteEntry(const std::string& profile, const std::string& entry);

  RegistryHandle& reg_;
  ShellLinks& links_;
  std::string tarnwick_;
};

}  // namespace tw
