// The registry backend over advapi32's ANSI calls. Keys are opened with full
// access; values are read by the size the system reports.
#pragma once

#include "platform/registry_backend.h"

namespace tw {

class Win32RegistryBackend : public RegistryBackend {
 public:
  long CreateKey(RootKey root, const std::string& subkey, RegKey* key) override;
  long OpenKey(RootKey root, const std::string& subkey, RegKey* key) override;
  long CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key, bool* created) override;
  long CloseKey(RegKey key) override;

  long QueryValue(RegKey key, const std::string& name, RawValue* value) override;
  long SetValue(RegKey key, const std::string& name, const RawValue& value) override;
  long DeleteValue(RegKey key, const std::string& name) override;

  long EnumSubkeys(RegKey key, std::vector<std::string>* names) override;
  long EnumValues(RegKey key, std::vector<std::string>* names) override;
  long DeleteSubkey(RegKey key, const std::string& subkey) override;
  long FlushKey(RegKey key) override;
};

}  // namespace tw
