// Popup menus made from their tables: real menus whose items the logic
// addresses by component name, and the submenus filled at run time.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/menu_layout.h"
#include "platform/menus.h"

namespace tw {

// A submenu whose items are created at run time; they take command ids from
// the submenu's own range.
class Win32Submenu : public SubmenuControl {
 public:
  Win32Submenu(HMENU menu, int firstId) : menu_(menu), firstId_(firstId) {}

  int InsertAtTop(const std::string& caption, int tag) override;
  void RemoveFirst() override;
  int Count() const override;
  bool Has(int item) const override { return Find(item) != nullptr; }
  std::string Caption(int item) const override;
  int Tag(int item) const override;
  void SetChecked(int item, bool checked) override;
  bool Checked(int item) const override;
  void SetEnabled(int item, bool enabled) override;

 private:
  struct Item {
    int id;
    std::string caption;
    int tag;
  };
  const Item* Find(int item) const;
  const Item& At(int item) const;

  HMENU menu_;
  int firstId_;
  std::vector<Item> items_;
};

class Win32MenuSet : public MenuSet {
 public:
  Win32MenuSet() = default;
  ~Win32MenuSet() override;
  Win32MenuSet(const Win32MenuSet&) = delete;
  Win32MenuSet& operator=(const Win32MenuSet&) = delete;

  // Builds one popup menu from its table; false when the system refused.
  bool Create(const MenuLayout& layout);
  // The popup menu of a table by its name ("PopupMenu1"), or nullptr.
  HMENU Menu(const std::string& layoutName) const;

  void SetEnabled(const std::string& item, bool enabled) override;
  bool Enabled(const std::string& item) const override { return At(item).enabled; }
  void SetChecked(const std::string& item, bool checked) override;
  bool Checked(const std::string& item) const override { return At(item).checked; }
  void SetVisible(const std::string& item, bool visible) override;
  bool Visible(const std::string& item) const override { return At(item).visible; }
  SubmenuControl& Submenu(const std::string& item) override;

 private:
  struct Item {
    const MenuRow* row;
    HMENU parent;   // the menu the item sits in while shown
    HMENU submenu;  // for submenu rows
    bool enabled;
    bool checked;
    bool visible;
  };
  Item& At(const std::string& item);
  const Item& At(const std::string& item) const;
  bool Insert(const Item& item);  // at its place among the shown items
  UINT ItemPosition(const Item& item) const;
  void ApplyState(const Item& item);

  std::vector<Item> items_;
  // The popup menus by their table's name and the run-time submenus by
  // their row's name: a few of each, searched in order.
  struct Named {
    const char* name;
    HMENU menu;                             // a popup menu, destroyed with the set
    std::unique_ptr<Win32Submenu> submenu;  // or a run-time submenu
  };
  std::vector<Named> named_;
};

}  // namespace tw
