// The two popup menus of the tray icon.
#pragma once

#include "platform/menu_layout.h"

namespace tw {

const MenuLayout& PopupMenu1Layout();  // right click
const MenuLayout& PopupMenu2Layout();  // left click

}  // namespace tw
