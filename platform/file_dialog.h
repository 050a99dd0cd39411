// The open-file dialog that picks a program to add.
#pragma once

#include <optional>
#include <string>

namespace tw {

class ProgramChooser {
 public:
  virtual ~ProgramChooser() = default;
  // Runs the dialog modally. The chosen path (a chosen shortcut yields its
  // target's path), or nullopt when the user cancels.
  virtual std::optional<std::string> ChooseProgram() = 0;
};

}  // namespace tw
