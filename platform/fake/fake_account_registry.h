// One account's view of a fake machine: HKEY_CURRENT_USER is the account's
// own hive, everything else (HKEY_LOCAL_MACHINE with the driver, the
// machine's records) is the machine's, shared with every other account.
// Give each account's processes one of these over the same machine.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_registry.h"

namespace tw {

class FakeAccountRegistry : public RegistryBackend {
 public:
  // `machine`'s own HKEY_CURRENT_USER goes unused through this view.
  FakeAccountRegistry(FakeRegistry& machine, FakeRegistry& user) : machine_(machine), user_(user) {}

  long CreateKey(RootKey root, const std::string& subkey, RegKey* key) override {
    return Opened(Of(root), Of(root).CreateKey(root, subkey, key), key);
  }
  long CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key, bool* created) override {
    return Opened(Of(root), Of(root).CreateKeyNew(root, subkey, key, created), key);
  }
  long OpenKey(RootKey root, const std::string& subkey, RegKey* key) override {
    return Opened(Of(root), Of(root).OpenKey(root, subkey, key), key);
  }
  long CloseKey(RegKey key) override {
    auto it = keys_.find(key);
    if (it == keys_.end()) return reg_error::kInvalidHandle;
    const long rc = it->second.first->CloseKey(it->second.second);
    keys_.erase(it);
    return rc;
  }
  long QueryValue(RegKey key, const std::string& name, RawValue* value) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.QueryValue(k, name, value); });
  }
  long SetValue(RegKey key, const std::string& name, const RawValue& value) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.SetValue(k, name, value); });
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.DeleteValue(k, name); });
  }
  long EnumSubkeys(RegKey key, std::vector<std::string>* names) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.EnumSubkeys(k, names); });
  }
  long EnumValues(RegKey key, std::vector<std::string>* names) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.EnumValues(k, names); });
  }
  long DeleteSubkey(RegKey key, const std::string& subkey) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.DeleteSubkey(k, subkey); });
  }
  long FlushKey(RegKey key) override {
    return Call(key, [&](RegistryBackend& r, RegKey k) { return r.FlushKey(k); });
  }

 private:
  FakeRegistry& Of(RootKey root) { return root == RootKey::CurrentUser ? user_ : machine_; }
  // The two registries number their handles alike: this view hands out its own.
  long Opened(RegistryBackend& from, long rc, RegKey* key) {
    if (rc != reg_error::kSuccess) return rc;
    keys_[next_] = {&from, *key};
    *key = next_++;
    return rc;
  }
  template <typename F>
  long Call(RegKey key, F call) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return reg_error::kInvalidHandle;
    return call(*it->second.first, it->second.second);
  }

  FakeRegistry& machine_;
  FakeRegistry& user_;
  std::map<RegKey, std::pair<RegistryBackend*, RegKey>> keys_;
  RegKey next_ = 0x70000;
};

}  // namespace tw
