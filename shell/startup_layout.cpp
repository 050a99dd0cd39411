#include "shell/startup_layout.h"

#include <iterator>

namespace tw {

namespace {

const LayoutRow kRows[] = {
    {"Memo1", ControlKind::Memo, "", "", 8, 8, 401, 129,
     layout_flag::kVerticalScroll},
    {"Button1", ControlKind::Button, "Close", "", 328, 144, 75, 25},
};

const FormLayout kForm = {
    "TForm2",
    "Tarnwick Startup check",
    391,
    472,
    420,
    177,
    form_flag::kSingleBorder | form_flag::kNoTitleButtons,
    kRows,
    std::size(kRows),
};

}  // namespace

const FormLayout& StartupWindowLayout() { return kForm; }

}  // namespace tw
