// Adopting a game's own shortcuts: the Start menu, Quick Launch and desktop
// links whose target is a profile's program are pointed at Tarnwick with the
// profile's name, so the icons people already use run the profile. What each
// link held is recorded, so that it can be put back exactly.
//
// The record is the only way back, so it exists as long as a link starts
// Tarnwick because Tarnwick adopted it: under the profile (kAdoptedLinksKey,
// one numbered subkey per link) and, for links that could not be put back or
// whose profile is being renamed, in the kept place (kKeptLinksKey), which
// names the profile. Each step writes the new record before the link changes
// and deletes the old one only after, so a kill anywhere leaves at most a
// record too many, which a later put-back drops.
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

// One adopted link as recorded: its file, what it held before, the Tarnwick
// executable it was pointed at, the profile it starts.
struct AdoptedLink {
  std::string file;
  LinkFields original;
  std::string tarnwick;
  std::string profile;
  std::string entry;  // the record's key
};

struct AdoptionReport {
  std::vector<std::string> changed;   // files written
  std::vector<std::string> problems;  // one line each: what was left alone and why
  bool failed = false;                // nothing of the command was kept
  int kept = 0;  // links that still start Tarnwick, their records kept for a later try
};

// The links in `links`' folders whose target is `program`: the same file in
// any letter case and in its long or short form. None when `program` is
// Tarnwick itself.
std::vector<FoundLink> FindProgramLinks(ShellLinks& links, const std::string& program,
                                        const std::string& tarnwick);

// "2 shortcuts start GAME.EXE (Start menu, desktop). Start them through
// Tarnwick with this profile?"
std::string AdoptQuestion(const std::vector<FoundLink>& found, const std::string& program);

// The notice after a put-back: what was left alone, and that the records of
// links still starting Tarnwick are kept. Empty when there is nothing to say.
std::string AdoptionNotice(const AdoptionReport& report);

class LinkAdoption {
 public:
  // `tarnwick`: this installation's tray program, which adopted links start.
  LinkAdoption(RegistryHandle& programRegistry, ShellLinks& links, std::string tarnwick);

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
  // The link files of every record, kept ones too.
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
  int LastEntry(const std::string& place);
  std::vector<AdoptedLink> Entries(const std::string& place, const std::string& profile);
  std::vector<AdoptedLink> Kept(const std::string* profile);
  std::string NewEntry(const std::string& place);
  void WriteEntry(const std::string& entry, const AdoptedLink& link);
  void DeleteEntry(const std::string& entry);
  void Keep(const AdoptedLink& link);
  void Rollback(const std::vector<AdoptedLink>& written, AdoptionReport* report);

  RegistryHandle& reg_;
  ShellLinks& links_;
  std::string tarnwick_;
};

}  // namespace tw
