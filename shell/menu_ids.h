// WM_COMMAND ids of the tray menus' items. Shared with the end-to-end tests,
// which post them to the main window as a chosen menu item would.
#pragma once

namespace tw::menu_id {

// PopupMenu1 (right click)
constexpr int kFactoryDefaults1 = 1001;
constexpr int kResettouserdefault1 = 1002;
constexpr int kSetcurrentsettingsasuserdefault1 = 1003;
constexpr int kResettoprevioussettings1 = 1004;
constexpr int kStartupMenu = 1005;
constexpr int kReloadSettings = 1006;
constexpr int kSinglechip1 = 1011;
constexpr int kFastest1 = 1012;
constexpr int kN2xFSAA1 = 1013;
constexpr int kN4xFSAA1 = 1014;
constexpr int kN8xFSAA1 = 1015;
constexpr int kCurrentsettings1 = 1021;
constexpr int kAddprogram1 = 1022;
constexpr int kAbout1 = 1023;
constexpr int kClose1 = 1024;

// PopupMenu2 (left click)
constexpr int kMenuRemoveReg = 1101;
constexpr int kV560001 = 1111;
constexpr int kV555001 = 1112;
constexpr int kV445001 = 1113;
constexpr int kEmailauthor1 = 1121;
constexpr int kVisitWebpage1 = 1122;

// Items created at run time take ids from a range of their own submenu
// (kRunTimeIdRange ids each).
constexpr int kFirstConfigItem = 0x2000;     // Config1
constexpr int kFirstRunItem = 0x3000;        // Run1
constexpr int kFirstVideoModeItem = 0x4000;  // Videomode1

}  // namespace tw::menu_id
