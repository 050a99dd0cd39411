#include "harness/registry.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <stdexcept>
#include <vector>

namespace e2e {

namespace {

[[noreturn]] void Fail(const char* call, const std::string& path, LONG rc) {
  throw std::runtime_error(std::string(call) + "(" + path + ") failed with error " +
                           std::to_string(rc));
}

}  // namespace

Key::~Key() {
  if (key_ != nullptr) RegCloseKey(key_);
}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

bool operator==(const Value& a, const Value& b) { return a.type == b.type && a.bytes == b.bytes; }

std::ostream& operator<<(std::ostream& out, const Value& value) {
  if (value.type == REG_DWORD && value.bytes.size() == sizeof(DWORD)) {
    DWORD number = 0;
    value.bytes.copy(reinterpret_cast<char*>(&number), sizeof number);
    return out << "REG_DWORD " << number;
  }
  if (value.type == REG_SZ) return out << "REG_SZ \"" << value.bytes.c_str() << "\"";
  out << "type " << value.type << " bytes";
  for (unsigned char c : value.bytes) {
    out << ' ' << std::hex << std::setw(2) << std::setfill('0') << int{c} << std::dec;
  }
  return out;
}

Value DwordValue(DWORD number) {
  return Value{REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

Value StringValue(const std::string& text) {
  return Value{REG_SZ, text + '\0'};
}

Key OpenKey(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (rc == ERROR_FILE_NOT_FOUND) return Key();
  if (rc != ERROR_SUCCESS) Fail("RegOpenKeyExA", path, rc);
  return Key(key);
}

Key CreateKey(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  const LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) Fail("RegCreateKeyExA", path, rc);
  return Key(key);
}

bool KeyExists(HKEY root, const std::string& path) { return static_cast<bool>(OpenKey(root, path)); }

std::optional<Value> ReadValue(HKEY root, const std::string& path, const std::string& name) {
  Key key = OpenKey(root, path);
  if (!key) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS) Fail("RegQueryValueExA", path + "\\" + name, rc);
  std::vector<BYTE> data(size + 1);
  rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
  // The program under test may delete the value between the two queries.
  if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS) Fail("RegQueryValueExA", path + "\\" + name, rc);
  return Value{type, std::string(reinterpret_cast<const char*>(data.data()), size)};
}

std::optional<std::string> Text(HKEY root, const std::string& path, const std::string& name) {
  const std::optional<Value> value = ReadValue(root, path, name);
  if (!value || value->type != REG_SZ || value->bytes.empty()) return std::nullopt;
  return value->bytes.substr(0, value->bytes.size() - 1);
}

void WriteValue(HKEY root, const std::string& path, const std::string& name, const Value& value) {
  Key key = CreateKey(root, path);
  const LONG rc = RegSetValueExA(key.get(), name.c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.bytes.data()),
                                 static_cast<DWORD>(value.bytes.size()));
  if (rc != ERROR_SUCCESS) Fail("RegSetValueExA", path + "\\" + name, rc);
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  Key key = OpenKey(root, path);
  if (!key) return;
  const LONG rc = RegDeleteValueA(key.get(), name.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Fail("RegDeleteValueA", path + "\\" + name, rc);
}

void DeleteTree(HKEY root, const std::string& path) {
  std::vector<std::string> children;
  {
    Key key = OpenKey(root, path);
    if (!key) return;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      const LONG rc = RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) Fail("RegEnumKeyExA", path, rc);
      children.emplace_back(name, length);
    }
  }
  for (const std::string& child : children) DeleteTree(root, path + "\\" + child);
  const LONG rc = RegDeleteKeyA(root, path.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Fail("RegDeleteKeyA", path, rc);
}

namespace {

void Dump(HKEY root, const std::string& path, const char* skip, std::vector<std::string>* out) {
  Key key = OpenKey(root, path);
  if (!key) return;
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) {
    if (skip != nullptr && _strnicmp(n.c_str(), skip, strlen(skip)) == 0) continue;
    const std::optional<Value> value = ReadValue(root, path, n);
    out->push_back(path + "|" + n + "|" + std::to_string(value->type) + "|" + value->bytes);
  }
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    children.emplace_back(name, length);
  }
  std::sort(children.begin(), children.end());
  for (const std::string& child : children) {
    out->push_back(path + "\\" + child);
    Dump(root, path + "\\" + child, skip, out);
  }
}

}  // namespace

std::vector<std::string> DumpTree(HKEY root, const std::string& path, const char* skipPrefix) {
  std::vector<std::string> out;
  Dump(root, path, skipPrefix, &out);
  return out;
}

std::optional<KeyContents> CountContents(HKEY root, const std::string& path) {
  Key key = OpenKey(root, path);
  if (!key) return std::nullopt;
  KeyContents contents;
  const LONG rc = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &contents.subkeys, nullptr,
                                   nullptr, &contents.values, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) Fail("RegQueryInfoKeyA", path, rc);
  return contents;
}

}  // namespace e2e
