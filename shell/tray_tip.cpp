#include "shell/tray_tip.h"

#include "platform/ansi_text.h"

namespace tw {

std::string TrayTip(const std::string& watchedProfile) {
  if (watchedProfile.empty()) return "Tarnwick";
  const std::string head = "Tarnwick - ";
  const std::string tail = " is running";
  const std::string::size_type room = kTrayTipLength - head.size() - tail.size();
  std::string name = watchedProfile;
  if (name.size() > room) name = CutToBytes(name, room - 3) + "...";
  return head + name + tail;
}

}  // namespace tw
