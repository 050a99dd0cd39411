#include "platform/fake/fake_menus.h"

#include <stdexcept>

namespace tw {

FakeMenuSet::FakeMenuSet(std::initializer_list<const MenuLayout*> layouts) {
  for (const MenuLayout* layout : layouts) {
    for (const MenuRow& row : *layout) {
      const std::string parent = row.parent[0] ? row.parent : layout->name;
      items_.push_back(State{&row, parent, !(row.flags & menu_flag::kDisabled), false, true});
      if (row.flags & menu_flag::kRunTime)
        submenus_[row.name] = std::make_unique<FakeSubmenu>(row.commandId);
    }
  }
}

FakeSubmenu& FakeMenuSet::Submenu(const std::string& item) {
  auto it = submenus_.find(item);
  if (it == submenus_.end()) throw std::out_of_range("no run-time submenu " + item);
  return *it->second;
}

std::vector<std::string> FakeMenuSet::ShownCaptions(const std::string& parent) const {
  std::vector<std::string> captions;
  for (const State& s : items_)
    if (s.visible && parent == s.parent) captions.push_back(s.row->caption);
  return captions;
}

FakeMenuSet::State& FakeMenuSet::At(const std::string& item) {
  for (State& s : items_)
    if (item == s.row->name) return s;
  throw std::out_of_range("no menu item " + item);
}

const FakeMenuSet::State& FakeMenuSet::At(const std::string& item) const {
  return const_cast<FakeMenuSet*>(this)->At(item);
}

}  // namespace tw
