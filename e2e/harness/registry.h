// Registry access for the tests: planting state before a program starts and
// reading back what it wrote. Failures to write throw std::runtime_error,
// which GoogleTest reports as a failure of the running test.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

// An open key that closes itself.
class Key {
 public:
  Key() = default;
  explicit Key(HKEY key) : key_(key) {}
  ~Key();
  Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  Key& operator=(Key&& other) noexcept;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// A value as stored: its type and its bytes, exactly as many as reported.
struct Value {
  DWORD type = REG_NONE;
  std::string bytes;
};
bool operator==(const Value& a, const Value& b);
inline bool operator!=(const Value& a, const Value& b) { return !(a == b); }
std::ostream& operator<<(std::ostream& out, const Value& value);

Value DwordValue(DWORD number);
Value StringValue(const std::string& text);  // REG_SZ with its terminating NUL

// Paths are relative to the root, without a leading backslash.
Key OpenKey(HKEY root, const std::string& path);  // empty Key when it does not exist
Key CreateKey(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);

std::optional<Value> ReadValue(HKEY root, const std::string& path, const std::string& name);
// A REG_SZ value's text without its terminating NUL; nothing when the value
// is missing, of another type or empty.
std::optional<std::string> Text(HKEY root, const std::string& path, const std::string& name);
void WriteValue(HKEY root, const std::string& path, const std::string& name, const Value& value);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);

// Deletes a key with everything below it, children first (NT refuses to
// delete a key that has subkeys). Nothing happens when it does not exist.
void DeleteTree(HKEY root, const std::string& path);

// Every key and value below `path` as "key|name|type|bytes" lines, in a
// sorted walk, so two trees compare as text. Values whose name begins with
// `skipPrefix` (any letter case) are left out when it is given.
std::vector<std::string> DumpTree(HKEY root, const std::string& path,
                                  const char* skipPrefix = nullptr);

struct KeyContents {
  DWORD subkeys = 0;
  DWORD values = 0;
};
std::optional<KeyContents> CountContents(HKEY root, const std::string& path);

}  // namespace e2e
