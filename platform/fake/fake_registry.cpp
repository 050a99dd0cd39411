#include "platform/fake/fake_registry.h"

#include <algorithm>
#include <cstdio>

#include "platform/ansi_text.h"
#include "platform/ascii_case.h"

namespace tw {

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  for (const std::string& part : SplitAtChar(path, '\\')) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

std::string CanonicalPath(const std::string& path) {
  std::string out;
  for (const std::string& p : SplitPath(path)) {
    if (!out.empty()) out += '\\';
    out += AsciiLower(p);
  }
  return out;
}

int RootIndex(RootKey root) { return static_cast<int>(root); }

// An empty part inside a path ("A\\B"). Trailing backslashes are not one:
// every system accepts them as naming the same key.
bool HasEmptyInnerPart(const std::string& path) {
  const std::vector<std::string> parts = SplitAtChar(WithoutTrailing(path, '\\'), '\\');
  return std::find(parts.begin() + 1, parts.end(), std::string()) != parts.end();
}

}  // namespace

struct FakeRegistry::Node {
  std::string name;
  std::string path;  // canonical, from the root
  int root = 0;
  bool deleted = false;
  std::vector<std::pair<std::string, NodePtr>> children;  // (lower name, node)
  std::vector<std::pair<std::string, RawValue>> values;   // (name as written, value)

  NodePtr Child(const std::string& name) const {
    const std::string key = AsciiLower(name);
    for (const auto& c : children)
      if (c.first == key) return c.second;
    return nullptr;
  }
  RawValue* Value(const std::string& name) {
    const std::string key = AsciiLower(name);
    for (auto& v : values)
      if (AsciiLower(v.first) == key) return &v.second;
    return nullptr;
  }
  void MarkDeleted() {
    deleted = true;
    for (auto& c : children) c.second->MarkDeleted();
  }
  NodePtr Copy() const {
    auto copy = std::make_shared<Node>(*this);
    for (auto& c : copy->children) c.second = c.second->Copy();
    return copy;
  }
};

FakeRegistry::FakeRegistry(Flavor flavor) : flavor_(flavor) {
  for (int i = 0; i < kRoots; ++i) {
    roots_[i] = std::make_shared<Node>();
    roots_[i]->root = i;
    onDisk_[i] = roots_[i]->Copy();
  }
}

FakeRegistry::~FakeRegistry() = default;

// One first-level key's tree of `from` into `into`, in its place.
void FakeRegistry::CopyHive(const NodePtr& from, const NodePtr& into, const std::string& top) {
  auto& children = into->children;
  const auto at = std::find_if(children.begin(), children.end(),
                               [&](const auto& child) { return child.first == top; });
  const NodePtr source = from->Child(top);
  if (!source) {
    if (at != children.end()) children.erase(at);
  } else if (at != children.end()) {
    at->second = source->Copy();
  } else {
    children.emplace_back(top, source->Copy());
  }
}

RegKey FakeRegistry::NewHandle(const NodePtr& node) {
  const RegKey key = nextHandle_++;
  handles_[key] = node;
  return key;
}

long FakeRegistry::Tick(CallKind kind) {
  if (powerOff_) return reg_error::kInvalidHandle;
  const int k = static_cast<int>(kind);
  ++callCounts_[k];
  if (failKind_ != k || callCounts_[k] != failAt_) return reg_error::kSuccess;
  failKind_ = -1;
  changesAtFailure_ = changes_;
  return failCode_;
}

void FakeRegistry::Changed() {
  ++changes_;
  if (observer_) observer_();
}

void FakeRegistry::FailCall(CallKind kind, int n, long code) {
  failKind_ = static_cast<int>(kind);
  failAt_ = callCounts_[failKind_] + n;
  failCode_ = code;
  changesAtFailure_ = -1;
}

void FakeRegistry::ResetCallCounts() {
  for (int& count : callCounts_) count = 0;
  changes_ = 0;
  failKind_ = -1;
  changesAtFailure_ = -1;
}

long FakeRegistry::Resolve(RootKey root, const std::string& subkey, bool create, NodePtr* out,
                           bool* made) {
  if (create && beforeCreate_) {
    const std::function<void()> other = std::move(beforeCreate_);
    beforeCreate_ = nullptr;
    other();
  }
  if (const long injected = Tick(CallKind::Open)) return injected;
  std::string path = subkey;
  if (!path.empty() && path[0] == '\\') {
    // Windows 98 skips one leading backslash when creating, not when opening.
    if (flavor_ == Flavor::Nt || !create) return reg_error::kBadPathname;
    path.erase(0, 1);
  }
  // Wine skips such a part; the stricter answer keeps the store from
  // building paths that an NT registry may refuse.
  if (HasEmptyInnerPart(path)) return reg_error::kBadPathname;
  const int r = RootIndex(root);
  const std::string canonical = CanonicalPath(path);
  // A refused key refuses its whole subtree, as missing rights would.
  for (const auto& refused : refusedOpen_) {
    if (refused.first != r) continue;
    const std::string& p = refused.second;
    if (canonical == p || (canonical.size() > p.size() && canonical.compare(0, p.size(), p) == 0 &&
                           canonical[p.size()] == '\\'))
      return reg_error::kAccessDenied;
  }
  NodePtr node = roots_[r];
  bool created = false;
  for (const std::string& part : SplitPath(path)) {
    NodePtr child = node->Child(part);
    if (!child) {
      if (!create) return reg_error::kFileNotFound;
      if (WritesRefused(node, std::string())) return reg_error::kAccessDenied;
      child = std::make_shared<Node>();
      child->name = part;
      child->root = r;
      child->path = node->path.empty() ? AsciiLower(part) : node->path + "\\" + AsciiLower(part);
      node->children.emplace_back(AsciiLower(part), child);
      created = true;
    }
    node = child;
  }
  *out = node;
  if (made != nullptr) *made = created;
  if (created) Changed();
  return reg_error::kSuccess;
}

long FakeRegistry::CreateKey(RootKey root, const std::string& subkey, RegKey* key) {
  NodePtr node;
  const long rc = Resolve(root, subkey, true, &node);
  if (rc != reg_error::kSuccess) return rc;
  *key = NewHandle(node);
  return reg_error::kSuccess;
}

long FakeRegistry::CreateKeyNew(RootKey root, const std::string& subkey, RegKey* key,
                                bool* created) {
  NodePtr node;
  const long rc = Resolve(root, subkey, true, &node, created);
  if (rc != reg_error::kSuccess) return rc;
  *key = NewHandle(node);
  return reg_error::kSuccess;
}

long FakeRegistry::OpenKey(RootKey root, const std::string& subkey, RegKey* key) {
  NodePtr node;
  const long rc = Resolve(root, subkey, false, &node);
  if (rc != reg_error::kSuccess) return rc;
  *key = NewHandle(node);
  return reg_error::kSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  return handles_.erase(key) ? reg_error::kSuccess : reg_error::kInvalidHandle;
}

FakeRegistry::NodePtr FakeRegistry::FromHandle(RegKey key, long* rc) const {
  auto it = handles_.find(key);
  if (it == handles_.end()) {
    *rc = reg_error::kInvalidHandle;
    return nullptr;
  }
  if (it->second->deleted) {
    *rc = reg_error::kKeyDeleted;
    return nullptr;
  }
  *rc = reg_error::kSuccess;
  return it->second;
}

bool FakeRegistry::WritesRefused(const NodePtr& node, const std::string& valueName) const {
  if (refusedWrites_.count({node->root, node->path})) return true;
  return !valueName.empty() && refusedValues_.count(AsciiLower(valueName)) != 0;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, RawValue* value) {
  if (const long injected = Tick(CallKind::Read)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  RawValue* v = node->Value(name);
  if (!v) return reg_error::kFileNotFound;
  *value = *v;
  return reg_error::kSuccess;
}

long FakeRegistry::SetValue(RegKey key, const std::string& name, const RawValue& value) {
  if (const long injected = Tick(CallKind::Write)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  if (WritesRefused(node, name.empty() ? std::string(" ") : name)) return reg_error::kAccessDenied;
  if (RawValue* v = node->Value(name)) {
    *v = value;
  } else {
    node->values.emplace_back(name, value);
  }
  Changed();
  return reg_error::kSuccess;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  if (const long injected = Tick(CallKind::Delete)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  if (WritesRefused(node, name)) return reg_error::kAccessDenied;
  const std::string lower = AsciiLower(name);
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (AsciiLower(it->first) == lower) {
      node->values.erase(it);
      Changed();
      return reg_error::kSuccess;
    }
  }
  return reg_error::kFileNotFound;
}

long FakeRegistry::EnumSubkeys(RegKey key, std::vector<std::string>* names) {
  if (const long injected = Tick(CallKind::Enumerate)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  names->clear();
  for (const auto& c : node->children) names->push_back(c.second->name);
  return reg_error::kSuccess;
}

long FakeRegistry::EnumValues(RegKey key, std::vector<std::string>* names) {
  if (const long injected = Tick(CallKind::Enumerate)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  names->clear();
  for (const auto& v : node->values) names->push_back(v.first);
  return reg_error::kSuccess;
}

long FakeRegistry::DeleteSubkey(RegKey key, const std::string& subkey) {
  if (const long injected = Tick(CallKind::Delete)) return injected;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  std::vector<std::string> parts = SplitPath(subkey);
  if (parts.empty()) return reg_error::kInvalidParameter;
  NodePtr parent = node;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    parent = parent->Child(parts[i]);
    if (!parent) return reg_error::kFileNotFound;
  }
  const std::string leaf = AsciiLower(parts.back());
  for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
    if (it->first != leaf) continue;
    if (!it->second->children.empty() && flavor_ == Flavor::Nt) return reg_error::kAccessDenied;
    if (WritesRefused(parent, std::string())) return reg_error::kAccessDenied;
    it->second->MarkDeleted();
    parent->children.erase(it);
    Changed();
    return reg_error::kSuccess;
  }
  return reg_error::kFileNotFound;
}

long FakeRegistry::FlushKey(RegKey key) {
  if (powerOff_) return reg_error::kInvalidHandle;
  long rc;
  NodePtr node = FromHandle(key, &rc);
  if (!node) return rc;
  if (node->root == RootIndex(RootKey::LocalMachine) && !node->path.empty()) {
    CopyHive(roots_[node->root], onDisk_[node->root], SplitAtChar(node->path, '\\')[0]);
  } else {
    onDisk_[node->root] = roots_[node->root]->Copy();
  }
  ++flushes_;
  return reg_error::kSuccess;
}

void FakeRegistry::FlushAllHives() {
  if (powerOff_) return;
  for (int i = 0; i < kRoots; ++i) onDisk_[i] = roots_[i]->Copy();
}

void FakeRegistry::Reboot(const std::vector<Hive>& keptUnflushed) {
  for (int i = 0; i < kRoots; ++i) {
    bool kept = i == RootIndex(RootKey::DynData);
    for (const Hive& hive : keptUnflushed) {
      kept = kept || (RootIndex(hive.root) == i && hive.top.empty());
    }
    if (!kept) {
      NodePtr booted = onDisk_[i]->Copy();
      for (const Hive& hive : keptUnflushed) {
        if (RootIndex(hive.root) == i) CopyHive(roots_[i], booted, AsciiLower(hive.top));
      }
      roots_[i] = booted;
    }
    onDisk_[i] = roots_[i]->Copy();
  }
  handles_.clear();
  powerOff_ = false;
}

std::string FakeRegistry::Dump() const {
  std::string out;
  std::function<void(const NodePtr&, const std::string&)> dump = [&](const NodePtr& node,
                                                                      const std::string& path) {
    out += path + "\n";
    std::vector<std::pair<std::string, const RawValue*>> values;
    for (const auto& v : node->values) values.emplace_back(v.first, &v.second);
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) {
      return AsciiLower(a.first) < AsciiLower(b.first);
    });
    for (const auto& v : values) {
      out += "  \"" + v.first + "\" " + std::to_string(v.second->type) + " ";
      for (unsigned char c : v.second->bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", c);
        out += hex;
      }
      out += "\n";
    }
    std::vector<std::pair<std::string, NodePtr>> children = node->children;
    std::sort(children.begin(), children.end());
    for (const auto& c : children) dump(c.second, path + "\\" + c.second->name);
  };
  dump(roots_[0], "HKCU");
  dump(roots_[1], "HKLM");
  dump(roots_[2], "HKDD");
  return out;
}

void FakeRegistry::RefuseOpen(RootKey root, const std::string& path) {
  refusedOpen_.insert({RootIndex(root), CanonicalPath(path)});
}

void FakeRegistry::RefuseWrites(RootKey root, const std::string& path) {
  refusedWrites_.insert({RootIndex(root), CanonicalPath(path)});
}

void FakeRegistry::RefuseValueWrite(const std::string& valueName) {
  refusedValues_.insert(AsciiLower(valueName));
}

void FakeRegistry::ClearRefusals() {
  refusedOpen_.clear();
  refusedWrites_.clear();
  refusedValues_.clear();
}

FakeRegistry::NodePtr FakeRegistry::Find(RootKey root, const std::string& path) const {
  NodePtr node = roots_[RootIndex(root)];
  for (const std::string& part : SplitPath(path)) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

FakeRegistry::NodePtr FakeRegistry::FindOrMake(RootKey root, const std::string& path) {
  NodePtr node = roots_[RootIndex(root)];
  for (const std::string& part : SplitPath(path)) {
    NodePtr child = node->Child(part);
    if (!child) {
      child = std::make_shared<Node>();
      child->name = part;
      child->root = node->root;
      child->path = node->path.empty() ? AsciiLower(part) : node->path + "\\" + AsciiLower(part);
      node->children.emplace_back(AsciiLower(part), child);
    }
    node = child;
  }
  return node;
}

void FakeRegistry::PutKey(RootKey root, const std::string& path) { FindOrMake(root, path); }

void FakeRegistry::PutRaw(RootKey root, const std::string& path, const std::string& name,
                          const RawValue& value) {
  NodePtr node = FindOrMake(root, path);
  if (RawValue* v = node->Value(name)) {
    *v = value;
  } else {
    node->values.emplace_back(name, value);
  }
}

void FakeRegistry::PutString(RootKey root, const std::string& path, const std::string& name,
                             const std::string& value) {
  RawValue raw{reg_type::kString, value + std::string(1, '\0')};
  PutRaw(root, path, name, raw);
}

void FakeRegistry::PutDword(RootKey root, const std::string& path, const std::string& name,
                            uint32_t value) {
  RawValue raw{reg_type::kDword, std::string()};
  for (int i = 0; i < 4; ++i) raw.bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  PutRaw(root, path, name, raw);
}

std::optional<RawValue> FakeRegistry::Get(RootKey root, const std::string& path,
                                          const std::string& name) const {
  NodePtr node = Find(root, path);
  if (!node) return std::nullopt;
  RawValue* v = node->Value(name);
  if (!v) return std::nullopt;
  return *v;
}

std::optional<std::string> FakeRegistry::GetString(RootKey root, const std::string& path,
                                                   const std::string& name) const {
  std::optional<RawValue> v = Get(root, path, name);
  if (!v || v->type != reg_type::kString) return std::nullopt;
  return v->bytes.substr(0, v->bytes.find('\0'));
}

std::optional<uint32_t> FakeRegistry::GetDword(RootKey root, const std::string& path,
                                               const std::string& name) const {
  std::optional<RawValue> v = Get(root, path, name);
  if (!v || v->type != reg_type::kDword || v->bytes.size() != 4) return std::nullopt;
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(v->bytes[i]);
  return u;
}

bool FakeRegistry::HasKey(RootKey root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

std::vector<std::string> FakeRegistry::ValueNames(RootKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (NodePtr node = Find(root, path))
    for (const auto& v : node->values) names.push_back(v.first);
  return names;
}

std::vector<std::string> FakeRegistry::SubkeyNames(RootKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (NodePtr node = Find(root, path))
    for (const auto& c : node->children) names.push_back(c.second->name);
  return names;
}

void FakeRegistry::RemoveKey(RootKey root, const std::string& path) {
  std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return;
  NodePtr parent = roots_[RootIndex(root)];
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    parent = parent->Child(parts[i]);
    if (!parent) return;
  }
  const std::string leaf = AsciiLower(parts.back());
  for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
    if (it->first == leaf) {
      it->second->MarkDeleted();
      parent->children.erase(it);
      return;
    }
  }
}

}  // namespace tw
