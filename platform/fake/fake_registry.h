// An in-memory registry with the Windows rules the program depends on: names
// compared without regard to case (case kept as first written), multi-level
// creation, value types kept, open handles that see a key deleted behind them,
// and refusals that tests can inject.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_backend.h"

namespace tw {

class FakeRegistry : public RegistryBackend {
 public:
  // Both refuse an empty part inside a path ("A\\B").
  // Nt: leading backslash refused, RegDeleteKey refuses a key with subkeys.
  // Win98: create ignores one leading backslash (open still refuses it),
  // RegDeleteKey deletes the tree.
  enum class Flavor { Nt, Win98 };

  explicit FakeRegistry(Flavor flavor = Flavor::Nt);
  ~FakeRegistry() override;

  // RegistryBackend
  long CreateKey(RootKey root, const std::string& subkey, RegKey* key) override;
  long OpenKey(RootKey root, const std::string& subkey, RegKey* key) override;
  long CloseKey(RegKey key) override;
  long CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key, bool* created) override;
  long QueryValue(RegKey key, const std::string& name, RawValue* value) override;
  long SetValue(RegKey key, const std::string& name, const RawValue& value) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumSubkeys(RegKey key, std::vector<std::string>* names) override;
  long EnumValues(RegKey key, std::vector<std::string>* names) override;
  long DeleteSubkey(RegKey key, const std::string& subkey) override;
  long FlushKey(RegKey key) override;

  // Power cuts. Each root is a hive with a copy on disk, except that each
  // first-level key of HKEY_LOCAL_MACHINE is one of its own, as SOFTWARE and
  // SYSTEM are on 2000/XP: FlushKey writes the key's hive there,
  // FlushAllHives is the system's own lazy writer (which runs while a game
  // plays). From PowerOff on every call fails; Reboot then brings each hive
  // back from disk, losing what was written since its last flush, except
  // the hives in `keptUnflushed` (the lazy writer got to them just before
  // the cut). HKEY_DYN_DATA is the same after a reboot.
  struct Hive {
    Hive(RootKey root, std::string top = std::string()) : root(root), top(std::move(top)) {}
    RootKey root;
    std::string top;  // a first-level key of HKEY_LOCAL_MACHINE; empty: the whole root
  };
  void FlushAllHives();
  void PowerOff() { powerOff_ = true; }
  void Reboot(const std::vector<Hive>& keptUnflushed = {});
  int Flushes() const { return flushes_; }

  // Injected failures. Paths are written without leading backslash.
  void RefuseOpen(RootKey root, const std::string& path);     // open and create fail
  void RefuseWrites(RootKey root, const std::string& path);   // values of that key
  void RefuseValueWrite(const std::string& valueName);        // that name, anywhere
  void ClearRefusals();

  // Fault injection: calls are counted by kind (closing a key is not), and
  // the n-th call of a kind from now on (1-based) fails with `code`, once.
  enum class CallKind { Open, Read, Write, Delete, Enumerate };
  static constexpr int kCallKinds = 5;
  void FailCall(CallKind kind, int n, long code = reg_error::kAccessDenied);
  void ResetCallCounts();
  int CallCount(CallKind kind) const { return callCounts_[static_cast<int>(kind)]; }
  // Whether the armed failure has happened, and how many changes had been
  // made before it.
  bool InjectedFailureHappened() const { return changesAtFailure_ >= 0; }
  int ChangesBeforeFailure() const { return changesAtFailure_; }
  // Successful changes since the counts were reset: a key created, a value
  // set, a value or key deleted.
  int Changes() const { return changes_; }
  // Another process that gets in just before this one's next key creation
  // (two processes numbering entries at once): runs once, then is gone.
  void BeforeNextCreate(std::function<void()> other) { beforeCreate_ = std::move(other); }
  // Called after each change, to take snapshots of every state on the way.
  void SetChangeObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  // The whole registry as text: keys, value names as written, types, bytes.
  std::string Dump() const;

  // Direct access for arranging and checking a test.
  void PutString(RootKey root, const std::string& path, const std::string& name,
                 const std::string& value);
  void PutDword(RootKey root, const std::string& path, const std::string& name, uint32_t value);
  void PutRaw(RootKey root, const std::string& path, const std::string& name, const RawValue& value);
  void PutKey(RootKey root, const std::string& path);
  std::optional<RawValue> Get(RootKey root, const std::string& path, const std::string& name) const;
  // The text of a REG_SZ value, nullopt when absent or not a string.
  std::optional<std::string> GetString(RootKey root, const std::string& path,
                                       const std::string& name) const;
  std::optional<uint32_t> GetDword(RootKey root, const std::string& path,
                                   const std::string& name) const;
  bool HasKey(RootKey root, const std::string& path) const;
  // Value names of a key as first written, in writing order.
  std::vector<std::string> ValueNames(RootKey root, const std::string& path) const;
  // Subkey names as first written.
  std::vector<std::string> SubkeyNames(RootKey root, const std::string& path) const;
  // Deletes a key tree as another program would, behind any open handle.
  void RemoveKey(RootKey root, const std::string& path);
  size_t OpenHandles() const { return handles_.size(); }

 private:
  struct Node;
  using NodePtr = std::shared_ptr<Node>;

  long Resolve(RootKey root, const std::string& subkey, bool create, NodePtr* out,
               bool* created = nullptr);
  NodePtr Find(RootKey root, const std::string& path) const;
  NodePtr FindOrMake(RootKey root, const std::string& path);
  NodePtr FromHandle(RegKey key, long* rc) const;
  static void CopyHive(const NodePtr& from, const NodePtr& into, const std::string& top);
  bool WritesRefused(const NodePtr& node, const std::string& valueName) const;
  RegKey NewHandle(const NodePtr& node);
  long Tick(CallKind kind);
  void Changed();

  static constexpr int kRoots = 3;
  Flavor flavor_;
  NodePtr roots_[kRoots];
  NodePtr onDisk_[kRoots];
  bool powerOff_ = false;
  int flushes_ = 0;
  std::map<RegKey, NodePtr> handles_;
  RegKey nextHandle_ = 0x1000;
  std::set<std::pair<int, std::string>> refusedOpen_;
  std::set<std::pair<int, std::string>> refusedWrites_;
  std::set<std::string> refusedValues_;

  int callCounts_[kCallKinds] = {};
  int failKind_ = -1;
  int failAt_ = 0;
  long failCode_ = reg_error::kSuccess;
  int changes_ = 0;
  int changesAtFailure_ = -1;
  std::function<void()> observer_;
  std::function<void()> beforeCreate_;
};

}  // namespace tw
