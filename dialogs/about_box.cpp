#include "dialogs/about_box.h"

#include <iterator>

#include "platform/messages.h"

namespace tw {

namespace {

using namespace layout_flag;

constexpr unsigned kLink = kUnderline | kHandCursor | kShowHint;

const LayoutRow kRows[] = {
    {"Panel1", ControlKind::Panel, "", "", 0, 0, 298, 130, kBevelRaisedInner | kBevelLoweredOuter},
    {"Label1", ControlKind::Label, "Tarnwick", "Panel1", 16, 16, 70, 22, kLink, "", 19, 0, 0, 0,
     kDefaultTextColor, "Visit webpage"},
    {"Label2", ControlKind::Label, "Version 0.74b", "Panel1", 224, 104, 68, 13},
    {"Label3", ControlKind::Label, "Robin Hexmoor", "Panel1", 84, 48, 100, 17, kNone, "", 15, 0, 0,
     0, kBlue},
    {"Label4", ControlKind::Label, kAuthorMail, "Panel1", 88, 72, 140, 17, kLink, "", 15, 0, 0, 0,
     kBlue, "Mail me"},
    {"Label5", ControlKind::Label, "No warranty.", "Panel1", 8, 104, 60, 13},
    {"Label6", ControlKind::Label, "<-- visit the webpage", "Panel1", 192, 24, 100, 13},
    {"Button1", ControlKind::Button, "OK", "Panel1", 112, 96, 75, 25, kDefaultButton},
};

const FormLayout kForm = {
    "TForm3", "About Tarnwick", 541, 209, 298, 130, form_flag::kToolWindow, kRows,
    std::size(kRows),
};

}  // namespace

void AboutBox::RequestRelease() {
  // OK followed by the close button would ask twice; one release is enough.
  if (releaseRequested_) return;
  releaseRequested_ = true;
  ui_.PostToMainWindow(kAboutClosedMessage);
}

const FormLayout& AboutBoxLayout() { return kForm; }

}  // namespace tw
