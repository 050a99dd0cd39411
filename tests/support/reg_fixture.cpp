#include "tests/support/reg_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/fake/fake_console.h"
#include "store/reg_file.h"

namespace tw {

namespace {

bool SplitRoot(const std::string& path, RootKey* root, std::string* rest) {
  const std::string::size_type slash = path.find('\\');
  const std::string head = AsciiUpper(path.substr(0, slash));
  *rest = slash == std::string::npos ? std::string() : path.substr(slash + 1);
  if (head == "HKEY_LOCAL_MACHINE") {
    *root = RootKey::LocalMachine;
  } else if (head == "HKEY_CURRENT_USER") {
    *root = RootKey::CurrentUser;
  } else {
    return false;
  }
  return true;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
  return names;
}

void DumpKey(const FakeRegistry& registry, RootKey root, const std::string& path,
             const std::string& title, const ValueFilter& shown, std::ostringstream& out) {
  out << "[" << title << "]\n";
  for (const std::string& name : Sorted(registry.ValueNames(root, path))) {
    if (shown && !shown(name)) continue;
    const std::optional<RawValue> value = registry.Get(root, path, name);
    out << "  \"" << name << "\" type " << value->type << ": ";
    for (unsigned char c : value->bytes) out << std::hex << static_cast<int>(c) << ' ';
    out << std::dec << "\n";
  }
  for (const std::string& sub : Sorted(registry.SubkeyNames(root, path))) {
    DumpKey(registry, root, path + "\\" + sub, title + "\\" + sub, shown, out);
  }
}

}  // namespace

void PlantRegFixture(FakeRegistry& registry, const std::string& fileName) {
  std::ifstream in(std::string(TARNWICK_FIXTURES) + "/" + fileName, std::ios::binary);
  ASSERT_TRUE(in) << fileName;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const RegFileParse parsed = ParseRegFile(bytes.str(), FakeAnsiConverter());
  ASSERT_TRUE(parsed.ok) << fileName << ": " << parsed.error;
  for (const RegFileKey& key : parsed.file.keys) {
    RootKey root;
    std::string path;
    ASSERT_TRUE(SplitRoot(key.path, &root, &path)) << key.path;
    if (key.remove) {
      registry.RemoveKey(root, path);
      continue;
    }
    registry.PutKey(root, path);
    for (const RegFileValue& value : key.values) {
      ASSERT_FALSE(value.remove) << "value removals are not used by fixtures";
      registry.PutRaw(root, path, value.name, value.value);
    }
  }
}

std::string DumpTree(const FakeRegistry& registry, RootKey root, const std::string& path,
                     const ValueFilter& shown) {
  std::ostringstream out;
  std::string key = path;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  DumpKey(registry, root, key, key, shown, out);
  return out.str();
}

}  // namespace tw
