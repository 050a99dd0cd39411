#include "platform/win32/shell_links_win32.h"

#include "platform/ansi_text.h"

#include "platform/win32/lazy_init.h"
#include "platform/win32/win95_calls.h"

namespace tw {

namespace {

// A Start menu nests a few levels; deeper trees are not searched.
constexpr int kMaxDepth = 8;

bool ToWide(const std::string& text, wchar_t (&wide)[MAX_PATH]) {
  return MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH) > 0;
}

bool EndsWith(const std::string& name, const char* suffix) {
  const size_t length = lstrlenA(suffix);
  return name.size() > length && lstrcmpiA(name.c_str() + name.size() - length, suffix) == 0;
}

bool Exists(const std::string& file) {
  return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeLinkObject(ComPtr<IShellLinkA>& link, ComPtr<IPersistFile>& file) {
  return SUCCEEDED(CreateComObject(CLSID_ShellLink, IID_IShellLinkA, link.OutVoid())) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid()));
}

bool Load(IPersistFile* file, const std::string& path) {
  wchar_t wide[MAX_PATH];
  return ToWide(path, wide) && SUCCEEDED(file->Load(wide, STGM_READ));
}

bool ReadFields(IShellLinkA* link, LinkFields* fields) {
  char target[MAX_PATH] = {}, directory[MAX_PATH] = {}, icon[MAX_PATH] = {};
  char arguments[1024] = {};
  int iconIndex = 0, show = SW_SHOWNORMAL;
  // A link to something that is not a file (a folder of the shell) has no
  // path: it is no game's link, and S_FALSE says so.
  const HRESULT path = link->GetPath(target, MAX_PATH, nullptr, 0);
  if (path != S_OK) target[0] = '\0';
  if (FAILED(path) || FAILED(link->GetArguments(arguments, sizeof arguments)) ||
      FAILED(link->GetWorkingDirectory(directory, MAX_PATH)) ||
      FAILED(link->GetIconLocation(icon, MAX_PATH, &iconIndex)) ||
      FAILED(link->GetShowCmd(&show))) {
    return false;
  }
  fields->target = target;
  fields->arguments = arguments;
  fields->workingDirectory = directory;
  fields->iconFile = icon;
  fields->iconIndex = iconIndex;
  fields->showCommand = show;
  return true;
}

// The shell reads a link it sees change (Wine's menu builder too), and holds
// it open for a moment: a move or delete in that moment fails. A few tries,
// a tenth of a second apart.
template <typename Operation>
bool WhenFree(Operation operation) {
  for (int attempt = 0;; ++attempt) {
    if (operation()) return true;
    const DWORD error = GetLastError();
    if (attempt == 10 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) {
      return false;
    }
    Sleep(100);
  }
}

bool MoveLinkFile(const std::string& from, const std::string& to) {
  return WhenFree([&] { return MoveFileA(from.c_str(), to.c_str()) != FALSE; });
}

bool DeleteLinkFile(const std::string& file) {
  return WhenFree([&] {
    return DeleteFileA(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
  });
}

// A write cut off between its two moves leaves "X.lnk.tw-new" (saved whole
// and read back before the old link stepped aside) or only "X.lnk.tw-old".
// Finishes the write when the new link is there, else rolls it back.
void SettleWrite(const std::string& file) {
  const std::string fresh = file + ".tw-new";
  const std::string old = file + ".tw-old";
  const bool hasFresh = Exists(fresh), hasOld = Exists(old);
  if (!hasFresh && !hasOld) return;
  if (Exists(file)) {
    // Before the first move or after the second: the link is whole.
    if (hasFresh) DeleteLinkFile(fresh);
    if (hasOld) DeleteLinkFile(old);
    return;
  }
  if (hasFresh && MoveLinkFile(fresh, file)) {
    if (hasOld) DeleteLinkFile(old);
    return;
  }
  if (hasOld) MoveLinkFile(old, file);
}

// The .lnk files in `dir` and its subfolders, `depth` levels down (none
// when `maxDepth` is 0), into `found` until it holds `limit`. A folder's
// subfolders are searched after its own links, the last one found first.
void CollectLinks(const std::string& dir, int depth, int maxDepth, size_t limit,
                  std::vector<std::string>* found) {
  std::vector<std::string> subfolders, leftovers;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction could lead back up the tree.
      if (depth < maxDepth && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        subfolders.push_back(dir + "\\" + name);
      }
    } else if (EndsWith(name, ".lnk") && found->size() < limit) {
      found->push_back(dir + "\\" + name);
    } else if (EndsWith(name, ".lnk.tw-new") || EndsWith(name, ".lnk.tw-old")) {
      leftovers.push_back(dir + "\\" + name.substr(0, name.size() - 7));
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  for (const std::string& file : leftovers) {
    bool listed = false;
    for (const std::string& other : *found) listed |= lstrcmpiA(other.c_str(), file.c_str()) == 0;
    SettleWrite(file);
    if (!listed && found->size() < limit && Exists(file)) found->push_back(file);
  }
  for (size_t i = subfolders.size(); i > 0 && found->size() < limit; --i) {
    CollectLinks(subfolders[i - 1], depth + 1, maxDepth, limit, found);
  }
}

}  // namespace

std::optional<std::string> SpecialFolderPath(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return std::nullopt;
  char path[MAX_PATH + 1] = {};
  const BOOL found = SHGetPathFromIDListA(list, path);
  // Freed through the shell's allocator, which needs no COM library loaded.
  IMalloc* shellMalloc = nullptr;
  if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
    shellMalloc->Free(list);
    shellMalloc->Release();
  }
  if (!found || path[0] == '\0') return std::nullopt;
  std::string folder = path;
  return WithoutTrailing(folder, '\\');
}

std::vector<LinkFolder> Win32ShellLinks::Folders() {
  static const struct {
    int csidl;
    LinkPlace place;
    bool subfolders;
    bool allUsers;
    const char* below;
  } kFolders[] = {
      {CSIDL_PROGRAMS, LinkPlace::StartMenu, true, false, ""},
      {CSIDL_COMMON_PROGRAMS, LinkPlace::StartMenu, true, true, ""},
      // The Start menu's own level; its Programs folder is searched above.
      {CSIDL_STARTMENU, LinkPlace::StartMenu, false, false, ""},
      {CSIDL_COMMON_STARTMENU, LinkPlace::StartMenu, false, true, ""},
      {CSIDL_APPDATA, LinkPlace::QuickLaunch, false, false,
       "\\Microsoft\\Internet Explorer\\Quick Launch"},
      {CSIDL_DESKTOPDIRECTORY, LinkPlace::Desktop, true, false, ""},
      {CSIDL_COMMON_DESKTOPDIRECTORY, LinkPlace::Desktop, true, true, ""},
  };
  std::vector<LinkFolder> folders;
  for (const auto& row : kFolders) {
    const std::optional<std::string> found = SpecialFolderPath(row.csidl);
    if (!found) continue;  // Windows 98 without profiles has no all-users folders
    const std::string path = *found + row.below;
    bool seen = false;
    for (const LinkFolder& folder : folders) seen |= lstrcmpiA(folder.path.c_str(), path.c_str()) == 0;
    if (!seen) folders.push_back({row.place, path, row.subfolders, row.allUsers});
  }
  return folders;
}

std::vector<std::string> Win32ShellLinks::FindLinks(const LinkFolder& folder, size_t limit) {
  std::vector<std::string> found;
  CollectLinks(folder.path, 0, folder.subfolders ? kMaxDepth : 0, limit, &found);
  return found;
}

void Win32ShellLinks::Settle(const std::string& file) { SettleWrite(file); }

namespace {

// Whether the drive or share a path lies on answers: "X:\" or "\\server\share\".
// The volume is asked rather than the root folder's attributes, which
// Windows 95 does not give for a share's root.
bool RootReachable(const std::string& path) {
  std::string root = path.substr(0, 3);
  if (path.compare(0, 2, "\\\\") == 0) {
    const std::string::size_type server = FindChar(path, '\\', 2);
    const std::string::size_type share =
        server == std::string::npos ? server : FindChar(path, '\\', server + 1);
    root = share == std::string::npos ? path + "\\" : path.substr(0, share + 1);
  }
  const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool reachable =
      GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
  SetErrorMode(errorMode);
  return reachable;
}

}  // namespace

LinkRead Win32ShellLinks::ReadLink(const std::string& file, LinkFields* fields) {
  // Gone or not is the file system's answer, not the link object's: its
  // load fails alike for a file held open and for one deleted.
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return ReadFailure(error, RootReachable(file));
  }
  if (!reader_ && !MakeLinkObject(reader_, readerFile_)) return LinkRead::Unreadable;
  return Load(readerFile_.operator->(), file) && ReadFields(reader_.operator->(), fields)
             ? LinkRead::Read
             : LinkRead::Unreadable;
}

LinkWrite Win32ShellLinks::WriteLink(const std::string& file, const LinkFields& fields) {
  SettleWrite(file);
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LinkWrite::Failed;
  if (attributes & FILE_ATTRIBUTE_READONLY) return LinkWrite::ReadOnly;
  const std::string fresh = file + ".tw-new";
  const std::string old = file + ".tw-old";
  // The folder decides whether a limited user may write there at all.
  const HANDLE probe = CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_ACCESS_DENIED ? LinkWrite::ReadOnly : LinkWrite::Failed;
  }
  CloseHandle(probe);

  // The link as it is, so what is not changed here (description, hot key)
  // stays; saved beside it, and read back before it takes the link's place.
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> persist;
  wchar_t wide[MAX_PATH];
  LinkFields saved;
  const bool whole =
      MakeLinkObject(link, persist) && Load(persist.operator->(), file) &&
      SUCCEEDED(link->SetPath(fields.target.c_str())) &&
      SUCCEEDED(link->SetArguments(fields.arguments.c_str())) &&
      SUCCEEDED(link->SetWorkingDirectory(fields.workingDirectory.c_str())) &&
      SUCCEEDED(link->SetIconLocation(fields.iconFile.c_str(), fields.iconIndex)) &&
      SUCCEEDED(link->SetShowCmd(fields.showCommand)) && ToWide(fresh, wide) &&
      SUCCEEDED(persist->Save(wide, FALSE)) && ReadLink(fresh, &saved) == LinkRead::Read &&
      saved.arguments == fields.arguments && PathKey(saved.target) == PathKey(fields.target);
  // MoveFileEx cannot replace a file on Windows 98: the old link steps aside
  // first and comes back if the new one cannot take its place. A kill
  // between the moves is put right by SettleWrite.
  if (!whole || !DeleteLinkFile(old) || !MoveLinkFile(file, old)) {
    DeleteLinkFile(fresh);
    return LinkWrite::Failed;
  }
  if (!MoveLinkFile(fresh, file)) {
    MoveLinkFile(old, file);
    DeleteLinkFile(fresh);
    return LinkWrite::Failed;
  }
  DeleteLinkFile(old);
  return LinkWrite::Written;
}

bool Win32ShellLinks::RemoveLink(const std::string& file) { return DeleteLinkFile(file); }

std::string Win32ShellLinks::PathKey(const std::string& path) {
  // A link to an empty floppy or CD drive must not make the system ask for a disk.
  const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  std::string key = LongPathName(path);
  SetErrorMode(errorMode);
  if (key.empty()) key = path;
  if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace tw
