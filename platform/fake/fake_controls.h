// In-memory list box and run-time submenu that remember what the program put
// into them, in display order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace tw {

class FakeListControl : public ListControl {
 public:
  void Clear() override;
  void Add(const std::string& caption) override { items_.push_back(caption); }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override;
  // Like a drop-down list: an index out of range selects nothing.
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return index_; }

  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

class FakeSubmenu : public SubmenuControl {
 public:
  struct Item {
    int id;
    std::string caption;
    int tag;
    bool checked;
  };

  int InsertAtTop(const std::string& caption, int tag) override;
  int Tag(int item) const override;
  void SetChecked(int item, bool checked) override;
  bool Checked(int item) const override;

  // Items from the top of the submenu down.
  const std::vector<Item>& Items() const { return items_; }
  // Id of the item at a position from the top.
  int IdAt(int position) const { return items_.at(static_cast<size_t>(position)).id; }

 private:
  size_t Find(int item) const;  // position of an id; throws for unknown ids

  std::vector<Item> items_;
  int nextId_ = 1;
};

}  // namespace tw
