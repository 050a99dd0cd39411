#include "platform/fake/fake_controls.h"

#include <stdexcept>

namespace tw {

void FakeListControl::Clear() {
  items_.clear();
  index_ = -1;
}

std::string FakeListControl::Item(int index) const {
  return items_.at(static_cast<size_t>(index));
}

void FakeListControl::SetItemIndex(int index) {
  index_ = index >= 0 && index < Count() ? index : -1;
}

int FakeSubmenu::InsertAtTop(const std::string& caption, int tag) {
  const int id = nextId_++;
  items_.insert(items_.begin(), Item{id, caption, tag, false});
  return id;
}

size_t FakeSubmenu::Find(int item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == item) return i;
  }
  throw std::out_of_range("no such menu item");
}

int FakeSubmenu::Tag(int item) const { return items_[Find(item)].tag; }

void FakeSubmenu::SetChecked(int item, bool checked) { items_[Find(item)].checked = checked; }

bool FakeSubmenu::Checked(int item) const { return items_[Find(item)].checked; }

}  // namespace tw
