#include "editor/editor_layout.h"

#include <cstddef>
#include <iterator>
#include <optional>
#include <vector>

#include "store/setting_catalogue.h"

namespace tw {

namespace {

using namespace layout_flag;

constexpr int kBoxWidth = 145;
constexpr int kBoxHeight = 22;
constexpr int kCaptionHeight = 13;
constexpr int kColumns[] = {8, 168, 328};
constexpr int kFirstCaptionTop = 8;
constexpr int kRowStep = 40;
constexpr int kBoxBelowCaption = 16;

// Where each catalogue list box sits on its page: column 0 to 2, row 0 to 5.
// Its caption label is named after the box.
struct BoxPlace {
  const char* box;
  const char* label;
  int column;
  int row;
};

constexpr BoxPlace kBoxPlaces[] = {
    {"DComboBox1", "DComboBox1Label", 0, 0},   {"DComboBox2", "DComboBox2Label", 0, 1},
    {"DComboBox3", "DComboBox3Label", 0, 2},   {"DComboBox4", "DComboBox4Label", 0, 3},
    {"DComboBox7", "DComboBox7Label", 1, 0},   {"DComboBox6", "DComboBox6Label", 1, 1},
    {"DComboBox5", "DComboBox5Label", 1, 2},   {"GComboBox1", "GComboBox1Label", 0, 0},
    {"GComboBox2", "GComboBox2Label", 0, 1},   {"GComboBox3", "GComboBox3Label", 0, 2},
    {"GComboBox4", "GComboBox4Label", 0, 3},   {"GComboBox5", "GComboBox5Label", 0, 4},
    {"GComboBoxA", "GComboBoxALabel", 0, 5},   {"GComboBox7", "GComboBox7Label", 1, 0},
    {"GComboBox8", "GComboBox8Label", 1, 1},   {"GComboBox9", "GComboBox9Label", 1, 2},
    {"GComboBox6", "GComboBox6Label", 1, 3},   {"GComboBox10", "GComboBox10Label", 1, 4},
    {"GComboBoxB", "GComboBoxBLabel", 1, 5},   {"GComboBoxD", "GComboBoxDLabel", 2, 4},
    {"GComboBoxC", "GComboBoxCLabel", 2, 5},
};

// The one list whose text field also takes typed text.
constexpr const char* kTypedList = "GComboBoxD";

const LayoutRow kHeaderRows[] = {
    {"Panel1", ControlKind::Panel, "", "", 8, 8, 361, 49, kBevelRaisedInner | kBevelLoweredOuter},
    {"Image1", ControlKind::Image, "", "Panel1", 24, 8, 49, 37},
    {"Label14", ControlKind::Label, "", "Panel1", 96, 8, 261, 19, kBold, "Arial", 16},
    {"Label15", ControlKind::Label, "", "Panel1", 96, 28, 261, 14, kShowHint},
    {"Label16", ControlKind::Label, "Show this name in the menus:", "", 16, 70, 180, 16, kNone,
     "Arial", 13},
    {"Edit1", ControlKind::Edit, "", "", 200, 68, 161, 21},
    {"Panel4", ControlKind::Panel, "", "", 376, 8, 145, 89, kBevelRaisedInner | kBevelLoweredOuter},
    {"Label1", ControlKind::Label, "Tarnwick", "Panel4", 8, 10, 129, 16,
     kBold | kAlignCenter | kWordWrap, "Arial", 13, 0, 0, 0, kNavy},
    {"Label2", ControlKind::Label, "Version 0.74b", "Panel4", 8, 30, 129, 14,
     kAlignRight | kWordWrap, "", 0, 0, 0, 0, kNavy},
    {"Label3", ControlKind::Label, "Driver settings per game for Voodoo4 and Voodoo5", "Panel4",
     8, 52, 129, 30, kAlignCenter | kWordWrap, "", 0, 0, 0, 0, kNavy},
    {kPageControl, ControlKind::PageControl, "", "", 8, 104, 513, 289},
    {kD3DPage, ControlKind::Page, "Direct3D", kPageControl, 0, 0, 0, 0},
};

// One gamma panel; `p` is "D" or "G", the panel's name and lock differ.
struct GammaNames {
  const char* panel;
  const char* caption;
  const char* tracks[3];
  const char* labels[3];
  const char* lock;
};

constexpr GammaNames kD3DGamma = {"Panel3", "Label4", {"DTrackR", "DTrackG", "DTrackB"},
                                  {"DGammaR", "DGammaG", "DGammaB"}, "DSliders"};
constexpr GammaNames kGlideGamma = {"Panel2", "Label5", {"GTrackR", "GTrackG", "GTrackB"},
                                    {"GGammaR", "GGammaG", "GGammaB"}, "GSliders"};
constexpr unsigned kGammaColors[] = {kRed, kGreen, kBlue};

const LayoutRow kGlidePageRow = {kGlidePage, ControlKind::Page, "Glide / OpenGL", kPageControl,
                                 0, 0, 0, 0};

const LayoutRow kGlideChecks[] = {
    {"GVSyncCheck", ControlKind::CheckBox, "Disable V-Sync", kGlidePage, 344, 120, 113, 17},
    {"TextureCheck", ControlKind::CheckBox, "Limit texture memory to 2MB", kGlidePage, 344, 144,
     161, 17},
};

const LayoutRow kAdditionRows[] = {
    {kAdditionPage, ControlKind::Page, "Additional settings", kPageControl, 0, 0, 0, 0},
    {"Label17", ControlKind::Label, "Application startup parameters", kAdditionPage, 8, 6, 200,
     14},
    {"Edit2", ControlKind::Edit, "", kAdditionPage, 8, 24, 489, 21},
    {"Label18", ControlKind::Label, "Application startup directory", kAdditionPage, 8, 48, 200,
     14},
    {"Edit3", ControlKind::Edit, "", kAdditionPage, 8, 64, 489, 21},
    {"CheckBox1", ControlKind::CheckBox, "Switch to this desktop setting", kAdditionPage, 8, 96,
     161, 17},
    {"SetDesktopCombo0", ControlKind::ComboBox, "", kAdditionPage, 176, 94, 169, 22, kDisabled},
    {"Label19", ControlKind::Label, "Poll started program every", kAdditionPage, 8, 128, 132, 14},
    {"SpinEdit1", ControlKind::SpinEdit, "3", kAdditionPage, 144, 124, 41, 21, kNone, "", 0, 1, 15},
    {"Label20", ControlKind::Label, "seconds", kAdditionPage, 192, 128, 60, 14},
    {"Label21", ControlKind::Label,
     "Increase this value if Tarnwick causes your game to run slower or make it stutter. This "
     "will also affect the time it takes to restore original settings when you finish the "
     "started program. ",
     kAdditionPage, 8, 148, 429, 42, kWordWrap},
    {"Label24", ControlKind::Label,
     "Note that this polling can be turned off in the defaults-menu, by unchecking 'Reload "
     "settings after finishing game'.",
     kAdditionPage, 8, 198, 489, 36, kWordWrap | kBold},
};

// No button is the default or the cancel button: Enter and Esc do nothing.
const LayoutRow kButtonRows[] = {
    {"Button4", ControlKind::Button, "Remove", "", 14, 396, 75, 25},
    {"Button7", ControlKind::Button, "Shortcut", "", 96, 396, 75, 25},
    {"Button5", ControlKind::Button, "OK", "", 200, 396, 75, 25, kHidden},
    {"Button3", ControlKind::Button, "Set default", "", 280, 396, 75, 25},
    {"Button1", ControlKind::Button, "OK", "", 360, 396, 75, 25},
    {"Button2", ControlKind::Button, "Cancel", "", 440, 396, 75, 25},
};

// The rows in creation order; the catalogue's captions live as long as the
// catalogue made for this table.
constexpr std::size_t kMaxRows = 160;

struct EditorTable {
  SettingCatalogue catalogue;
  LayoutRow rows[kMaxRows] = {};
  std::size_t count = 0;
  FormLayout form{};

  void Add(const LayoutRow& row) {
    if (count < kMaxRows) rows[count++] = row;
  }
  void AddAll(const LayoutRow* first, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) Add(first[i]);
  }

  // In the order of the places above: column by column, top to bottom.
  void AddListBoxes(SettingKind kind, const char* page) {
    for (const BoxPlace& place : kBoxPlaces) {
      const std::optional<SettingRef> setting = SettingCatalogue::BindListControl(place.box);
      if (!setting || setting->kind != kind) continue;
      const SettingInfo& info = catalogue.Info(kind, setting->number);
      const short left = static_cast<short>(kColumns[place.column]);
      const short captionTop = static_cast<short>(kFirstCaptionTop + place.row * kRowStep);
      Add({place.label, ControlKind::Label, info.caption.c_str(), page, left, captionTop,
           kBoxWidth, kCaptionHeight});
      Add({place.box, ControlKind::ComboBox, "", page, left,
           static_cast<short>(captionTop + kBoxBelowCaption),
           kBoxWidth, kBoxHeight, info.control == kTypedList ? kEditable : kNone});
    }
  }

  void AddGammaPanel(const GammaNames& names, const char* page) {
    Add({names.panel, ControlKind::Panel, "", page, kColumns[2], 8, 169, 105,
         kBevelRaisedInner | kBevelLoweredOuter});
    Add({names.caption, ControlKind::Label, "Gamma settings", names.panel, 8, 6, 100, 14, kBold});
    for (int i = 0; i < 3; ++i) {
      const short top = static_cast<short>(24 + 16 * i);
      Add({names.tracks[i], ControlKind::TrackBar, "", names.panel, 4, top, 137, 16, kNone, "", 0,
           10, 400, 50});
      Add({names.labels[i], ControlKind::Label, "0.10", names.panel, 142,
           static_cast<short>(top + 1), 24, 14, kNone, "", 0, 0, 0, 0, kGammaColors[i]});
    }
    Add({names.lock, ControlKind::CheckBox, "Lock sliders", names.panel, 8, 80, 97, 17, kChecked});
  }

  EditorTable() {
    AddAll(kHeaderRows, std::size(kHeaderRows));
    AddListBoxes(SettingKind::Direct3D, kD3DPage);
    AddGammaPanel(kD3DGamma, kD3DPage);
    Add({"DVSyncCheck", ControlKind::CheckBox, "Disable V-Sync", kD3DPage, 344, 120, 113, 17});
    Add(kGlidePageRow);
    AddListBoxes(SettingKind::Glide, kGlidePage);
    AddGammaPanel(kGlideGamma, kGlidePage);
    AddAll(kGlideChecks, std::size(kGlideChecks));
    AddAll(kAdditionRows, std::size(kAdditionRows));
    AddAll(kButtonRows, std::size(kButtonRows));
    form = FormLayout{"TForm1", "Tarnwick", 249, 146, 526, 428,
                      form_flag::kSingleBorder | form_flag::kNoTitleButtons,
                      rows, count, "Arial", 11};
  }
};

}  // namespace

const FormLayout& EditorLayout() {
  static const EditorTable table;
  return table.form;
}

const std::vector<CatalogueBox>& CatalogueBoxes() {
  static const std::vector<CatalogueBox> boxes = [] {
    std::vector<CatalogueBox> found;
    for (const LayoutRow& row : EditorLayout()) {
      if (row.kind != ControlKind::ComboBox) continue;
      if (std::optional<SettingRef> setting = SettingCatalogue::BindListControl(row.name)) {
        found.push_back({row.name, *setting});
      }
    }
    return found;
  }();
  return boxes;
}

int LayoutBottom(const std::string& name) {
  const LayoutRow* row = EditorLayout().Find(name);
  return row ? row->top + row->height : 0;
}

}  // namespace tw
