// ANSI text walked by character in the system's code page. In the double-byte
// code pages of Japanese, Chinese and Korean Windows (932, 936, 949, 950) the
// second byte of a character can be '\', '|', '~' or a letter, so paths and
// names are never split, trimmed, searched, case-folded or cut byte by byte.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tw {

// An ANSI code page as far as walking needs it: its lead bytes, in ranges.
struct CodePage {
  unsigned number;
  unsigned char leadRanges[12];  // first, last pairs; a 0 pair ends the list
};

// The code pages the native build knows; any other is taken as single-byte.
constexpr CodePage KnownCodePage(unsigned number) {
  return number == 932 ? CodePage{932, {0x81, 0x9F, 0xE0, 0xFC}}
         : number == 936 || number == 949 || number == 950 ? CodePage{number, {0x81, 0xFE}}
                                                           : CodePage{number, {}};
}

// The code page every walk below uses: 1252 until the Win32 start-up sets the
// system's, once, before any text is walked (tests set the one they need).
inline CodePage g_systemCodePage = KnownCodePage(1252);
inline void SetSystemCodePage(const CodePage& page) { g_systemCodePage = page; }
inline const CodePage& SystemCodePage() { return g_systemCodePage; }

inline bool IsLeadByte(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  const unsigned char* r = g_systemCodePage.leadRanges;
  for (int i = 0; i < 12 && r[i] != 0; i += 2) {
    if (b >= r[i] && b <= r[i + 1]) return true;
  }
  return false;
}

// Where the character at `at` ends. A lead byte without a second byte (at the
// end, or before a NUL) is a character of its own, as the system walks it.
inline size_t NextChar(const std::string& text, size_t at) {
  return IsLeadByte(text[at]) && at + 1 < text.size() && text[at + 1] != '\0' ? at + 2 : at + 1;
}

// The first character `c` (a single-byte one) from `from`, a character start.
inline size_t FindChar(const std::string& text, char c, size_t from = 0) {
  for (size_t i = from; i < text.size(); i = NextChar(text, i)) {
    if (text[i] == c) return i;
  }
  return std::string::npos;
}

// The last character that is one of `set` (single-byte characters).
inline size_t FindLastChar(const std::string& text, const std::string& set) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size(); i = NextChar(text, i)) {
    if (set.find(text[i]) != std::string::npos) found = i;
  }
  return found;
}

inline bool EndsWithChar(const std::string& text, char c) {
  const size_t last = FindLastChar(text, std::string(1, c));
  return last != std::string::npos && last + 1 == text.size();
}

// `text` without its trailing characters `c`, keeping at least `keep` bytes
// ("C:\" keeps its own backslash with keep 3).
inline std::string WithoutTrailing(std::string text, char c, size_t keep = 0) {
  size_t end = 0;  // just after the last character that is not `c`
  for (size_t i = 0; i < text.size(); i = NextChar(text, i)) {
    if (text[i] != c) end = NextChar(text, i);
  }
  text.resize(end > keep ? end : (keep < text.size() ? keep : text.size()));
  return text;
}

// `text` split at each character `c`, empty parts kept: "A\\B\" gives
// "A", "", "B", "".
inline std::vector<std::string> SplitAtChar(const std::string& text, char c) {
  std::vector<std::string> parts(1);
  for (size_t i = 0, next; i < text.size(); i = next) {
    next = NextChar(text, i);
    if (text[i] == c) {
      parts.emplace_back();
    } else {
      parts.back().append(text, i, next - i);
    }
  }
  return parts;
}

// "C:\Games\Demo\DEMO.EXE" -> "DEMO.EXE" and "C:\Games\Demo\" (with its
// backslash; "" for a bare file name).
inline std::string PathFileName(const std::string& path) {
  const size_t slash = FindLastChar(path, "\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
inline std::string PathFolder(const std::string& path) {
  const size_t slash = FindLastChar(path, "\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The longest start of `text` of whole characters that fits in `bytes`.
inline std::string CutToBytes(const std::string& text, size_t bytes) {
  size_t end = 0;
  for (size_t next; end < text.size() && (next = NextChar(text, end)) <= bytes;) end = next;
  return text.substr(0, end);
}

}  // namespace tw
