// A popup menu described as data: one row per item, in menu order, each
// naming the submenu it belongs to. The Win32 side turns such a table into
// real menus; the logic and the tests address items by name.
#pragma once

#include <cstddef>
#include <string>

namespace tw {

// Item flags; combine with |.
namespace menu_flag {
constexpr unsigned kNone = 0;
constexpr unsigned kSubmenu = 1u << 0;    // opens the rows whose parent it is
constexpr unsigned kSeparator = 1u << 1;  // a line; caption "-"
constexpr unsigned kDisabled = 1u << 2;   // greyed at start
constexpr unsigned kDefault = 1u << 3;    // the default item, shown bold
constexpr unsigned kRunTime = 1u << 4;    // a submenu whose items the program creates
}  // namespace menu_flag

constexpr int kRunTimeIdRange = 0x1000;

struct MenuRow {
  const char* name;     // component name, as the handlers and tests address it
  const char* caption;
  const char* parent;   // name of the submenu row it belongs to; "" for the menu itself
  // WM_COMMAND id; 0 for separators and fixed submenus. A run-time submenu
  // gives its items ids from this one on, kRunTimeIdRange of them.
  int commandId;
  unsigned flags = menu_flag::kNone;
};

struct MenuLayout {
  const char* name;  // "PopupMenu1"
  const MenuRow* rows;
  std::size_t rowCount;

  const MenuRow* begin() const { return rows; }
  const MenuRow* end() const { return rows + rowCount; }
  const MenuRow* Find(const std::string& item) const {
    for (const MenuRow& row : *this)
      if (item == row.name) return &row;
    return nullptr;
  }
  const MenuRow* FindCommand(int commandId) const {
    for (const MenuRow& row : *this)
      if (!(row.flags & menu_flag::kSubmenu) && commandId != 0 && row.commandId == commandId)
        return &row;
    return nullptr;
  }
};

}  // namespace tw
