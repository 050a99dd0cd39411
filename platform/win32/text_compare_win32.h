// Case-insensitive ordering by the user's locale, as the system sorts names.
#pragma once

#include "platform/text_compare.h"

namespace tw {

class Win32TextCompare : public TextCompare {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) const override;
};

}  // namespace tw
