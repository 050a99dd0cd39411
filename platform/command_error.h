// An error that ends the running command; the message loop shows its text in
// the general error report. Derived from std::exception alone: the standard
// library's own error classes would link a second string implementation
// into the exe.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tw {

class CommandError : public std::exception {
 public:
  explicit CommandError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace tw
