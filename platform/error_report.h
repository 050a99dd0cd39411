// The text of the general error report.
#pragma once

#include <string>

namespace tw {

// The message with a full stop appended when its last character sorts after ".".
inline std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace tw
