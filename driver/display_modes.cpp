#include "driver/display_modes.h"

#include <string>

#include "platform/messages.h"

namespace tw {

namespace {

constexpr uint32_t kMinDesktopListBits = 16;  // the editor offers no palette modes
constexpr uint32_t kMinVideoMenuBits = 8;

bool SameAsDesktop(const DisplayMode& mode, const DesktopMode& desktop) {
  return static_cast<int64_t>(mode.width) == desktop.width &&
         static_cast<int64_t>(mode.height) == desktop.height &&
         static_cast<int64_t>(mode.bitsPerPel) == desktop.bitsPerPixel;
}

// Built from to_string: the one printf-style call would pull a whole
// formatted-output library into the exe.
std::string DesktopListCaption(const DisplayMode& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + " - " +
         std::to_string(mode.bitsPerPel) + " bit-color";
}

std::string VideoMenuCaption(const DisplayMode& mode) {
  return std::to_string(mode.bitsPerPel) + "bit - " + std::to_string(mode.width) + "x" +
         std::to_string(mode.height);
}

}  // namespace

DisplayModes::DisplayModes(Display& display, UserInterface& ui) : display_(display), ui_(ui) {}

DesktopMode DisplayModes::ReadDesktopMode() {
  current_ = display_.Current();
  return current_;
}

// 2000 and XP list each size once per refresh rate: the desktop's own rate
// is the match; where the rate is unknown, the last of equal size and depth.
// As the way back, a desktop at the driver's default rate (0 or 1, common
// on 98) that no listed mode carries goes by the display's registry mode
// (-1): the last listed rate of its size may be more than the monitor takes.
// A game's switch is never stored, so the registry holds the desktop's mode.
int DisplayModes::MatchingMode(const DesktopMode& desktop, uint32_t minBits, bool wayBack) {
  int exact = -1;
  int match = -1;
  DisplayMode mode;
  for (int number = 0; display_.EnumMode(number, &mode); ++number) {
    if (mode.bitsPerPel < minBits || !SameAsDesktop(mode, desktop)) continue;
    match = number;
    if (exact < 0 && static_cast<int64_t>(mode.frequency) == desktop.frequency) exact = number;
  }
  if (exact >= 0) return exact;
  return wayBack && desktop.frequency <= 1 ? -1 : match;
}

void DisplayModes::FindCurrentMode() {
  firstDesktopModeNumber_ = -1;
  DisplayMode mode;
  for (int number = 0; firstDesktopModeNumber_ < 0 && display_.EnumMode(number, &mode); ++number) {
    if (mode.bitsPerPel >= kMinDesktopListBits) firstDesktopModeNumber_ = number;
  }
  if (MatchingMode(current_, kMinDesktopListBits, false) >= 0) {
    savedModeNumber_ = MatchingMode(current_, kMinDesktopListBits, true);
  }
}

void DisplayModes::FillDesktopModeList(ListControl& list) {
  ReadDesktopMode();
  firstDesktopModeNumber_ = -1;
  list.Clear();
  listedModes_.clear();
  DisplayMode mode;
  for (int number = 0; display_.EnumMode(number, &mode); ++number) {
    if (mode.bitsPerPel < kMinDesktopListBits) continue;
    if (firstDesktopModeNumber_ < 0) firstDesktopModeNumber_ = number;
    list.Add(DesktopListCaption(mode));
    listedModes_.push_back(number);
  }
  const int match = MatchingMode(current_, kMinDesktopListBits, false);
  if (match >= 0) savedModeNumber_ = MatchingMode(current_, kMinDesktopListBits, true);
  // A desktop this list does not offer (a palette mode) selects nothing
  // rather than whatever an older scan left in SavedModeNumber.
  list.SetItemIndex(ListPosition(match));
}

int DisplayModes::ListedModeNumber(int position) const {
  if (position < 0 || static_cast<size_t>(position) >= listedModes_.size()) return -1;
  return listedModes_[static_cast<size_t>(position)];
}

int DisplayModes::ListPosition(int number) const {
  for (size_t i = 0; number >= 0 && i < listedModes_.size(); ++i) {
    if (listedModes_[i] == number) return static_cast<int>(i);
  }
  return -1;
}

void DisplayModes::BuildVideoModeMenu(SubmenuControl& menu) {
  ReadDesktopMode();
  const int match = MatchingMode(current_, kMinVideoMenuBits, false);
  DisplayMode mode;
  for (int number = 0; display_.EnumMode(number, &mode); ++number) {
    if (mode.bitsPerPel < kMinVideoMenuBits) continue;
    // Every rate of the desktop's size and depth shows the check mark; the
    // matching one owns it.
    const int item = menu.InsertAtTop(VideoMenuCaption(mode), number);
    if (SameAsDesktop(mode, current_)) menu.SetChecked(item, true);
    if (number == match) {
      savedModeNumber_ = MatchingMode(current_, kMinVideoMenuBits, true);
      checkedVideoModeItem_ = item;
    }
  }
}

void DisplayModes::SetCurrentVideoMode(SubmenuControl& menu, int item) {
  if (checkedVideoModeItem_ >= 0) menu.SetChecked(checkedVideoModeItem_, false);
  ChangeDisplayMode(menu.Tag(item), false, true);
  checkedVideoModeItem_ = item;
  menu.SetChecked(item, true);
}

bool DisplayModes::ChangeDisplayMode(int number, bool launchAfter, bool store,
                                     std::string* failure) {
  // A switch that does not happen leaves the way back where it was: a game
  // still watched returns to the desktop from before it.
  const int wayBack = savedModeNumber_;
  const bool switched = SwitchTo(number, launchAfter, store, failure);
  if (!switched) savedModeNumber_ = wayBack;
  return switched;
}

bool DisplayModes::SwitchTo(int number, bool launchAfter, bool store, std::string* failure) {
  auto fail = [&](const char* message) {
    if (failure != nullptr) {
      *failure = message;
    } else {
      ui_.Notice(message);
    }
    return false;
  };
  ReadDesktopMode();
  FindCurrentMode();

  // A stored number from before a driver or monitor change may name no mode
  // any more; negative numbers would ask the system for its current or
  // registry mode instead of an enumerated one.
  DisplayMode mode;
  if (number < 0 || !display_.EnumMode(number, &mode)) {
    return fail("The selected graphics mode is not supported");
  }

  switch (display_.ChangeTo(number, store)) {
    case disp_change::kSuccessful:
      if (launchAfter) ui_.PostToMainWindow(kLaunchPendingMessage);
      return true;
    case disp_change::kRestart:
      return fail(
          "The computer must be restarted for this graphics mode. The program will not be "
          "started");
    case disp_change::kFailed:
    case disp_change::kBadFlags:
      return fail("An error occured while changing the displaymode");
    case disp_change::kBadMode:
      return fail("The selected graphics mode is not supported");
    case disp_change::kNotUpdated:
      return fail("An error occured while writing desktop-mode settings to the registry.");
    default:
      return false;
  }
}

int DisplayModes::DesktopModeNumber() {
  return MatchingMode(display_.Current(), kMinDesktopListBits, true);
}

void DisplayModes::RestoreDisplayMode() {
  // No scan ever matched the desktop (it was a palette mode, or one the
  // driver does not list), or it ran at the default rate: the display's own
  // stored mode is the way back, and the end of a game is no moment for a
  // message about a mode number.
  if (savedModeNumber_ < 0) {
    display_.RestoreRegistryMode();
    return;
  }
  ChangeDisplayMode(savedModeNumber_, false);
}

}  // namespace tw
