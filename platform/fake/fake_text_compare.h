// Case-insensitive comparison as the English locale orders plain ASCII names;
// the second byte of a double-byte character keeps its case.
#pragma once

#include <string>

#include "platform/ascii_case.h"
#include "platform/text_compare.h"

namespace tw {

class FakeTextCompare : public TextCompare {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) const override {
    const int order = AsciiLower(a).compare(AsciiLower(b));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }
};

}  // namespace tw
