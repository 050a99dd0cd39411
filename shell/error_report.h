// The text of the general error report.
#pragma once

#include <string>

namespace tw {

// The message with a full stop appended when its last character sorts after ".".
std::string ErrorReportText(const std::string& message);

}  // namespace tw
