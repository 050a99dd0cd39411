// Path texts for the editor's header and the checks on names that become
// registry keys or file names.
#pragma once

#include <string>

#include "platform/controls.h"

namespace tw {

// "C:\Games\Demo\DEMO.EXE" -> "DEMO.EXE" and "C:\Games\Demo\".
std::string FileNamePart(const std::string& path);
std::string DirectoryPart(const std::string& path);

// A folder path shortened with "..." in place of its leading folders until
// it is at most `maxWidth` wide in `form`'s font; the drive and the last
// folder stay as long as anything can.
std::string ShortenPath(const std::string& path, int maxWidth, const FormWindow& form);

// A profile name becomes a key under the program key: a backslash would make
// it a path into another key.
bool IsProfileKeyName(const std::string& name);
// A name a file can carry: none of \ / : * ? " < > | nor control characters.
bool IsSafeFileName(const std::string& name);

}  // namespace tw
