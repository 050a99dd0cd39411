// The tray's popup menus as the program logic sees them: fixed items by
// component name, and the submenus whose items the program creates.
#pragma once

#include <string>

#include "platform/controls.h"

namespace tw {

class MenuSet {
 public:
  virtual ~MenuSet() = default;
  virtual void SetEnabled(const std::string& item, bool enabled) = 0;
  virtual bool Enabled(const std::string& item) const = 0;
  virtual void SetChecked(const std::string& item, bool checked) = 0;
  virtual bool Checked(const std::string& item) const = 0;
  // A hidden item keeps its place: shown again, it returns there.
  virtual void SetVisible(const std::string& item, bool visible) = 0;
  virtual bool Visible(const std::string& item) const = 0;
  // A submenu row flagged menu_flag::kRunTime ("Config1", "Run1", "Videomode1").
  virtual SubmenuControl& Submenu(const std::string& item) = 0;
};

}  // namespace tw
