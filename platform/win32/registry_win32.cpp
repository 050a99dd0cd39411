#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <utility>

namespace tw {

namespace {

HKEY RootHandle(RootKey root) {
  if (root == RootKey::DynData) return HKEY_DYN_DATA;
  return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

constexpr int kReadAttempts = 4;
constexpr std::string::size_type kLongestBuffer = 32768;

// A limited user on NT may read the machine's keys but not change them. Such
// a key is still opened, for reading: the driver entry is found and read, and
// a later write fails with the store's own message instead of the card
// seeming to be missing.
LONG OpenForReading(RootKey root, const std::string& subkey, HKEY* opened) {
  return RegOpenKeyExA(RootHandle(root), subkey.c_str(), 0, KEY_READ, opened);
}

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

enum class Names { Subkeys, Values };

long EnumNames(HKEY key, Names which, std::vector<std::string>* names) {
  const bool values = which == Names::Values;
  DWORD count = 0;
  DWORD longest = 0;
  LONG rc = values ? RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      &count, &longest, nullptr, nullptr, nullptr)
                   : RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return rc;

  // Windows 98 leaves out the terminating NUL in the longest value name it
  // reports; the buffer also grows should a longer name appear after the
  // query.
  std::string buffer(longest + 1 > MAX_PATH ? longest + 1 : MAX_PATH, '\0');
  std::vector<std::string> found;
  found.reserve(count);
  DWORD index = 0;
  for (;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    rc = values ? RegEnumValueA(key, index, &buffer[0], &length, nullptr, nullptr, nullptr,
                                nullptr)
                : RegEnumKeyExA(key, index, &buffer[0], &length, nullptr, nullptr, nullptr,
                                nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA && buffer.size() < kLongestBuffer) {
      buffer.assign(buffer.size() * 2, '\0');
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    found.emplace_back(buffer.data(), length < buffer.size() ? length : buffer.size());
    ++index;
  }
  *names = std::move(found);
  return ERROR_SUCCESS;
}

}  // namespace

long Win32RegistryBackend::CreateKey(RootKey root, const std::string& subkey, RegKey* key) {
  bool created = false;
  return CreateKeyNew(root, subkey, key, &created);
}

// The system decides which of two callers made the key, in one call.
long Win32RegistryBackend::CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key,
                                        bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  LONG rc = RegCreateKeyExA(RootHandle(root), subkey.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened,
                            &disposition);
  *created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  if (rc == ERROR_ACCESS_DENIED) rc = OpenForReading(root, subkey, &opened);
  if (rc == ERROR_SUCCESS) *key = FromHkey(opened);
  return rc;
}

long Win32RegistryBackend::OpenKey(RootKey root, const std::string& subkey, RegKey* key) {
  HKEY opened = nullptr;
  LONG rc = RegOpenKeyExA(RootHandle(root), subkey.c_str(), 0, KEY_ALL_ACCESS, &opened);
  if (rc == ERROR_ACCESS_DENIED) rc = OpenForReading(root, subkey, &opened);
  if (rc == ERROR_SUCCESS) *key = FromHkey(opened);
  return rc;
}

long Win32RegistryBackend::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

long Win32RegistryBackend::QueryValue(RegKey key, const std::string& name, RawValue* value) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;

  // The value may grow between the size query and the read; ask again then.
  std::string buffer;
  for (int attempt = 0; size > 0; ++attempt) {
    if (attempt == kReadAttempts) return ERROR_MORE_DATA;
    buffer.assign(size, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(&buffer[0]), &got);
    if (rc == ERROR_SUCCESS) {
      // Only the bytes the system reports are data.
      buffer.resize(got < size ? got : size);
      break;
    }
    if (rc != ERROR_MORE_DATA) return rc;
    size = got > size ? got : size * 2;
  }
  value->type = type;
  value->bytes = std::move(buffer);
  return ERROR_SUCCESS;
}

long Win32RegistryBackend::SetValue(RegKey key, const std::string& name, const RawValue& value) {
  return RegSetValueExA(ToHkey(key), name.c_str(), 0, value.type,
                        reinterpret_cast<const BYTE*>(value.bytes.data()),
                        static_cast<DWORD>(value.bytes.size()));
}

long Win32RegistryBackend::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32RegistryBackend::EnumSubkeys(RegKey key, std::vector<std::string>* names) {
  return EnumNames(ToHkey(key), Names::Subkeys, names);
}

long Win32RegistryBackend::EnumValues(RegKey key, std::vector<std::string>* names) {
  return EnumNames(ToHkey(key), Names::Values, names);
}

long Win32RegistryBackend::DeleteSubkey(RegKey key, const std::string& subkey) {
  return RegDeleteKeyA(ToHkey(key), subkey.c_str());
}

long Win32RegistryBackend::FlushKey(RegKey key) { return RegFlushKey(ToHkey(key)); }

}  // namespace tw
