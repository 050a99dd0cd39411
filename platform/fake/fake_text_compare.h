// Case-insensitive comparison as the English locale orders plain ASCII names.
#pragma once

#include <cctype>
#include <string>

#include "platform/text_compare.h"

namespace tw {

class FakeTextCompare : public TextCompare {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) const override {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      const int ca = std::tolower(static_cast<unsigned char>(a[i]));
      const int cb = std::tolower(static_cast<unsigned char>(b[i]));
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
};

}  // namespace tw
