// The primary display's modes: captions for the editor's list and the tray's
// "Video mode" submenu, switching with the result messages, switching back.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/display.h"
#include "platform/ui.h"

namespace tw {

class DisplayModes {
 public:
  DisplayModes(Display& display, UserInterface& ui);

  DesktopMode ReadDesktopMode();
  void FindCurrentMode();
  void FillDesktopModeList(ListControl& list);
  void BuildVideoModeMenu(SubmenuControl& menu);
  void SetCurrentVideoMode(SubmenuControl& menu, int item);
  // The mode number of an entry of the editor's list, and the entry of a
  // mode number; -1 where there is none.
  int ListedModeNumber(int position) const;
  int ListPosition(int number) const;
  // True when the switch succeeded. With `launchAfter`, success posts
  // LaunchPendingMessage to the main window. Only `store` makes the mode
  // the display's own: a game's switch must not outlive a crash. With
  // `failure`, a failure's message is put there instead of shown, so a run
  // can give back what it wrote before the user reads it.
  bool ChangeDisplayMode(int number, bool launchAfter, bool store = false,
                         std::string* failure = nullptr);
  void RestoreDisplayMode();
  // The way back to the desktop as it is now, as a scan would find it,
  // without changing what the last scan found: its mode number, or -1 (the
  // display's registry mode) when none matches or the desktop runs at the
  // driver's default rate, which no listed mode carries.
  int DesktopModeNumber();
  // After a restart: the way back a run recorded before it switched.
  void RememberWayBack(int number) { savedModeNumber_ = number; }

  int FirstDesktopModeNumber() const { return firstDesktopModeNumber_; }
  // The way back as the latest scan found it; -1: the registry's mode.
  int SavedModeNumber() const { return savedModeNumber_; }
  int CheckedVideoModeItem() const { return checkedVideoModeItem_; }

 private:
  bool SwitchTo(int number, bool launchAfter, bool store, std::string* failure);
  // The desktop's mode number; -1 when none matches. With `wayBack`, -1 also
  // for a default rate that no listed mode carries: the registry's mode.
  int MatchingMode(const DesktopMode& desktop, uint32_t minBits, bool wayBack);

  Display& display_;
  UserInterface& ui_;
  DesktopMode current_;
  int firstDesktopModeNumber_ = -1;
  int savedModeNumber_ = -1;
  int checkedVideoModeItem_ = -1;  // -1: none
  std::vector<int> listedModes_;   // the editor list's mode numbers, in its order
};

}  // namespace tw
