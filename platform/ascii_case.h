// Letter case of registry names and paths: the registry folds only ASCII
// letters for the names this program uses, and the second byte of a
// double-byte character is never a letter to fold.
#pragma once

#include <string>
#include <utility>

#include "platform/ansi_text.h"

namespace tw {

inline std::string AsciiFold(std::string s, char from, char to) {
  for (size_t i = 0; i < s.size(); i = NextChar(s, i)) {
    if (s[i] >= from && s[i] <= static_cast<char>(from + 25)) {
      s[i] = static_cast<char>(s[i] - from + to);
    }
  }
  return s;
}

inline std::string AsciiLower(std::string s) { return AsciiFold(std::move(s), 'A', 'a'); }
inline std::string AsciiUpper(std::string s) { return AsciiFold(std::move(s), 'a', 'A'); }

}  // namespace tw
