// A random sequence of registry handle operations run against the in-memory
// registry and against a plain model of the rules the store relies on: names
// without regard to case, case kept as first written, multi-level creation,
// trees deleted whole, types kept, leading and trailing backslashes ignored,
// an empty part inside a path refused.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/ascii_case.h"
#include "platform/fake/fake_registry.h"
#include "store/registry_error.h"
#include "store/registry_handle.h"

namespace {

using tw::fuzz::Require;

struct ModelValue {
  bool isText = true;
  std::string text;
  int32_t number = 0;
};

struct ModelKey {
  std::string name;                                              // as first written
  std::map<std::string, ModelValue> values;                      // by lower-case name
};

// Keys by their lower-case path; "" is the root.
class Model {
 public:
  Model() { keys_[""] = ModelKey(); }

  // The path the handle passes on, or nullopt when the registry refuses it.
  static std::optional<std::vector<std::string>> Parts(const std::string& path) {
    const std::string inner = tw::RegistryHandle::NormalizePath(path);
    std::vector<std::string> parts;
    std::string part;
    for (char c : inner) {
      if (c != '\\') {
        part.push_back(c);
        continue;
      }
      if (part.empty()) return std::nullopt;
      parts.push_back(part);
      part.clear();
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
  }
  static std::string Lower(const std::vector<std::string>& parts, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + tw::AsciiLower(parts[i]);
    return path;
  }

  bool Open(const std::string& path, bool create) {
    open_.reset();
    const auto parts = Parts(path);
    if (!parts) return false;
    for (size_t i = 1; i <= parts->size(); ++i) {
      const std::string lower = Lower(*parts, i);
      if (keys_.count(lower)) continue;
      if (!create) return false;
      keys_[lower].name = (*parts)[i - 1];
    }
    open_ = Lower(*parts, parts->size());
    return true;
  }
  void Close() { open_.reset(); }
  bool Exists(const std::string& path) const {
    const auto parts = Parts(path);
    return parts && keys_.count(Lower(*parts, parts->size())) != 0;
  }
  ModelKey* Current() { return open_ ? &keys_[*open_] : nullptr; }

  bool DeleteTree(const std::string& path) {
    const auto parts = Parts(path);
    if (!parts || parts->empty()) return false;
    const std::string lower = Lower(*parts, parts->size());
    if (!keys_.count(lower)) return false;
    for (auto it = keys_.begin(); it != keys_.end();) {
      const bool inside = it->first == lower || it->first.compare(0, lower.size() + 1, lower + "\\") == 0;
      it = inside ? keys_.erase(it) : std::next(it);
    }
    if (open_ && (*open_ == lower || open_->compare(0, lower.size() + 1, lower + "\\") == 0)) {
      open_.reset();
    }
    return true;
  }

  std::vector<std::string> ChildNames() const {
    std::vector<std::string> names;
    if (!open_) return names;
    const std::string prefix = open_->empty() ? "" : *open_ + "\\";
    for (const auto& [path, key] : keys_) {
      if (path.empty() || path.compare(0, prefix.size(), prefix) != 0) continue;
      if (path.find('\\', prefix.size()) == std::string::npos) names.push_back(key.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::map<std::string, ModelKey> keys_;
  std::optional<std::string> open_;
};

// Outcome of a call on the real handle: a result, or the message it raised.
template <typename F>
std::optional<std::string> Raised(F&& call) {
  try {
    call();
  } catch (const tw::RegistryError& error) {
    return std::string(error.what());
  }
  return std::nullopt;
}

const std::vector<std::string> kParts = {"Quake", "quake", "Quake2", "D3D", "d3d", "Glide"};
const std::vector<std::string> kNames = {"V", "v", "Prev V", "FilePath", ""};

std::string RandomPath(tw::fuzz::FuzzInput& in) {
  std::string path;
  if (in.Below(4) == 0) path += '\\';
  const size_t depth = in.Below(4);
  for (size_t i = 0; i < depth; ++i) {
    if (i > 0) path += in.Below(16) == 0 ? "\\\\" : "\\";
    path += in.Pick(kParts);
  }
  if (in.Below(4) == 0) path += '\\';
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tw::fuzz::FuzzInput in(data, size);
  tw::FakeRegistry reg;
  tw::RegistryHandle handle(reg, tw::RootKey::CurrentUser);
  Model model;

  for (int step = 0; step < 64 && !in.Empty(); ++step) {
    switch (in.Below(11)) {
      case 0: {
        const std::string path = RandomPath(in);
        const bool create = in.Below(2) == 0;
        Require(handle.OpenKey(path, create) == model.Open(path, create), "open agrees");
        break;
      }
      case 1:
        handle.CloseKey();
        model.Close();
        break;
      case 2: {
        const std::string name = in.Pick(kNames);
        const std::string text = in.Text(8);
        ModelKey* key = model.Current();
        const auto raised = Raised([&] { handle.WriteString(name, text); });
        Require(raised.has_value() == (key == nullptr), "a string write fails only without a key");
        if (key) key->values[tw::AsciiLower(name)] = ModelValue{true, text, 0};
        break;
      }
      case 3: {
        const std::string name = in.Pick(kNames);
        const int32_t number = static_cast<int32_t>(in.Byte()) - 128;
        ModelKey* key = model.Current();
        const auto raised = Raised([&] { handle.WriteInteger(name, number); });
        Require(raised.has_value() == (key == nullptr), "an integer write fails only without a key");
        if (key) key->values[tw::AsciiLower(name)] = ModelValue{false, std::string(), number};
        break;
      }
      case 4: {
        const std::string name = in.Pick(kNames);
        ModelKey* key = model.Current();
        std::string text;
        const auto raised = Raised([&] { text = handle.ReadString(name); });
        const ModelValue* v = nullptr;
        if (key && key->values.count(tw::AsciiLower(name))) v = &key->values[tw::AsciiLower(name)];
        if (v && !v->isText) {
          Require(raised == tw::RegistryError::InvalidType(name).what(), "a number is no string");
        } else {
          Require(!raised && text == (v ? v->text.substr(0, v->text.find('\0')) : ""),
                  "a string reads back to its first NUL, a missing one as empty");
        }
        break;
      }
      case 5: {
        const std::string name = in.Pick(kNames);
        ModelKey* key = model.Current();
        int32_t number = 0;
        const auto raised = Raised([&] { number = handle.ReadInteger(name); });
        const ModelValue* v = nullptr;
        if (key && key->values.count(tw::AsciiLower(name))) v = &key->values[tw::AsciiLower(name)];
        if (!v) {
          Require(raised == tw::RegistryError::GetFailed(name).what(), "a missing integer fails");
        } else if (v->isText) {
          Require(raised == tw::RegistryError::InvalidType(name).what(), "a string is no integer");
        } else {
          Require(!raised && number == v->number, "an integer reads back signed");
        }
        break;
      }
      case 6: {
        const std::string name = in.Pick(kNames);
        ModelKey* key = model.Current();
        const bool existed = key && key->values.erase(tw::AsciiLower(name)) != 0;
        Require(handle.DeleteValue(name) == existed, "deleting a value agrees");
        break;
      }
      case 7: {
        const std::string path = RandomPath(in);
        Require(handle.DeleteKey(path) == model.DeleteTree(path), "deleting a tree agrees");
        Require(handle.HasOpenKey() == (model.Current() != nullptr),
                "the open key closes only when it lay in the deleted tree");
        break;
      }
      case 8: {
        const std::string path = RandomPath(in);
        Require(handle.KeyExists(path) == model.Exists(path), "key exists agrees");
        break;
      }
      case 9: {
        std::vector<std::string> names = handle.GetKeyNames();
        std::sort(names.begin(), names.end());
        Require(names == model.ChildNames(), "subkeys keep the case first written");
        break;
      }
      case 10: {
        const std::string name = in.Pick(kNames);
        ModelKey* key = model.Current();
        Require(handle.ValueExists(name) == (key && key->values.count(tw::AsciiLower(name)) != 0),
                "value exists agrees");
        break;
      }
    }
    Require(reg.OpenHandles() == (handle.HasOpenKey() ? 1u : 0u), "no key is left open");
  }
  return 0;
}
