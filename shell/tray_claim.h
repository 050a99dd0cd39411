// Who is the session's one tray copy. Two copies may start at the same
// moment (two game icons, an icon and the Run key): one claims the tray,
// the other hands its run to it or asks it to stay, retrying while the
// claimant is still starting up or closing, so no game runs unwatched and
// no session is left without its tray copy.
#pragma once

#include <string>

#include "platform/session_copies.h"
#include "shell/run_handover.h"

namespace tw {

// How long a start keeps trying to reach a claimant that is not ready.
constexpr unsigned kClaimSettleMs = 5000;
constexpr unsigned kClaimRetryMs = 100;

class TrayClaim {
 public:
  explicit TrayClaim(SessionCopies& copies) : copies_(copies) {}

  // A start with no profile: true when this copy becomes the tray copy;
  // false when the one that runs will stay and show its icon (or hangs):
  // this copy ends.
  bool TrayStart();
  // A game's icon with reloading on: handed over, watched here in the tray
  // copy's place, or, when a claimant never became ready in time, started
  // unwatched. After such a give-up the tray copy is not asked again (a
  // hung one would keep the game waiting twice).
  RunRoute RouteRun(const std::string& profile, int showCommand);
  bool Claimed() { return copies_.Claim(); }
  void Release() { copies_.Release(); }

 private:
  SessionCopies& copies_;
  bool passedOver_ = false;
};

// The tray copy's side: a run sent at `sentAt` is taken at `now` only
// while its sender still waits for the answer.
bool HandOverFresh(uint32_t sentAt, uint32_t now);

}  // namespace tw
