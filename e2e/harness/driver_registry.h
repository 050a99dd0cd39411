// Whole registry keys as the driver-run tests see them: every value of a key
// as name and text, so a key can be planted from a table and compared against
// one.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace e2e {

// Value name -> text. A value that is not a well-formed REG_SZ (another type,
// or bytes without exactly one terminating NUL) appears as a description in
// angle brackets, so it can never equal an expected text.
using ValueTable = std::map<std::string, std::string>;

// Every value of the key, names as stored; nothing when the key is missing.
std::optional<ValueTable> ReadValueTable(HKEY root, const std::string& path);

// Creates the key and writes each entry as a REG_SZ.
void WriteValueTable(HKEY root, const std::string& path, const ValueTable& values);

// One line per value that is missing, unexpected or different; empty when
// the two tables are equal.
std::string DescribeDifferences(const ValueTable& expected, const ValueTable& actual);

}  // namespace e2e
