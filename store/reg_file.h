// Registry files as regedit reads and writes them: "REGEDIT4" (ANSI, the
// form Windows 98 imports by a double click) and "Windows Registry Editor
// Version 5.00" (usually UTF-16 with a byte-order mark). Reading only turns
// text into keys and values; what may be written where is the caller's.
#pragma once

#include <string>
#include <vector>

#include "platform/ansi_converter.h"
#include "platform/registry_backend.h"

namespace tw {

enum class RegFileFormat { Regedit4, Version5 };

struct RegFileValue {
  std::string name;     // "" is the key's default value (@)
  bool remove = false;  // "name"=-
  RawValue value;       // strings as ANSI with their terminating NUL
  int line = 0;
};

struct RegFileKey {
  std::string path;     // as between the brackets, e.g. "HKEY_CURRENT_USER\Software\..."
  bool remove = false;  // [-path]
  std::vector<RegFileValue> values;
  int line = 0;
};

struct RegFile {
  RegFileFormat format = RegFileFormat::Regedit4;
  std::vector<RegFileKey> keys;
};

struct RegFileParse {
  bool ok = false;
  std::string error;  // "line 12: ..." when not ok
  RegFile file;
};

// The bytes of a .reg file: ANSI text, or UTF-16LE with its byte-order mark.
// Understands comments (;), blank lines, CRLF or LF, [key] and [-key],
// "name" or @ with "text", dword:, hex:, hex(N): (continued over lines by a
// trailing backslash) and - (delete), with \\ and \" escaped in quotes.
RegFileParse ParseRegFile(const std::string& bytes, const AnsiConverter& converter);

// REGEDIT4 text with CRLF line ends: strings quoted, DWORDs as dword:, any
// other value (or a string a quoted form cannot carry) as hex(N):.
std::string WriteRegedit4(const RegFile& file);

}  // namespace tw
