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

// Characters up to U+00FF map to the same byte (Latin-1); others have no form.
class FakeAnsiConverter : public AnsiConverter {
 public:
  bool ToAnsi(const std::u16string& text, std::string* ansi) const override {
    ansi->clear();
    for (char16_t c : text) {
      if (c > 0xFF) return false;
      ansi->push_back(static_cast<char>(c));
    }
    return true;
  }
};

}  // namespace tw
