// A registry read or write that ends the running command. The message loop
// catches it and shows the general error report.
#pragma once

#include <string>

#include "platform/command_error.h"

namespace tw {

class RegistryError : public CommandError {
 public:
  using CommandError::CommandError;

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
