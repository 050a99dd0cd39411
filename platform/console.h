// What a console program needs: its two output streams and whole files.
#pragma once

#include <string>

namespace tw {

class Console {
 public:
  virtual ~Console() = default;
  virtual void Out(const std::string& text) = 0;  // standard output
  virtual void Err(const std::string& text) = 0;  // standard error
  // False with a message when the file cannot be read or written; a file
  // that cannot be written whole is removed again.
  virtual bool ReadFile(const std::string& path, std::string* bytes, std::string* error) = 0;
  virtual bool WriteFile(const std::string& path, const std::string& bytes,
                         std::string* error) = 0;
  // Whether a file (not a folder) of that path is there.
  virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace tw
