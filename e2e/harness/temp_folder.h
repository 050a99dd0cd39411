// The temporary folder the tests keep their scratch files in.
#pragma once

#include <string>

namespace e2e {

// GetTempPath's folder; ends with a backslash.
std::string TempFolder();

}  // namespace e2e
