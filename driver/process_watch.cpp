#include "driver/process_watch.h"

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

namespace tw {

namespace {

std::string Comparable(const std::string& path) {
  std::string out = AsciiLower(path);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return WithoutTrailing(out, '\\');
}

}  // namespace

bool IsInFolder(const std::string& file, const std::string& folder) {
  const std::string f = Comparable(file);
  const std::string d = Comparable(folder);
  // A profile without a folder (a bare file name) follows nothing.
  if (d.empty() || f.size() <= d.size()) return false;
  return f.compare(0, d.size(), d) == 0 && f[d.size()] == '\\';
}

std::string FolderOf(const std::string& file) {
  const std::string::size_type slash = FindLastChar(file, "\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

void ProcessWatch::Start(ProcessHandle launched, const std::string& file,
                         const std::string& folder) {
  Stop();
  folder_ = folder;
  if (launched == 0) return;
  watched_.push_back(Watched{launched, processes_.IdOf(launched), file, false});
  pathPending_ = true;
}

// What actually runs may differ from the profile's file (a shortcut, a batch
// file); a later start looks for what runs. Looked up at the first check:
// a snapshot of every process right at the launch slows the game's start.
bool ProcessWatch::ResolveLaunchedPath() {
  if (!pathPending_ || watched_.empty()) return false;
  pathPending_ = false;
  Watched& watched = watched_.front();
  std::vector<ProcessEntry> snapshot;
  if (watched.id == 0 || !processes_.Snapshot(&snapshot)) return false;
  for (const ProcessEntry& entry : snapshot) {
    if (entry.id != watched.id || entry.path.empty() || entry.path == watched.file) continue;
    watched.file = entry.path;
    return true;
  }
  return false;
}

void ProcessWatch::Resume(const std::vector<ProcessEntry>& running, const std::string& folder) {
  Stop();
  folder_ = folder;
  for (const ProcessEntry& entry : running) {
    const ProcessHandle handle = processes_.Open(entry.id);
    if (handle != 0) watched_.push_back(Watched{handle, entry.id, entry.path, true});
  }
}

bool ProcessWatch::Running(const Watched& watched) {
  uint32_t code = 0;
  // An exit code that cannot be read will never read as running again.
  return processes_.ExitCode(watched.handle, &code) && code == kStillActive;
}

bool ProcessWatch::Check(bool* changed) {
  const bool resolved = ResolveLaunchedPath();
  std::vector<Watched> ended;
  std::vector<Watched> still;
  for (Watched& w : watched_) (Running(w) ? still : ended).push_back(std::move(w));
  watched_.swap(still);
  *changed = resolved || !ended.empty();
  if (ended.empty()) return !watched_.empty();

  // The ended processes' handles are still open here, so their ids cannot
  // have passed to other processes yet.
  std::vector<ProcessEntry> snapshot;
  if (processes_.Snapshot(&snapshot)) {
    for (const ProcessEntry& entry : snapshot) {
      bool child = false;
      for (const Watched& w : ended) child = child || (w.id != 0 && entry.parentId == w.id);
      bool known = false;
      for (const Watched& w : watched_) known = known || w.id == entry.id;
      if (!child || known || !IsInFolder(entry.path, folder_)) continue;
      const ProcessHandle handle = processes_.Open(entry.id);
      if (handle != 0) watched_.push_back(Watched{handle, entry.id, entry.path, true});
    }
  }
  for (const Watched& w : ended) Release(w);
  return !watched_.empty();
}

std::vector<std::string> ProcessWatch::WatchedFiles() const {
  std::vector<std::string> files;
  for (const Watched& w : watched_) files.push_back(w.file);
  return files;
}

void ProcessWatch::Stop() {
  for (const Watched& w : watched_) Release(w);
  watched_.clear();
  pathPending_ = false;
}

void ProcessWatch::Release(const Watched& watched) {
  if (watched.owned) processes_.Close(watched.handle);
}

}  // namespace tw
