// A game's icon starts `tarnwick.exe NAME`. With reloading on, that copy
// hands the run to the tray copy of its session, which runs and watches it
// as its own "Run" does; the message carries the profile's name, the
// shortcut's window state and when it was sent.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// How a command-line run goes.
enum class RunRoute {
  HandedOver,  // the tray copy took it; this copy ends
  Alone,       // no tray copy: this copy becomes it, watches the game, then ends
  Direct,      // started and left, as with reloading off
};

struct HandedOverRun {
  std::string profile;
  int showCommand = 0;
  uint32_t sentAt = 0;  // the system's millisecond tick count
};

// The tag of the WM_COPYDATA message, and what the tray copy answers when it
// has taken the run.
constexpr uint32_t kHandOverTag = 0x54574E52;  // "TWNR"
constexpr long kHandOverTaken = 0x5457;
// The sender waits this long for the answer, counted from when it sent the
// run; the tray copy takes a run only while the sender still waits, less a
// margin for the answer's way back, so a late answer cannot start a game
// the sender started itself.
constexpr unsigned kHandOverWaitMs = 5000;
constexpr unsigned kHandOverMarginMs = 1000;
constexpr unsigned kHandOverTakeMs = kHandOverWaitMs - kHandOverMarginMs;
// What the tray copy answers when asked to stay in the tray and show its icon.
constexpr long kStayAnswer = 0x5459;

std::string EncodeHandOver(const HandedOverRun& run);
// False for anything that is not a whole hand-over with a name.
bool DecodeHandOver(const std::string& bytes, HandedOverRun* run);

}  // namespace tw
