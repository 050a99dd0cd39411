// The main window as it first appears: the start-up window with the
// detection log, shown only in debug mode.
#pragma once

#include "platform/form_layout.h"

namespace tw {

const FormLayout& StartupWindowLayout();

}  // namespace tw
