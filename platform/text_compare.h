// Locale-aware, case-insensitive ordering of names, as the system sorts them.
#pragma once

#include <string>

namespace tw {

class TextCompare {
 public:
  virtual ~TextCompare() = default;
  // <0, 0, >0 like strcmp, ignoring letter case in the user's locale.
  virtual int CompareNoCase(const std::string& a, const std::string& b) const = 0;
};

}  // namespace tw
