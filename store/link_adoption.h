// Adopting a game's own shortcuts: the Start menu, Quick Launch and desktop
// links whose target is a profile's program are pointed at Tarnwick with the
// profile's name, so the icons people already use run the profile. What each
// link held is recorded, so that it can be put back exactly.
//
// The record is the only way back, so it exists as long as a link starts
// Tarnwick because Tarnwick adopted it: under the profile (kAdoptedLinksKey,
// one numbered subkey per link) and, for links that could not be put back or
// whose profile is being renamed, in the kept place (kKeptLinksKey), which
// names the profile. An all-users link is recorded once more in the
// machine's registry (kSharedLinksKey), so that every account can start its
// game as the link did and the uninstaller can put it back. Each step writes the new record before the link changes
// and deletes the old one only after, so a kill anywhere leaves at most a
// record too many, which a later put-back drops.
#pragma once

#include <string>
#include <vector>

#include "platform/shell_links.h"
#include "store/link_search.h"
#include "store/link_records.h"
#include "store/profile_store.h"
#include "store/registry_handle.h"

namespace tw {

class LinkAdoption {
 public:
  // `tarnwick`: this installation's tray program, which adopted links start.
  // Without `machineRegistry` all-users links are not adopted.
  LinkAdoption(RegistryHandle& programRegistry, ShellLinks& links, std::string tarnwick);
  LinkAdoption(RegistryHandle& programRegistry, RegistryHandle& machineRegistry, ShellLinks& links,
               std::string tarnwick);

  // Points `found` at Tarnwick for `profile`. A link is adopted only when it
  // would start the game as before: its arguments are the profile's
  // parameters and its "Start in" the profile's folder. A profile without
  // them takes those of the largest group of links. A write that fails puts
  // back every link already changed.
  AdoptionReport Adopt(const std::string& profile, const std::vector<FoundLink>& found);
  // Puts back the profile's links: the target and arguments, and what else
  // adopting set that nobody changed since. A link that no longer starts
  // Tarnwick with this profile is left alone and reported. A link that
  // cannot be written now keeps its record, in the kept place, so that the
  // profile can go and a later try still finds it.
  AdoptionReport Unadopt(const std::string& profile);
  // Every profile's links, and every kept record.
  AdoptionReport UnadoptAll();
  // Every all-users link adopted by any account, from the machine's records
  // (the uninstaller's part: tarnwick.exe is about to go).
  AdoptionReport UnadoptAllUsers();
  // A rename in two steps around the profile's own writes: before the old
  // profile is deleted its records move to the kept place; once the new one
  // is written its links start it and their records move under it.
  void SetAside(const std::string& profile);
  AdoptionReport Follow(const std::string& from, const std::string& to);
  // An install moved: links adopted for the Tarnwick at `oldTarnwick` start
  // this one.
  AdoptionReport Relink(const std::string& oldTarnwick);
  // The profile's records in both places.
  std::vector<AdoptedLink> List(const std::string& profile);
  // The link files of every record, kept and all users' ones too.
  std::vector<std::string> RecordedFiles();

 private:
  std::vector<std::string> Profiles();
  bool SamePath(const std::string& a, const std::string& b);
  bool StartsTarnwick(const LinkFields& current, const AdoptedLink& adopted);
  bool StartsProfile(const LinkFields& current, const AdoptedLink& adopted,
                     const std::string& profile);
  LinkFields PutBackForm(const LinkFields& current, const AdoptedLink& adopted);
  std::string Mismatch(const FoundLink& link, const std::string* args, const std::string& start);
  bool RenameCutOff(const AdoptedLink& link, const LinkFields& current);
  bool StillAdopted(const AdoptedLink& link, const std::string& alsoProfile, LinkFields* current,
                    AdoptionReport* report);
  void PutBack(const AdoptedLink& link, AdoptionReport* report);
  RegistryHandle& RegistryOf(const std::string& place);
  std::vector<AdoptedLink> Entries(const std::string& place, const std::string& profile);
  std::vector<AdoptedLink> Kept(const std::string* profile);
  std::vector<AdoptedLink> Shared();
  // Every record: kept, under each profile, and the machine's.
  std::vector<AdoptedLink> Records();
  std::string NewEntry(const std::string& place);
  void WriteEntry(const std::string& entry, const AdoptedLink& link);
  void DeleteEntry(const std::string& entry);
  // The link went back or is no longer Tarnwick's: its record goes, and
  // the machine's record of it for the same profile.
  void Drop(const AdoptedLink& link);
  // The machine's records of `file` now start `profile` through `tarnwick`.
  void UpdateShared(const std::string& file, const std::string& profile,
                    const std::string& tarnwick);
  // Writes the machine's record of an all-users link; false when it cannot.
  bool ShareRecord(const AdoptedLink& link);
  void Keep(const AdoptedLink& link);
  void Rollback(const std::vector<AdoptedLink>& written, AdoptionReport* report);

  RegistryHandle& reg_;
  RegistryHandle* machine_;
  ShellLinks& links_;
  std::string tarnwick_;
};

}  // namespace tw
