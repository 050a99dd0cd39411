// Letter case of registry names: the registry folds only ASCII letters for
// the names this program uses.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace tw {

inline std::string AsciiLower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

inline std::string AsciiUpper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace tw
