// Registry fixtures in the text format of .reg files (REGEDIT4), so the same
// files serve the tests and `wine regedit` for a manual run. Understood:
// [key] creates a key, [-key] deletes its tree, "name"="text" (@ for the
// default value), dword:, hex: and hex(N): values (lines continued with a
// trailing backslash), "name"=- deletes a value, ; starts a comment.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/registry.h"

namespace e2e {

struct RegFileStep {
  enum class Kind { CreateKey, DeleteTree, SetValue, DeleteValue };
  Kind kind = Kind::CreateKey;
  HKEY root = nullptr;
  std::string path;
  std::string name;
  Value value;
};

// Throws std::runtime_error naming the line of anything it cannot read.
std::vector<RegFileStep> ParseRegFile(const std::string& text);

void ApplyRegFile(const std::vector<RegFileStep>& steps);

// Reads, parses and applies the file at a Windows path.
void PlantRegFile(const std::string& path);

}  // namespace e2e
