// The registry as the program needs it: keys opened by path below a root,
// string and DWORD values, subkey listing and deletion, and writing a hive
// out to disk. The Win32
// implementation wraps advapi32; the fake keeps a tree in memory with the same
// rules, so the store can be tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// DynData is Windows 9x's HKEY_DYN_DATA: rebuilt at every boot, only read.
enum class RootKey { CurrentUser, LocalMachine, DynData };

// Win32 result codes, kept numerically identical so both backends speak alike.
namespace reg_error {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kBadPathname = 161;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kKeyDeleted = 1018;
}  // namespace reg_error

// Registry value types (REG_*), by their Win32 numbers.
namespace reg_type {
constexpr uint32_t kNone = 0;
constexpr uint32_t kString = 1;     // REG_SZ
constexpr uint32_t kExpandString = 2;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;      // REG_DWORD
}  // namespace reg_type

// An open key; 0 is never a valid key.
using RegKey = std::uintptr_t;

// A value as the system hands it out: its type and its raw bytes, exactly as
// many as the system reports (a REG_SZ may lack its terminating NUL).
struct RawValue {
  uint32_t type = reg_type::kNone;
  std::string bytes;
};

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;

  // `subkey` is passed to the system as given (no leading backslash
  // stripping here: that is the store's job). Both return a reg_error code.
  virtual long CreateKey(RootKey root, const std::string& subkey, RegKey* key) = 0;
  virtual long OpenKey(RootKey root, const std::string& subkey, RegKey* key) = 0;
  virtual long CloseKey(RegKey key) = 0;
  // CreateKey that also says whether this call made the key
  // (REG_CREATED_NEW_KEY) or found it: of two processes creating one key at
  // once, exactly one is told it made it. This plain form, for backends
  // that only pass calls on, is not atomic; the real ones override it.
  virtual long CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key, bool* created) {
    *created = OpenKey(root, subkey, key) != reg_error::kSuccess;
    return *created ? CreateKey(root, subkey, key) : reg_error::kSuccess;
  }

  virtual long QueryValue(RegKey key, const std::string& name, RawValue* value) = 0;
  virtual long SetValue(RegKey key, const std::string& name, const RawValue& value) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;

  // Names of the direct subkeys, in the order the system enumerates them.
  virtual long EnumSubkeys(RegKey key, std::vector<std::string>* names) = 0;
  // Names of the key's values, in the order the system enumerates them.
  virtual long EnumValues(RegKey key, std::vector<std::string>* names) = 0;
  // Deletes one direct subkey of `key`, as RegDeleteKeyA does: on NT this
  // fails with kAccessDenied when the subkey has subkeys of its own.
  virtual long DeleteSubkey(RegKey key, const std::string& subkey) = 0;
  // Writes the hive holding `key` to disk before returning, as RegFlushKey
  // does; without it a system may keep changes in memory for a while.
  virtual long FlushKey(RegKey key) = 0;
};

}  // namespace tw
