// One registry handle: a fixed root and at most one open key. Paths are always
// taken from the root; a leading backslash (which NT refuses) is dropped and a
// trailing one names the same key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_backend.h"

namespace tw {

class RegistryHandle {
 public:
  RegistryHandle(RegistryBackend& backend, RootKey root);
  ~RegistryHandle();
  RegistryHandle(const RegistryHandle&) = delete;
  RegistryHandle& operator=(const RegistryHandle&) = delete;

  RootKey Root() const { return root_; }
  RegistryBackend& Backend() const { return backend_; }

  // Opens `path`, creating it and its missing parents when `canCreate`.
  // Closes any key open before. False when the key cannot be opened.
  bool OpenKey(const std::string& path, bool canCreate);
  // Why the last OpenKey failed (a reg_error code); kSuccess after a success.
  long LastOpenError() const { return lastOpenError_; }
  void CloseKey();
  bool HasOpenKey() const { return key_ != 0; }
  const std::string& CurrentPath() const { return path_; }

  // Whether `path` exists; creates nothing and keeps the open key.
  bool KeyExists(const std::string& path);
  // Creates `path` (keeping the open key): true when this call made it,
  // false when it was there, also when another process made it a moment
  // before. A refusal throws "Failed to set data for '%s'".
  bool CreateNewKey(const std::string& path);

  // On the open key. Without one: nothing exists, reads fail, writes fail.
  // A query the registry refuses (other than "not found") is no answer: it
  // throws "Failed to get data for '%s'" rather than pass for a missing value.
  bool ValueExists(const std::string& name);
  // Whether the value exists with the type a read of that kind accepts.
  bool HasInteger(const std::string& name);
  bool HasString(const std::string& name);
  // The value as stored; nullopt when missing.
  std::optional<RawValue> ReadValue(const std::string& name);
  static bool IsText(const RawValue& value);
  // The text of a string value: up to its first NUL, or all of it.
  static std::string TextOf(const RawValue& value);
  // A missing string reads as "". A DWORD where a string is expected (or the
  // reverse) throws "Invalid data type for '%s'".
  std::string ReadString(const std::string& name);
  // Missing: "Failed to get data for '%s'"; wrong type: "Invalid data type".
  int32_t ReadInteger(const std::string& name);
  bool ReadBool(const std::string& name);
  // A refused write throws "Failed to set data for '%s'".
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value);
  // True when the value existed and is gone; false when there was none. A
  // deletion the registry refuses throws "Failed to set data for '%s'".
  bool DeleteValue(const std::string& name);

  // Direct subkeys of the open key, in the system's order (empty without one).
  std::vector<std::string> GetKeyNames();
  // The same, false when the registry refuses the listing: where an empty
  // list would be taken for "none", a refusal must not pass for one.
  bool ListKeyNames(std::vector<std::string>* names);
  // Value names of the open key, in the system's order (empty without one).
  std::vector<std::string> GetValueNames();
  // The same, false when the registry would not list them.
  bool ListValueNames(std::vector<std::string>* names);

  // A value of any type as stored; false when it cannot be read.
  bool ReadRaw(const std::string& name, RawValue* value);
  // A refused write throws "Failed to set data for '%s'".
  void WriteRaw(const std::string& name, const RawValue& value);

  // Writes the open key's hive to disk now. False without an open key or
  // when the system would not.
  bool Flush();

  // Deletes `path` with everything below it, children first, so it works on
  // NT as on Windows 98. Closes the open key if it lies in the deleted tree.
  bool DeleteKey(const std::string& path);

  // The form every path takes before it reaches the system.
  static std::string NormalizePath(const std::string& path);

 private:
  RegistryBackend& backend_;
  RootKey root_;
  RegKey key_ = 0;
  std::string path_;
  long lastOpenError_ = reg_error::kSuccess;
};

// Opens a key on a handle for one operation and closes it on every way out.
class ScopedKey {
 public:
  // Out of line: inlined, every use of it carried its own copy.
  ScopedKey(RegistryHandle& handle, const std::string& path, bool canCreate);
  ~ScopedKey();
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  explicit operator bool() const { return open_; }
  // The key exists, or would have been created, but the registry refused it.
  bool Refused() const { return refused_; }

 private:
  RegistryHandle& handle_;
  bool open_;
  bool refused_ = false;
};

}  // namespace tw
