#include "shell/tray_menus.h"

#include <iterator>

#include "shell/menu_ids.h"

namespace tw {

namespace {

using namespace menu_flag;
namespace id = menu_id;

const MenuRow kPopupMenu1[] = {
    {"Userdefaults1", "Defaults", "", 0, kSubmenu},
    {"FactoryDefaults1", "Reset factory defaults", "Userdefaults1", id::kFactoryDefaults1},
    {"N3", "-", "Userdefaults1", 0, kSeparator},
    {"Resettouserdefault1", "Reset to user defaults", "Userdefaults1", id::kResettouserdefault1,
     kDisabled},
    {"Setcurrentsettingsasuserdefault1", "Set user defaults", "Userdefaults1",
     id::kSetcurrentsettingsasuserdefault1},
    {"N4", "-", "Userdefaults1", 0, kSeparator},
    {"Resettoprevioussettings1", "Reset to previous settings", "Userdefaults1",
     id::kResettoprevioussettings1},
    {"N5", "-", "Userdefaults1", 0, kSeparator},
    {"StartupMenu", "Start at Windows startup", "Userdefaults1", id::kStartupMenu},
    {"ReloadSettings", "Reload settings after finishing game", "Userdefaults1",
     id::kReloadSettings},
    {"DirectFSAA1", "Direct FSAA", "", 0, kSubmenu},
    {"Singlechip1", "Single chip", "DirectFSAA1", id::kSinglechip1},
    {"Fastest1", "Fastest", "DirectFSAA1", id::kFastest1},
    {"N2xFSAA1", "2x FSAA", "DirectFSAA1", id::kN2xFSAA1},
    {"N4xFSAA1", "4x FSAA", "DirectFSAA1", id::kN4xFSAA1},
    {"N8xFSAA1", "8x FSAA", "DirectFSAA1", id::kN8xFSAA1},
    {"Videomode1", "Video mode", "", id::kFirstVideoModeItem, kSubmenu | kRunTime},
    {"Currentsettings1", "Current settings", "", id::kCurrentsettings1, kDefault},
    {"N2", "-", "", 0, kSeparator},
    {"Addprogram1", "Add program", "", id::kAddprogram1},
    {"Config1", "Config", "", id::kFirstConfigItem, kSubmenu | kRunTime},
    {"Run1", "Run", "", id::kFirstRunItem, kSubmenu | kRunTime},
    {"N1", "-", "", 0, kSeparator},
    {"About1", "About", "", id::kAbout1},
    {"Close1", "Exit", "", id::kClose1},
};

const MenuRow kPopupMenu2[] = {
    {"MenuRemoveReg", "Remove from Windows registry", "", id::kMenuRemoveReg},
    {"N7", "-", "", 0, kSeparator},
    {"MyVoodooisa1", "My Voodoo is a ...", "", 0, kSubmenu},
    {"V560001", "V5-6000", "MyVoodooisa1", id::kV560001},
    {"V555001", "V5-5500", "MyVoodooisa1", id::kV555001},
    {"V445001", "V4-4500", "MyVoodooisa1", id::kV445001},
    {"N6", "-", "", 0, kSeparator},
    {"Emailauthor1", "Email author", "", id::kEmailauthor1},
    {"VisitWebpage1", "Visit Webpage", "", id::kVisitWebpage1},
};

const MenuLayout kMenu1 = {"PopupMenu1", kPopupMenu1, std::size(kPopupMenu1)};
const MenuLayout kMenu2 = {"PopupMenu2", kPopupMenu2, std::size(kPopupMenu2)};

}  // namespace

const MenuLayout& PopupMenu1Layout() { return kMenu1; }
const MenuLayout& PopupMenu2Layout() { return kMenu2; }

}  // namespace tw
