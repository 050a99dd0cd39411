// The other tarnwick.exe processes of this session, as a starting copy
// meets them: the claim on being the session's one tray copy, and the tray
// copy's window, which takes runs handed over and answers whether it stays.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

class SessionCopies {
 public:
  enum class Answer {
    Taken,     // the tray copy took it
    Refused,   // it is still starting up, or closing
    NoWindow,  // no window of the tray copy answered (none yet, or it hangs)
  };

  virtual ~SessionCopies() = default;
  // True when this process is the tray copy now: it was already, nobody
  // held the claim (or whoever held it has ended), or the system cannot tell.
  virtual bool Claim() = 0;
  // Leaving: the next start may claim at once.
  virtual void Release() = 0;
  // Hands the encoded run to the tray copy's window, waiting at most
  // `waitMs` for its answer.
  virtual Answer OfferRun(const std::string& encoded, unsigned waitMs) = 0;
  // Asks the tray copy to show its icon and stay in the tray.
  virtual Answer AskToStay(unsigned waitMs) = 0;
  // The system's millisecond tick count.
  virtual uint32_t Now() = 0;
  // Waits up to `ms` for the claim to come free (a copy that ends); the
  // tray copy may have become ready meanwhile.
  virtual void WaitForClaim(unsigned ms) = 0;
};

}  // namespace tw
