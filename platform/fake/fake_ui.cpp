// The user-interface fakes are header-only; this unit keeps their vtables in
// one object file.
#include "platform/fake/fake_ui.h"
