// Finding a game's own shortcuts, and the texts that ask about them and
// report what became of them.
#pragma once

#include <string>
#include <vector>

#include "platform/shell_links.h"

namespace tw {

struct FoundLink {
  std::string file;
  LinkPlace place;
  LinkFields fields;
  bool allUsers = false;  // in every account's Start menu or desktop
};

struct AdoptionReport {
  std::vector<std::string> changed;   // files written
  std::vector<std::string> problems;  // one line each: what was left alone and why
  std::vector<std::string> left;      // left as they are on purpose, and why
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

}  // namespace tw
