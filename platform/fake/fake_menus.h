// In-memory popup menus built from their tables, with every item's state
// readable by name.
#pragma once

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_controls.h"
#include "platform/menu_layout.h"
#include "platform/menus.h"

namespace tw {

class FakeMenuSet : public MenuSet {
 public:
  explicit FakeMenuSet(std::initializer_list<const MenuLayout*> layouts);

  void SetEnabled(const std::string& item, bool enabled) override { At(item).enabled = enabled; }
  bool Enabled(const std::string& item) const override { return At(item).enabled; }
  void SetChecked(const std::string& item, bool checked) override { At(item).checked = checked; }
  bool Checked(const std::string& item) const override { return At(item).checked; }
  void SetVisible(const std::string& item, bool visible) override { At(item).visible = visible; }
  bool Visible(const std::string& item) const override { return At(item).visible; }
  FakeSubmenu& Submenu(const std::string& item) override;

  // Captions of the shown items of a submenu, in order; a menu's own items
  // are those of its name ("PopupMenu1").
  std::vector<std::string> ShownCaptions(const std::string& parent) const;

 private:
  struct State {
    const MenuRow* row;
    std::string parent;  // the row's parent, or the menu's name
    bool enabled;
    bool checked;
    bool visible;
  };
  State& At(const std::string& item);
  const State& At(const std::string& item) const;

  std::vector<State> items_;  // in table order
  std::map<std::string, std::unique_ptr<FakeSubmenu>> submenus_;
};

}  // namespace tw
