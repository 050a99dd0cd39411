// The session's copies over one fake machine: who holds the tray claim, the
// clock, and the tray copy's window, which the test wires to the copy that
// holds the claim. Waiting lets the other copies run meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/session_copies.h"

namespace tw {

struct FakeSession {
  int holder = 0;  // the process holding the claim; 0: nobody
  uint32_t now = 1000;
  // The tray copy's window as the system delivers to it; unset: none.
  std::function<SessionCopies::Answer(const std::string& encoded)> offerRun;
  std::function<SessionCopies::Answer()> askToStay;
  // The other copies' messages, handled while one copy waits.
  std::function<void()> whileWaiting;
};

class FakeSessionCopies : public SessionCopies {
 public:
  FakeSessionCopies(FakeSession& session, int process) : session_(session), process_(process) {}
  bool Claim() override {
    if (session_.holder != 0 && session_.holder != process_) return false;
    session_.holder = process_;
    return true;
  }
  void Release() override {
    if (session_.holder == process_) session_.holder = 0;
  }
  Answer OfferRun(const std::string& encoded, unsigned) override {
    return session_.offerRun ? session_.offerRun(encoded) : Answer::NoWindow;
  }
  Answer AskToStay(unsigned) override {
    return session_.askToStay ? session_.askToStay() : Answer::NoWindow;
  }
  uint32_t Now() override { return session_.now; }
  void WaitForClaim(unsigned ms) override {
    session_.now += ms;
    if (session_.whileWaiting) session_.whileWaiting();
  }

 private:
  FakeSession& session_;
  int process_;
};

}  // namespace tw
