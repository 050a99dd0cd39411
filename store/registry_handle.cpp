#include "store/registry_handle.h"

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"
#include "store/registry_error.h"

namespace tw {

namespace {

// True when `inner` is `outer` or lies below it.
bool IsWithin(const std::string& inner, const std::string& outer) {
  const std::string a = AsciiLower(inner);
  const std::string b = AsciiLower(outer);
  if (a.compare(0, b.size(), b) != 0) return false;
  return a.size() == b.size() || a[b.size()] == '\\';
}

}  // namespace

RegistryHandle::RegistryHandle(RegistryBackend& backend, RootKey root)
    : backend_(backend), root_(root) {}

RegistryHandle::~RegistryHandle() { CloseKey(); }

std::string RegistryHandle::NormalizePath(const std::string& path) {
  std::string::size_type first = path.find_first_not_of('\\');
  if (first == std::string::npos) return std::string();
  return WithoutTrailing(path.substr(first), '\\');
}

bool RegistryHandle::OpenKey(const std::string& path, bool canCreate) {
  CloseKey();
  const std::string subkey = NormalizePath(path);
  RegKey key = 0;
  const long rc = canCreate ? backend_.CreateKey(root_, subkey, &key)
                            : backend_.OpenKey(root_, subkey, &key);
  lastOpenError_ = rc;
  if (rc != reg_error::kSuccess || key == 0) {
    if (rc == reg_error::kSuccess) lastOpenError_ = reg_error::kInvalidHandle;
    return false;
  }
  key_ = key;
  path_ = subkey;
  return true;
}

void RegistryHandle::CloseKey() {
  if (key_ != 0) backend_.CloseKey(key_);
  key_ = 0;
  path_.clear();
}

bool RegistryHandle::CreateNewKey(const std::string& path) {
  RegKey key = 0;
  bool created = false;
  if (backend_.CreateKeyNew(root_, NormalizePath(path), &key, &created) != reg_error::kSuccess) {
    throw RegistryError::SetFailed(path);
  }
  backend_.CloseKey(key);
  return created;
}

bool RegistryHandle::KeyExists(const std::string& path) {
  RegKey key = 0;
  if (backend_.OpenKey(root_, NormalizePath(path), &key) != reg_error::kSuccess) return false;
  backend_.CloseKey(key);
  return true;
}

std::optional<RawValue> RegistryHandle::ReadValue(const std::string& name) {
  if (key_ == 0) return std::nullopt;
  RawValue value;
  const long rc = backend_.QueryValue(key_, name, &value);
  if (rc == reg_error::kFileNotFound) return std::nullopt;
  if (rc != reg_error::kSuccess) throw RegistryError::GetFailed(name);
  return value;
}

bool RegistryHandle::IsText(const RawValue& value) {
  return value.type == reg_type::kString || value.type == reg_type::kExpandString;
}

std::string RegistryHandle::TextOf(const RawValue& value) {
  return value.bytes.substr(0, value.bytes.find('\0'));
}

bool RegistryHandle::ValueExists(const std::string& name) { return ReadValue(name).has_value(); }

bool RegistryHandle::HasInteger(const std::string& name) {
  const std::optional<RawValue> value = ReadValue(name);
  return value && value->type == reg_type::kDword && value->bytes.size() == 4;
}

bool RegistryHandle::HasString(const std::string& name) {
  const std::optional<RawValue> value = ReadValue(name);
  return value && IsText(*value);
}

std::string RegistryHandle::ReadString(const std::string& name) {
  const std::optional<RawValue> value = ReadValue(name);
  if (!value) return std::string();
  if (!IsText(*value)) throw RegistryError::InvalidType(name);
  return TextOf(*value);
}

int32_t RegistryHandle::ReadInteger(const std::string& name) {
  RawValue value;
  if (key_ == 0 || backend_.QueryValue(key_, name, &value) != reg_error::kSuccess) {
    throw RegistryError::GetFailed(name);
  }
  if (value.type != reg_type::kDword || value.bytes.size() != 4) {
    throw RegistryError::InvalidType(name);
  }
  const auto* b = reinterpret_cast<const unsigned char*>(value.bytes.data());
  const uint32_t u = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(u);
}

bool RegistryHandle::ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

void RegistryHandle::WriteString(const std::string& name, const std::string& value) {
  RawValue raw;
  raw.type = reg_type::kString;
  raw.bytes = value;
  raw.bytes.push_back('\0');
  if (key_ == 0 || backend_.SetValue(key_, name, raw) != reg_error::kSuccess) {
    throw RegistryError::SetFailed(name);
  }
}

void RegistryHandle::WriteInteger(const std::string& name, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  RawValue raw;
  raw.type = reg_type::kDword;
  for (int i = 0; i < 4; ++i) raw.bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
  if (key_ == 0 || backend_.SetValue(key_, name, raw) != reg_error::kSuccess) {
    throw RegistryError::SetFailed(name);
  }
}

void RegistryHandle::WriteBool(const std::string& name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

bool RegistryHandle::DeleteValue(const std::string& name) {
  if (key_ == 0) return false;
  const long rc = backend_.DeleteValue(key_, name);
  if (rc == reg_error::kFileNotFound) return false;
  if (rc != reg_error::kSuccess) throw RegistryError::SetFailed(name);
  return true;
}

std::vector<std::string> RegistryHandle::GetKeyNames() {
  std::vector<std::string> names;
  if (key_ != 0 && backend_.EnumSubkeys(key_, &names) != reg_error::kSuccess) names.clear();
  return names;
}

bool RegistryHandle::ListKeyNames(std::vector<std::string>* names) {
  names->clear();
  return key_ != 0 && backend_.EnumSubkeys(key_, names) == reg_error::kSuccess;
}

std::vector<std::string> RegistryHandle::GetValueNames() {
  std::vector<std::string> names;
  if (!ListValueNames(&names)) names.clear();
  return names;
}

bool RegistryHandle::ListValueNames(std::vector<std::string>* names) {
  names->clear();
  return key_ != 0 && backend_.EnumValues(key_, names) == reg_error::kSuccess;
}

bool RegistryHandle::ReadRaw(const std::string& name, RawValue* value) {
  return key_ != 0 && backend_.QueryValue(key_, name, value) == reg_error::kSuccess;
}

void RegistryHandle::WriteRaw(const std::string& name, const RawValue& value) {
  if (key_ == 0 || backend_.SetValue(key_, name, value) != reg_error::kSuccess) {
    throw RegistryError::SetFailed(name);
  }
}

bool RegistryHandle::Flush() {
  return key_ != 0 && backend_.FlushKey(key_) == reg_error::kSuccess;
}

bool RegistryHandle::DeleteKey(const std::string& path) {
  const std::string full = NormalizePath(path);
  if (full.empty()) return false;
  if (key_ != 0 && IsWithin(path_, full)) CloseKey();

  // Depth first: collect the subkeys, delete them, then the key itself.
  RegKey key = 0;
  if (backend_.OpenKey(root_, full, &key) != reg_error::kSuccess) return false;
  std::vector<std::string> children;
  const long listed = backend_.EnumSubkeys(key, &children);
  backend_.CloseKey(key);
  // Stops at the first failure: a tree is gone whole, or the deleting ends
  // where the registry refused.
  if (listed != reg_error::kSuccess) return false;
  for (const std::string& child : children) {
    if (!DeleteKey(full + "\\" + child)) return false;
  }

  const std::string::size_type slash = FindLastChar(full, "\\");
  const std::string parentPath = slash == std::string::npos ? std::string() : full.substr(0, slash);
  const std::string leaf = slash == std::string::npos ? full : full.substr(slash + 1);
  RegKey parent = 0;
  if (backend_.OpenKey(root_, parentPath, &parent) != reg_error::kSuccess) return false;
  const long rc = backend_.DeleteSubkey(parent, leaf);
  backend_.CloseKey(parent);
  return rc == reg_error::kSuccess;
}

ScopedKey::ScopedKey(RegistryHandle& handle, const std::string& path, bool canCreate)
    : handle_(handle), open_(handle.OpenKey(path, canCreate)) {
  // Creating never fails for want of the key; opening may, and that alone
  // is no refusal.
  refused_ = !open_ && (canCreate || handle.LastOpenError() != reg_error::kFileNotFound);
}

ScopedKey::~ScopedKey() { handle_.CloseKey(); }

}  // namespace tw
