// The shell link files a game's installer left in the Start menu and on the
// desktop: where they are, what they hold, and writing them safely.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// All of a link that a restore has to give back, as the shell reads it.
struct LinkFields {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  std::string iconFile;
  int iconIndex = 0;
  int showCommand = 1;  // SW_SHOWNORMAL

  bool operator==(const LinkFields& other) const {
    return target == other.target && arguments == other.arguments &&
           workingDirectory == other.workingDirectory && iconFile == other.iconFile &&
           iconIndex == other.iconIndex && showCommand == other.showCommand;
  }
  bool operator!=(const LinkFields& other) const { return !(*this == other); }
};

enum class LinkPlace { StartMenu, Desktop, QuickLaunch };

struct LinkFolder {
  LinkPlace place;
  std::string path;  // without a trailing backslash
  bool subfolders = true;  // the Start menu's top level is searched alone
  bool allUsers = false;   // every account's Start menu or desktop
};

enum class LinkWrite { Written, ReadOnly, Failed };

// Gone: the file or its folder is not there. Unreadable: anything else (held
// open, a COM failure, a folder on a drive that is offline); the link may
// well be there, so what is known of it must not be dropped.
enum class LinkRead { Read, Gone, Unreadable };

// A failed look-up of a link file by its system error code: only "not
// found" on a drive that answers means the link is gone.
inline LinkRead ReadFailure(uint32_t systemError, bool rootReachable) {
  const bool notFound = systemError == 2 || systemError == 3;  // file, path not found
  return notFound && rootReachable ? LinkRead::Gone : LinkRead::Unreadable;
}

class ShellLinks {
 public:
  virtual ~ShellLinks() = default;
  // The user's and all users' Start menu programs and desktop folders that
  // this system has, Start menu first.
  virtual std::vector<LinkFolder> Folders() = 0;
  // The .lnk files in `folder` (and its subfolders when it has them), at
  // most `limit` of them. A write cut off there is settled first.
  virtual std::vector<std::string> FindLinks(const LinkFolder& folder, size_t limit) = 0;
  // A link to something that is not a file reads with an empty target.
  virtual LinkRead ReadLink(const std::string& file, LinkFields* fields) = 0;
  // Changes the fields of the existing link `file`, keeping the rest of it.
  // The new link is saved beside it and replaces it only once saved whole.
  virtual LinkWrite WriteLink(const std::string& file, const LinkFields& fields) = 0;
  // A write of `file` cut off between its two moves (a kill, a power loss)
  // leaves the link only as "FILE.tw-old" or "FILE.tw-new" beside it: the
  // write is finished when the new link was saved whole, else rolled back.
  virtual void Settle(const std::string& file) = 0;
  // Deletes the link file; true also when it is gone already.
  virtual bool RemoveLink(const std::string& file) = 0;
  // A form of `path` that is equal for every way of writing the same file:
  // letter case, long or short (8.3) names.
  virtual std::string PathKey(const std::string& path) = 0;
};

}  // namespace tw
