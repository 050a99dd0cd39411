// Standard streams and files in memory, for the console companion's tests.
#pragma once

#include <map>
#include <string>

#include "platform/ansi_converter.h"
#include "platform/console.h"

namespace tw {

class FakeConsole : public Console {
 public:
  void Out(const std::string& text) override { out += text; }
  void Err(const std::string& text) override { err += text; }
  bool ReadFile(const std::string& path, std::string* bytes, std::string* error) override {
    auto it = files.find(path);
    if (it == files.end()) {
      *error = path + ": The system cannot find the file specified";
      return false;
    }
    *bytes = it->second;
    return true;
  }
  bool WriteFile(const std::string& path, const std::string& bytes, std::string* error) override {
    if (path == unwritable) {
      *error = path + ": Access is denied";
      return false;
    }
    files[path] = bytes;
    return true;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }

  std::string out;
  std::string err;
  std::map<std::string, std::string> files;
  std::string unwritable;  // a path whose writing fails
};

// Code page 1252, as Western Windows has it: Latin-1, except that 0x80-0x9F
// hold typographic characters (U+20AC euro sign, U+2013 en dash, U+2019
// right quote, ...); the five bytes 1252 leaves unassigned stand for
// themselves. Others have no form.
class FakeAnsiConverter : public AnsiConverter {
 public:
  bool ToAnsi(const std::u16string& text, std::string* ansi) const override {
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    ansi->clear();
    bool whole = true;
    for (char16_t c : text) {
      int byte = c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? c : -1;
      for (int i = 0; byte < 0 && i < 32; ++i) {
        if (kHigh[i] == c) byte = 0x80 + i;
      }
      whole = whole && byte >= 0;
      ansi->push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return whole;
  }
};

}  // namespace tw
