// The registry behaviour the store relies on, written once and run against
// every backend: the in-memory one natively and the advapi32 one on Windows
// (9x and NT rules), so the in-memory registry cannot drift from the real one.
//
// This header defines tests. Include it in exactly one source file of a test
// program and instantiate RegistryBackendConformance there with the backends
// to check. Every case works below HKCU\Software\TarnwickConformance\<case>
// and removes it again.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_backend.h"
#include "store/registry_error.h"
#include "store/registry_handle.h"

namespace tw {
namespace conformance {

struct BackendUnderTest {
  std::string label;  // test name suffix: letters, digits and underscores only
  bool win9x;         // create skips one leading backslash, RegDeleteKey takes the tree
  std::function<std::unique_ptr<RegistryBackend>()> make;
  // Keys the backend still has open, where it can tell; checked after each case.
  std::function<size_t(const RegistryBackend&)> openKeys;
};

inline std::string BackendLabel(const ::testing::TestParamInfo<BackendUnderTest>& info) {
  return info.param.label;
}

constexpr RootKey kRoot = RootKey::CurrentUser;
constexpr const char* kScratchParent = "Software\\TarnwickConformance";

// One key opened by a case, closed on every way out.
class Key {
 public:
  explicit Key(RegistryBackend& backend) : backend_(backend) {}
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  RegKey* Out() {
    Close();
    return &key_;
  }
  RegKey get() const { return key_; }
  void Close() {
    if (key_ != 0) backend_.CloseKey(key_);
    key_ = 0;
  }

 private:
  RegistryBackend& backend_;
  RegKey key_ = 0;
};

inline RawValue Sz(const std::string& bytes) { return RawValue{reg_type::kString, bytes}; }
inline RawValue Dword(uint32_t v) {
  RawValue raw{reg_type::kDword, std::string()};
  for (int i = 0; i < 4; ++i) raw.bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return raw;
}

class RegistryBackendConformance : public ::testing::TestWithParam<BackendUnderTest> {
 protected:
  void SetUp() override {
    backend_ = GetParam().make();
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    scratch_ = std::string(kScratchParent) + "\\" + name.substr(0, name.find('/'));
    RegistryHandle handle(*backend_, kRoot);
    handle.DeleteKey(scratch_);  // left behind by an interrupted run
    ASSERT_EQ(backend_->CreateKey(kRoot, scratch_, &scratchKey_), reg_error::kSuccess);
  }

  void TearDown() override {
    if (scratchKey_ != 0) backend_->CloseKey(scratchKey_);
    scratchKey_ = 0;
    {
      RegistryHandle handle(*backend_, kRoot);
      handle.DeleteKey(scratch_);
      EXPECT_FALSE(handle.KeyExists(scratch_));
      if (handle.OpenKey(kScratchParent, false) && handle.GetKeyNames().empty()) {
        handle.DeleteKey(kScratchParent);
      }
    }
    if (GetParam().openKeys) {
      EXPECT_EQ(GetParam().openKeys(*backend_), 0u);
    }
  }

  bool Win9x() const { return GetParam().win9x; }
  RegistryBackend& Backend() { return *backend_; }
  RegKey Scratch() const { return scratchKey_; }
  std::string Path(const std::string& relative) const { return scratch_ + "\\" + relative; }

  long Create(const std::string& relative, Key& key) {
    return backend_->CreateKey(kRoot, Path(relative), key.Out());
  }
  long Open(const std::string& relative, Key& key) {
    return backend_->OpenKey(kRoot, Path(relative), key.Out());
  }
  long Exists(const std::string& relative) {
    Key key(*backend_);
    return Open(relative, key);
  }
  // Subkey names sorted, since the system promises no order; "" is the
  // scratch key itself.
  std::vector<std::string> Subkeys(const std::string& relative) {
    Key key(*backend_);
    const long rc = relative.empty() ? backend_->OpenKey(kRoot, scratch_, key.Out())
                                     : Open(relative, key);
    std::vector<std::string> names;
    if (rc != reg_error::kSuccess) return {"<cannot open>"};
    if (backend_->EnumSubkeys(key.get(), &names) != reg_error::kSuccess) return {"<cannot list>"};
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::unique_ptr<RegistryBackend> backend_;
  RegKey scratchKey_ = 0;
  std::string scratch_;
};

using Names = std::vector<std::string>;

inline std::string Text(const RawValue& v) { return v.bytes.substr(0, v.bytes.find('\0')); }

TEST_P(RegistryBackendConformance, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  RegistryBackend& b = Backend();
  Key first(b), second(b);
  ASSERT_EQ(Create("MixedCase", first), reg_error::kSuccess);
  ASSERT_EQ(Create("MIXEDCASE\\Child", second), reg_error::kSuccess);
  EXPECT_EQ(Subkeys(""), Names{"MixedCase"});
  EXPECT_EQ(Subkeys("mixedcase"), Names{"Child"});

  ASSERT_EQ(b.SetValue(first.get(), "ValueName", Sz(std::string("first", 6))), reg_error::kSuccess);
  ASSERT_EQ(b.SetValue(first.get(), "VALUENAME", Sz(std::string("second", 7))), reg_error::kSuccess);
  Key again(b);
  ASSERT_EQ(Open("mIxEdCaSe", again), reg_error::kSuccess);
  RawValue v;
  ASSERT_EQ(b.QueryValue(again.get(), "valuename", &v), reg_error::kSuccess);
  EXPECT_EQ(Text(v), "second");
  // One value under both spellings: deleting one removes the other.
  EXPECT_EQ(b.DeleteValue(again.get(), "valueNAME"), reg_error::kSuccess);
  EXPECT_EQ(b.QueryValue(first.get(), "ValueName", &v), reg_error::kFileNotFound);
}

TEST_P(RegistryBackendConformance, CreateMakesEveryMissingLevel) {
  Key deep(Backend()), side(Backend());
  ASSERT_EQ(Create("A\\B\\C", deep), reg_error::kSuccess);
  ASSERT_EQ(Create("A\\X", side), reg_error::kSuccess);
  EXPECT_EQ(Subkeys(""), Names{"A"});
  EXPECT_EQ(Subkeys("A"), (Names{"B", "X"}));
  EXPECT_EQ(Subkeys("A\\B"), Names{"C"});
  EXPECT_EQ(Subkeys("A\\B\\C"), Names{});
  // Whether a create made the key, as two processes numbering entries need.
  Key made(Backend()), found(Backend());
  bool created = false;
  ASSERT_EQ(Backend().CreateKeyNew(kRoot, Path("A\\New"), made.Out(), &created), reg_error::kSuccess);
  EXPECT_TRUE(created);
  ASSERT_EQ(Backend().CreateKeyNew(kRoot, Path("a\\new"), found.Out(), &created), reg_error::kSuccess);
  EXPECT_FALSE(created);
}

TEST_P(RegistryBackendConformance, ValuesKeepTheirType) {
  RegistryBackend& b = Backend();
  ASSERT_EQ(b.SetValue(Scratch(), "Text", Sz(std::string("5", 2))), reg_error::kSuccess);
  ASSERT_EQ(b.SetValue(Scratch(), "Number", Dword(5)), reg_error::kSuccess);
  RawValue v;
  ASSERT_EQ(b.QueryValue(Scratch(), "Text", &v), reg_error::kSuccess);
  EXPECT_EQ(v.type, reg_type::kString);
  EXPECT_EQ(v.bytes, std::string("5", 2));
  ASSERT_EQ(b.QueryValue(Scratch(), "Number", &v), reg_error::kSuccess);
  EXPECT_EQ(v.type, reg_type::kDword);
  EXPECT_EQ(v.bytes, Dword(5).bytes);

  // Rewriting a value under another spelling replaces its type too.
  ASSERT_EQ(b.SetValue(Scratch(), "TEXT", Dword(7)), reg_error::kSuccess);
  ASSERT_EQ(b.QueryValue(Scratch(), "text", &v), reg_error::kSuccess);
  EXPECT_EQ(v.type, reg_type::kDword);

  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey(Path(""), false));
  EXPECT_EQ(handle.ReadInteger("Text"), 7);
  EXPECT_THROW(handle.ReadString("Number"), RegistryError);
  handle.WriteString("Number", "5");
  EXPECT_THROW(handle.ReadInteger("Number"), RegistryError);
  EXPECT_EQ(handle.ReadString("Number"), "5");
}

// Other programs write strings without their terminator, or with no bytes at
// all. (Windows itself adds a missing terminator when the byte after the data
// is NUL, so there this mostly checks that reads take the reported size.)
TEST_P(RegistryBackendConformance, StringsOfAnyLengthReadWhole) {
  RegistryBackend& b = Backend();
  ASSERT_EQ(b.SetValue(Scratch(), "Bare", Sz("abc")), reg_error::kSuccess);
  ASSERT_EQ(b.SetValue(Scratch(), "Empty", Sz("")), reg_error::kSuccess);
  ASSERT_EQ(b.SetValue(Scratch(), "Long", Sz(std::string(5000, 'x') + '\0')), reg_error::kSuccess);

  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey(Path(""), false));
  EXPECT_EQ(handle.ReadString("Bare"), "abc");
  EXPECT_TRUE(handle.ValueExists("Empty"));
  EXPECT_EQ(handle.ReadString("Empty"), "");
  EXPECT_EQ(handle.ReadString("Long"), std::string(5000, 'x'));
}

TEST_P(RegistryBackendConformance, DwordOfAnotherSizeIsTheWrongType) {
  RegistryBackend& b = Backend();
  const std::string sizes[] = {std::string(), std::string(2, '\1'), std::string(8, '\1')};
  RegistryHandle handle(b, kRoot);
  for (const std::string& bytes : sizes) {
    SCOPED_TRACE(bytes.size());
    ASSERT_EQ(b.SetValue(Scratch(), "Odd", RawValue{reg_type::kDword, bytes}), reg_error::kSuccess);
    RawValue v;
    ASSERT_EQ(b.QueryValue(Scratch(), "Odd", &v), reg_error::kSuccess);
    EXPECT_EQ(v.type, reg_type::kDword);
    EXPECT_EQ(v.bytes, bytes);
    ASSERT_TRUE(handle.OpenKey(Path(""), false));
    EXPECT_THROW(handle.ReadInteger("Odd"), RegistryError);
  }
}

TEST_P(RegistryBackendConformance, LeadingBackslashIsRefusedExceptBy9xCreate) {
  RegistryBackend& b = Backend();
  Key created(b), opened(b);
  const long createRc = b.CreateKey(kRoot, "\\" + Path("Lead"), created.Out());
  const long openRc = b.OpenKey(kRoot, "\\" + Path(""), opened.Out());
  if (Win9x()) {
    // Only creating skips it; opening such a path fails there too.
    EXPECT_EQ(createRc, reg_error::kSuccess);
    EXPECT_NE(openRc, reg_error::kSuccess);
    EXPECT_EQ(Subkeys(""), Names{"Lead"});
  } else {
    EXPECT_EQ(createRc, reg_error::kBadPathname);
    EXPECT_EQ(openRc, reg_error::kBadPathname);
    EXPECT_EQ(Subkeys(""), Names{});
  }
  // The handle takes the store's paths, written from the root, on both.
  RegistryHandle handle(b, kRoot);
  EXPECT_TRUE(handle.OpenKey("\\" + Path("Rooted") + "\\", true));
  EXPECT_TRUE(handle.KeyExists("\\" + Path("Rooted")));
}

TEST_P(RegistryBackendConformance, TrailingBackslashNamesTheSameKey) {
  Key created(Backend()), plain(Backend()), trailing(Backend());
  ASSERT_EQ(Create("Trail\\", created), reg_error::kSuccess);
  EXPECT_EQ(Open("Trail", plain), reg_error::kSuccess);
  EXPECT_EQ(Open("TRAIL\\", trailing), reg_error::kSuccess);
  EXPECT_EQ(Subkeys(""), Names{"Trail"});
}

TEST_P(RegistryBackendConformance, DeletingAKeyWithSubkeysDependsOnTheSystem) {
  {
    Key leaf(Backend());
    ASSERT_EQ(Create("Tree\\Leaf", leaf), reg_error::kSuccess);
  }
  const long rc = Backend().DeleteSubkey(Scratch(), "Tree");
  if (Win9x()) {
    EXPECT_EQ(rc, reg_error::kSuccess);
    EXPECT_EQ(Exists("Tree"), reg_error::kFileNotFound);
  } else {
    EXPECT_EQ(rc, reg_error::kAccessDenied);
    EXPECT_EQ(Exists("Tree\\Leaf"), reg_error::kSuccess);
  }
  {
    Key leaf(Backend());
    ASSERT_EQ(Create("Tree\\Leaf", leaf), reg_error::kSuccess);
  }
  // A key without subkeys goes on both.
  Key tree(Backend());
  ASSERT_EQ(Open("Tree", tree), reg_error::kSuccess);
  EXPECT_EQ(Backend().DeleteSubkey(tree.get(), "Leaf"), reg_error::kSuccess);
  EXPECT_EQ(Subkeys("Tree"), Names{});
}

TEST_P(RegistryBackendConformance, HandleDeletesAWholeTree) {
  RegistryBackend& b = Backend();
  for (const char* path : {"Tree\\A\\Deep\\Deeper", "Tree\\B", "Tree\\A\\Other", "Keep"}) {
    Key key(b);
    ASSERT_EQ(Create(path, key), reg_error::kSuccess);
    ASSERT_EQ(b.SetValue(key.get(), "V", Sz(std::string("x", 2))), reg_error::kSuccess);
  }
  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey(Path("Tree\\A\\Deep"), false));
  EXPECT_TRUE(handle.DeleteKey("\\" + Path("tree") + "\\"));
  EXPECT_FALSE(handle.HasOpenKey());
  EXPECT_EQ(Subkeys(""), Names{"Keep"});
  EXPECT_FALSE(handle.DeleteKey(Path("Tree")));
}

TEST_P(RegistryBackendConformance, MissingValueIsFileNotFound) {
  RegistryBackend& b = Backend();
  RawValue v;
  EXPECT_EQ(b.QueryValue(Scratch(), "Absent", &v), reg_error::kFileNotFound);
  EXPECT_EQ(b.DeleteValue(Scratch(), "Absent"), reg_error::kFileNotFound);
  ASSERT_EQ(b.SetValue(Scratch(), "Brief", Dword(1)), reg_error::kSuccess);
  ASSERT_EQ(b.DeleteValue(Scratch(), "Brief"), reg_error::kSuccess);
  EXPECT_EQ(b.QueryValue(Scratch(), "Brief", &v), reg_error::kFileNotFound);

  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey(Path(""), false));
  EXPECT_FALSE(handle.ValueExists("Absent"));
  EXPECT_EQ(handle.ReadString("Absent"), "");
  EXPECT_THROW(handle.ReadInteger("Absent"), RegistryError);
}

// Writing a hive to disk changes nothing the program sees; a handle
// without an open key has nothing to write.
TEST_P(RegistryBackendConformance, FlushingKeepsTheKeyAsItIs) {
  RegistryBackend& b = Backend();
  ASSERT_EQ(b.SetValue(Scratch(), "Flushed", Sz(std::string("on disk", 8))), reg_error::kSuccess);
  EXPECT_EQ(b.FlushKey(Scratch()), reg_error::kSuccess);
  RawValue v;
  ASSERT_EQ(b.QueryValue(Scratch(), "Flushed", &v), reg_error::kSuccess);
  EXPECT_EQ(Text(v), "on disk");
  RegistryHandle handle(b, kRoot);
  EXPECT_FALSE(handle.Flush());
  ASSERT_TRUE(handle.OpenKey(Path(""), false));
  EXPECT_TRUE(handle.Flush());
}

TEST_P(RegistryBackendConformance, OpeningAMissingKeyCreatesNothing) {
  Key key(Backend());
  EXPECT_EQ(Open("Missing", key), reg_error::kFileNotFound);
  EXPECT_EQ(Open("Missing\\Deeper", key), reg_error::kFileNotFound);
  RegistryHandle handle(Backend(), kRoot);
  EXPECT_FALSE(handle.OpenKey(Path("Missing\\Deeper"), false));
  EXPECT_FALSE(handle.KeyExists(Path("Missing")));
  EXPECT_EQ(Subkeys(""), Names{});
}

TEST_P(RegistryBackendConformance, KeyDeletedBehindAnOpenHandleFails) {
  RegistryBackend& b = Backend();
  Key doomed(b);
  ASSERT_EQ(Create("Doomed", doomed), reg_error::kSuccess);
  ASSERT_EQ(b.SetValue(doomed.get(), "Kept", Dword(1)), reg_error::kSuccess);
  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey(Path("Doomed"), false));

  ASSERT_EQ(b.DeleteSubkey(Scratch(), "Doomed"), reg_error::kSuccess);

  RawValue v;
  const long queryRc = b.QueryValue(doomed.get(), "Kept", &v);
  const long setRc = b.SetValue(doomed.get(), "Late", Dword(2));
  EXPECT_NE(queryRc, reg_error::kSuccess);
  EXPECT_NE(setRc, reg_error::kSuccess);
  if (!Win9x()) {
    EXPECT_EQ(queryRc, reg_error::kKeyDeleted);
    EXPECT_EQ(setRc, reg_error::kKeyDeleted);
  }
  EXPECT_THROW(handle.ReadInteger("Kept"), RegistryError);
  EXPECT_THROW(handle.WriteString("Late", "x"), RegistryError);
  EXPECT_EQ(Exists("Doomed"), reg_error::kFileNotFound);
}

// Wine skips an empty part inside a path; the in-memory registry refuses it,
// as an NT registry may. Neither may create a key with an empty name, so the
// store never builds such a path (trailing backslashes are another matter).
TEST_P(RegistryBackendConformance, AnEmptyPartInsideAPathNeverMakesAnEmptyName) {
  Key doubled(Backend()), plain(Backend());
  const long rc = Create("Outer\\\\Inner", doubled);
  if (rc == reg_error::kSuccess) {
    EXPECT_EQ(Subkeys(""), Names{"Outer"});
    EXPECT_EQ(Subkeys("Outer"), Names{"Inner"});
    EXPECT_EQ(Open("Outer\\Inner", plain), reg_error::kSuccess);
  } else {
    EXPECT_EQ(Subkeys(""), Names{});
  }
}

// A string stored as REG_EXPAND_SZ by another program is still a string.
TEST_P(RegistryBackendConformance, ExpandableStringReadsAsItsText) {
  const std::string text = "%SystemRoot%\\x";
  ASSERT_EQ(Backend().SetValue(Scratch(), "Expand",
                               RawValue{reg_type::kExpandString, text + '\0'}),
            reg_error::kSuccess);
  RegistryHandle handle(Backend(), kRoot);
  ASSERT_TRUE(handle.OpenKey(Path(""), false));
  EXPECT_EQ(handle.ReadString("Expand"), text);
  EXPECT_TRUE(handle.HasString("Expand"));
}

// "Quake2" merely starts with "Quake": deleting "Quake" must leave a key open
// on it alone, on the handle and below it.
TEST_P(RegistryBackendConformance, DeletingAKeyLeavesASiblingWithTheSamePrefixOpen) {
  RegistryBackend& b = Backend();
  for (const char* path : {"Quake\\D3D", "Quake2\\D3D"}) {
    Key key(b);
    ASSERT_EQ(Create(path, key), reg_error::kSuccess);
  }
  Key raw(b);
  ASSERT_EQ(Open("Quake2", raw), reg_error::kSuccess);
  RegistryHandle handle(b, kRoot);
  ASSERT_TRUE(handle.OpenKey("\\" + Path("quake2") + "\\", false));

  EXPECT_TRUE(handle.DeleteKey(Path("Quake")));

  EXPECT_TRUE(handle.HasOpenKey());
  handle.WriteString("Still", "open");
  EXPECT_EQ(handle.ReadString("Still"), "open");
  EXPECT_EQ(b.SetValue(raw.get(), "Raw", Dword(1)), reg_error::kSuccess);
  EXPECT_EQ(Subkeys(""), Names{"Quake2"});
  EXPECT_EQ(Subkeys("Quake2"), Names{"D3D"});
}

}  // namespace conformance
}  // namespace tw
