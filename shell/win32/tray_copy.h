// The session's one tray copy, and the way a game's icon hands its run to it.
#pragma once

#include <windows.h>

#include "shell/run_handover.h"

namespace tw {

// A named mutex that goes with the process, however it ends.
class TrayCopy {
 public:
  TrayCopy() = default;
  ~TrayCopy() { Release(); }
  TrayCopy(const TrayCopy&) = delete;
  TrayCopy& operator=(const TrayCopy&) = delete;

  // True when this process is the tray copy now: none ran (or the system
  // could not tell).
  bool Claim();
  // Leaving: the next start may claim it at once.
  void Release() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
    mutex_ = nullptr;
  }
  // The tray copy did not take a run offered at the start: it is not asked
  // again (a hung one would keep the game waiting twice).
  bool passedOver = false;

 private:
  HANDLE mutex_ = nullptr;
};

// A second tray start is most likely someone looking for a missing icon: the
// running copy is asked to show it again.
void AskTrayCopyForIcon();

// Offers the run to every other main window of this session; true when the
// tray copy took it. A copy that does not answer in time is passed over.
bool HandOverRun(HWND self, const HandedOverRun& run);

// The window state this process was started with (a shortcut's "Run"); 0
// when none was asked for.
int StartedShowCommand();

}  // namespace tw
