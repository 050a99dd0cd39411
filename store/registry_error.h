// A registry read or write that ends the running command. The message loop
// catches it and shows the general error report.
#pragma once

#include <stdexcept>
#include <string>

namespace tw {

class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  static RegistryError InvalidType(const std::string& name) {
    return RegistryError("Invalid data type for '" + name + "'");
  }
  static RegistryError GetFailed(const std::string& name) {
    return RegistryError("Failed to get data for '" + name + "'");
  }
  static RegistryError SetFailed(const std::string& name) {
    return RegistryError("Failed to set data for '" + name + "'");
  }
};

}  // namespace tw
