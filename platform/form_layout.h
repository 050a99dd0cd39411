// A window described as data: the form itself and one row per control, in
// creation order. The Win32 side turns such a table into real windows; the
// logic and the tests only read it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tw {

enum class ControlKind : unsigned char {
  Label,
  Panel,
  RadioButton,
  CheckBox,
  Button,
  Memo,
  Edit,
  ComboBox,
  TrackBar,
  PageControl,
  Page,      // one page of the page control named as its parent
  Image,     // an icon
  SpinEdit,  // a number box with up and down arrows
};

// Row flags; combine with |.
namespace layout_flag {
constexpr unsigned kNone = 0;
constexpr unsigned kChecked = 1u << 0;           // radio button or check box selected at start
constexpr unsigned kVerticalScroll = 1u << 1;    // memo with a vertical scroll bar
constexpr unsigned kBevelRaisedInner = 1u << 2;  // panel bevels
constexpr unsigned kBevelLoweredOuter = 1u << 3;
constexpr unsigned kBold = 1u << 4;              // font weight of the row's own font
constexpr unsigned kReadOnly = 1u << 5;
constexpr unsigned kHidden = 1u << 6;
constexpr unsigned kDefaultButton = 1u << 7;
constexpr unsigned kEditable = 1u << 8;    // combo box whose text field can be typed into
constexpr unsigned kWordWrap = 1u << 9;    // label keeps its size and wraps its text
constexpr unsigned kAlignCenter = 1u << 10;
constexpr unsigned kAlignRight = 1u << 11;
constexpr unsigned kShowHint = 1u << 12;   // shows its hint when the mouse rests on it
constexpr unsigned kDisabled = 1u << 13;
constexpr unsigned kUnderline = 1u << 14;    // font of a link
constexpr unsigned kHandCursor = 1u << 15;   // the pointer of a link; the label reports clicks
}  // namespace layout_flag

// Form flags; combine with |.
namespace form_flag {
constexpr unsigned kNone = 0;
constexpr unsigned kSingleBorder = 1u << 0;     // fixed, not resizable
constexpr unsigned kDialogBorder = 1u << 1;
constexpr unsigned kNoTitleButtons = 1u << 2;   // no system menu, no close box
constexpr unsigned kToolWindow = 1u << 3;       // small caption, close button only
}  // namespace form_flag

constexpr unsigned kDefaultTextColor = 0xFFFFFFFFu;
constexpr unsigned kNavy = 0x00800000u;
constexpr unsigned kRed = 0x000000FFu;
constexpr unsigned kGreen = 0x00008000u;
constexpr unsigned kBlue = 0x00FF0000u;

struct LayoutRow {
  const char* name;     // component name, as the handlers and tests address it
  ControlKind kind;
  const char* caption;
  const char* parent;   // component name of the parent; "" for the form itself
  short left;           // pixels, relative to the parent's client area
  short top;
  short width;
  short height;
  unsigned flags = layout_flag::kNone;
  const char* fontName = "";  // "" keeps the form's font
  short fontHeight = 0;       // character height in pixels; 0 keeps the form's
  short rangeMin = 0;         // track bar and spin edit range; tick step of a track bar
  short rangeMax = 0;
  short tickStep = 0;
  unsigned textColor = kDefaultTextColor;  // 0x00BBGGRR
  const char* hint = "";      // the hint of a kShowHint row, until the program sets another
};

struct FormLayout {
  const char* className;  // window class name, also used to find the window
  const char* caption;
  int left;               // screen position of the window
  int top;
  int clientWidth;
  int clientHeight;
  unsigned flags;
  const LayoutRow* rows;
  std::size_t rowCount;
  const char* fontName = "";  // the form's font; "" keeps the system's dialog font
  int fontHeight = 0;         // pixels

  const LayoutRow* begin() const { return rows; }
  const LayoutRow* end() const { return rows + rowCount; }
  // The row of a component, or nullptr.
  const LayoutRow* Find(const std::string& name) const {
    for (const LayoutRow& row : *this)
      if (name == row.name) return &row;
    return nullptr;
  }
};

// Layouts are drawn for a screen of 96 pixels per logical inch ("Small
// Fonts"). With Large Fonts (120) and larger the system's font grows, so the
// forms grow with it, as the forms of the era did.
constexpr int kDesignDpi = 96;

// A length drawn at 96 dpi on a screen of `dpi`, to the nearest pixel with
// halves away from zero, as MulDiv rounds.
inline int ScaleToDpi(int pixels, int dpi) {
  if (dpi <= 0) dpi = kDesignDpi;  // a screen that tells nothing: as drawn
  const long product = static_cast<long>(pixels) * dpi;
  const long half = product < 0 ? -kDesignDpi / 2 : kDesignDpi / 2;
  return static_cast<int>((product + half) / kDesignDpi);
}

// The width a control needs for a caption `textWidth` pixels wide: a check
// box or radio button also its box and a gap (13 and 5 pixels at 96 dpi).
inline int CaptionWidth(ControlKind kind, int textWidth, int dpi) {
  const bool boxed = kind == ControlKind::CheckBox || kind == ControlKind::RadioButton;
  return boxed ? textWidth + ScaleToDpi(13 + 5, dpi) : textWidth;
}

// A layout as it stands on a screen of `dpi`: each row's edges (so controls
// that touch keep touching and none leaves its parent), its own font height,
// the client size and the form's font height. The window's place on the
// screen stays, as the stored places are screen pixels. At 96 dpi it is the
// layout as drawn.
class ScaledLayout {
 public:
  ScaledLayout(const FormLayout& design, int dpi)
      : rows_(new LayoutRow[design.rowCount ? design.rowCount : 1]), form_(design) {
    auto scale = [dpi](int pixels) { return static_cast<short>(ScaleToDpi(pixels, dpi)); };
    for (std::size_t i = 0; i < design.rowCount; ++i) {
      const LayoutRow& row = design.rows[i];
      LayoutRow& scaled = rows_[i];
      scaled = row;
      scaled.left = scale(row.left);
      scaled.top = scale(row.top);
      scaled.width = static_cast<short>(scale(row.left + row.width) - scaled.left);
      scaled.height = static_cast<short>(scale(row.top + row.height) - scaled.top);
      scaled.fontHeight = scale(row.fontHeight);
    }
    form_.rows = rows_.get();
    form_.clientWidth = ScaleToDpi(design.clientWidth, dpi);
    form_.clientHeight = ScaleToDpi(design.clientHeight, dpi);
    form_.fontHeight = ScaleToDpi(design.fontHeight, dpi);
  }
  ScaledLayout(const ScaledLayout&) = delete;
  ScaledLayout& operator=(const ScaledLayout&) = delete;

  const FormLayout& Form() const { return form_; }

 private:
  std::unique_ptr<LayoutRow[]> rows_;
  FormLayout form_;
};

}  // namespace tw
