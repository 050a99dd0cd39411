// Text into the system's ANSI code page, as the .reg reader and the console
// companion need it.
#pragma once

#include <string>

namespace tw {

// UTF-16 text into the system's ANSI code page. False when a character has
// no ANSI form, so a name is never silently changed on import; `ansi` then
// holds the text with '?' for each such character, to name it in a message.
class AnsiConverter {
 public:
  virtual ~AnsiConverter() = default;
  virtual bool ToAnsi(const std::u16string& text, std::string* ansi) const = 0;
};

}  // namespace tw
