// The session's copies over one fake machine: who holds the tray claim, the
// clock, and each copy's main window; runs and requests reach the window of
// the copy holding the claim. Waiting lets the other copies run meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/session_copies.h"

namespace tw {

struct FakeSession {
  // What a copy's main window answers: true for taken, or staying.
  struct Window {
    std::function<bool(const std::string& encoded)> takeRun;
    std::function<bool()> stay;
  };
  SessionCopies::Answer Deliver(const std::function<bool(const Window&)>& send) const {
    const auto window = windows.find(holder);
    if (holder == 0 || window == windows.end()) return SessionCopies::Answer::NoWindow;
    return send(window->second) ? SessionCopies::Answer::Taken : SessionCopies::Answer::Refused;
  }

  int holder = 0;  // the process holding the claim; 0: nobody
  uint32_t now = 1000;
  std::map<int, Window> windows;  // by process, while its window exists
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
    return session_.Deliver([&](const FakeSession::Window& w) { return w.takeRun(encoded); });
  }
  Answer AskToStay(unsigned) override {
    return session_.Deliver([](const FakeSession::Window& w) { return w.stay(); });
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
