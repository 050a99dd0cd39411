#include "harness/driver_registry.h"

#include <sstream>
#include <stdexcept>
#include <vector>

#include "harness/registry.h"

namespace e2e {

namespace {

std::string TextOf(const Value& value) {
  const std::string& bytes = value.bytes;
  if (value.type == REG_SZ && !bytes.empty() && bytes.find('\0') == bytes.size() - 1) {
    return bytes.substr(0, bytes.size() - 1);
  }
  std::ostringstream out;
  out << '<' << value << '>';
  return out.str();
}

}  // namespace

// One pass over the key; false when a value grew while it was read.
static bool TryReadValueTable(HKEY root, const std::string& path, std::optional<ValueTable>* out);

std::optional<ValueTable> ReadValueTable(HKEY root, const std::string& path) {
  // The program under test may write the key while it is read: a value that
  // grew past the sizes asked for first means reading it all again.
  for (int attempt = 1;; ++attempt) {
    std::optional<ValueTable> table;
    if (TryReadValueTable(root, path, &table) || attempt == 8) return table;
  }
}

static bool TryReadValueTable(HKEY root, const std::string& path,
                              std::optional<ValueTable>* out) {
  Key key = OpenKey(root, path);
  if (!key) {
    out->reset();
    return true;
  }
  DWORD longestName = 0;
  DWORD longestData = 0;
  LONG rc = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &longestName, &longestData, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) {
    throw std::runtime_error("RegQueryInfoKeyA(" + path + ") failed with error " +
                             std::to_string(rc));
  }
  ValueTable table;
  std::vector<char> name(longestName + 2);
  std::vector<BYTE> data(longestData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    rc = RegEnumValueA(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(),
                       &dataSize);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) return false;
    if (rc != ERROR_SUCCESS) {
      throw std::runtime_error("RegEnumValueA(" + path + ") failed with error " +
                               std::to_string(rc));
    }
    const Value value{type, std::string(reinterpret_cast<const char*>(data.data()), dataSize)};
    table[std::string(name.data(), nameLength)] = TextOf(value);
  }
  *out = std::move(table);
  return true;
}

void WriteValueTable(HKEY root, const std::string& path, const ValueTable& values) {
  CreateKey(root, path);
  for (const auto& [name, text] : values) WriteValue(root, path, name, StringValue(text));
}

std::string DescribeDifferences(const ValueTable& expected, const ValueTable& actual) {
  std::ostringstream out;
  for (const auto& [name, text] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) {
      out << "  missing  \"" << name << "\" (expected \"" << text << "\")\n";
    } else if (found->second != text) {
      out << "  differs  \"" << name << "\" = \"" << found->second << "\" (expected \"" << text
          << "\")\n";
    }
  }
  for (const auto& [name, text] : actual) {
    if (expected.count(name) == 0) {
      out << "  unexpected \"" << name << "\" = \"" << text << "\"\n";
    }
  }
  return out.str();
}

}  // namespace e2e
