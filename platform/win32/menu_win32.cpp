#include "platform/win32/menu_win32.h"

#include "platform/command_error.h"

namespace tw {

namespace {

// A single "&" would underline the next letter of a profile name.
std::string MenuText(const std::string& caption) {
  std::string text;
  for (char c : caption) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

}  // namespace

int Win32Submenu::InsertAtTop(const std::string& caption, int tag) {
  int id = firstId_;
  while (Find(id) != nullptr) ++id;
  if (id >= firstId_ + kRunTimeIdRange) throw CommandError("Too many menu items");
  if (!InsertMenuA(menu_, 0, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id),
                   MenuText(caption).c_str())) {
    throw CommandError("Could not add the menu item " + caption);
  }
  items_.push_back(Item{id, caption, tag});
  return id;
}

void Win32Submenu::RemoveFirst() {
  if (Count() <= 0) return;
  const UINT id = GetMenuItemID(menu_, 0);
  RemoveMenu(menu_, 0, MF_BYPOSITION);
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == static_cast<int>(id)) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
}

int Win32Submenu::Count() const {
  const int count = GetMenuItemCount(menu_);
  return count < 0 ? 0 : count;
}

const Win32Submenu::Item* Win32Submenu::Find(int item) const {
  for (const Item& i : items_) {
    if (i.id == item) return &i;
  }
  return nullptr;
}

const Win32Submenu::Item& Win32Submenu::At(int item) const {
  const Item* found = Find(item);
  if (!found) throw CommandError("no such menu item");
  return *found;
}

std::string Win32Submenu::Caption(int item) const { return At(item).caption; }

int Win32Submenu::Tag(int item) const { return At(item).tag; }

void Win32Submenu::SetChecked(int item, bool checked) {
  CheckMenuItem(menu_, static_cast<UINT>(item),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32Submenu::Checked(int item) const {
  const UINT state = GetMenuState(menu_, static_cast<UINT>(item), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32Submenu::SetEnabled(int item, bool enabled) {
  EnableMenuItem(menu_, static_cast<UINT>(item),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

Win32MenuSet::~Win32MenuSet() {
  // Destroying a menu destroys the submenus it holds; hidden ones are held by none.
  for (const Item& item : items_) {
    if (!item.visible && item.submenu) DestroyMenu(item.submenu);
  }
  for (const Named& named : named_) {
    if (named.menu) DestroyMenu(named.menu);
  }
}

bool Win32MenuSet::Create(const MenuLayout& layout) {
  HMENU root = CreatePopupMenu();
  if (!root) return false;
  named_.push_back({layout.name, root, nullptr});
  for (const MenuRow& row : layout) {
    Item item{&row, root, nullptr, !(row.flags & menu_flag::kDisabled), false, true};
    if (row.parent[0]) item.parent = At(row.parent).submenu;
    if (row.flags & menu_flag::kSubmenu) {
      item.submenu = CreatePopupMenu();
      if (!item.submenu) return false;
    }
    items_.push_back(item);
    if (!Insert(items_.back())) return false;
    if (row.flags & menu_flag::kRunTime) {
      named_.push_back({row.name, nullptr, std::make_unique<Win32Submenu>(item.submenu, row.commandId)});
    }
  }
  return true;
}

HMENU Win32MenuSet::Menu(const std::string& layoutName) const {
  for (const Named& named : named_) {
    if (named.menu && layoutName == named.name) return named.menu;
  }
  return nullptr;
}

Win32MenuSet::Item& Win32MenuSet::At(const std::string& item) {
  for (Item& i : items_)
    if (item == i.row->name) return i;
  throw CommandError("no menu item " + item);
}

const Win32MenuSet::Item& Win32MenuSet::At(const std::string& item) const {
  return const_cast<Win32MenuSet*>(this)->At(item);
}

UINT Win32MenuSet::ItemPosition(const Item& item) const {
  UINT position = 0;
  for (const Item& other : items_) {
    if (&other == &item) break;
    if (other.parent == item.parent && other.visible) ++position;
  }
  return position;
}

bool Win32MenuSet::Insert(const Item& item) {
  const MenuRow& row = *item.row;
  const UINT position = ItemPosition(item);
  BOOL done;
  if (row.flags & menu_flag::kSeparator) {
    done = InsertMenuA(item.parent, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  } else if (row.flags & menu_flag::kSubmenu) {
    done = InsertMenuA(item.parent, position, MF_BYPOSITION | MF_STRING | MF_POPUP,
                       reinterpret_cast<UINT_PTR>(item.submenu), row.caption);
  } else {
    done = InsertMenuA(item.parent, position, MF_BYPOSITION | MF_STRING,
                       static_cast<UINT_PTR>(row.commandId), row.caption);
  }
  if (!done) return false;
  ApplyState(item);
  if (row.flags & menu_flag::kDefault) SetMenuDefaultItem(item.parent, row.commandId, FALSE);
  return true;
}

void Win32MenuSet::ApplyState(const Item& item) {
  if (!item.visible || item.row->commandId == 0 || (item.row->flags & menu_flag::kSubmenu)) return;
  const UINT id = static_cast<UINT>(item.row->commandId);
  EnableMenuItem(item.parent, id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(item.parent, id, MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32MenuSet::SetEnabled(const std::string& name, bool enabled) {
  Item& item = At(name);
  item.enabled = enabled;
  ApplyState(item);
}

void Win32MenuSet::SetChecked(const std::string& name, bool checked) {
  Item& item = At(name);
  item.checked = checked;
  ApplyState(item);
}

void Win32MenuSet::SetVisible(const std::string& name, bool visible) {
  Item& item = At(name);
  if (item.visible == visible) return;
  if (visible) {
    item.visible = true;
    if (!Insert(item)) item.visible = false;
    return;
  }
  if (RemoveMenu(item.parent, ItemPosition(item), MF_BYPOSITION)) item.visible = false;
}

SubmenuControl& Win32MenuSet::Submenu(const std::string& item) {
  for (Named& named : named_) {
    if (named.submenu && item == named.name) return *named.submenu;
  }
  throw CommandError("no run-time submenu " + item);
}

}  // namespace tw
