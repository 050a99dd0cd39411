#include "shell/tray_claim.h"

namespace tw {

namespace {

// What the sender still waits for an answer sent at `sentAt`.
unsigned WaitLeft(uint32_t sentAt, uint32_t now) {
  const uint32_t age = now - sentAt;
  return age >= kHandOverWaitMs ? 0 : kHandOverWaitMs - age;
}

}  // namespace

bool HandOverFresh(uint32_t sentAt, uint32_t now) { return now - sentAt <= kHandOverTakeMs; }

bool TrayClaim::TrayStart() {
  const uint32_t start = copies_.Now();
  for (;;) {
    if (copies_.Claim()) return true;
    // A claimant without a window yet (an icon's copy starting) would miss
    // the request: asked again until it answers or gives up its claim.
    if (copies_.AskToStay(kHandOverWaitMs) == SessionCopies::Answer::Taken) return false;
    if (copies_.Now() - start >= kClaimSettleMs) return false;
    copies_.WaitForClaim(kClaimRetryMs);
  }
}

RunRoute TrayClaim::RouteRun(const std::string& profile, int showCommand) {
  const uint32_t start = copies_.Now();
  for (;;) {
    if (copies_.Claim()) return RunRoute::Alone;
    if (passedOver_) return RunRoute::Direct;
    const uint32_t sentAt = copies_.Now();
    const SessionCopies::Answer answer =
        copies_.OfferRun(EncodeHandOver({profile, showCommand, sentAt}), kHandOverWaitMs);
    if (answer == SessionCopies::Answer::Taken) return RunRoute::HandedOver;
    // The claimant may be starting up (no window, or its owed restore not
    // settled) or closing: its claim comes free or it becomes ready soon.
    if (copies_.Now() - start >= kClaimSettleMs || WaitLeft(sentAt, copies_.Now()) == 0) {
      passedOver_ = true;
      return copies_.Claim() ? RunRoute::Alone : RunRoute::Direct;
    }
    copies_.WaitForClaim(kClaimRetryMs);
  }
}

}  // namespace tw
