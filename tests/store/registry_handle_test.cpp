#include "store/registry_handle.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/fake_registry.h"
#include "store/registry_error.h"

namespace tw {
namespace {

constexpr RootKey kHkcu = RootKey::CurrentUser;
constexpr const char* kKey = "Software\\Hexmoor\\Tarnwick";

TEST(RegistryHandle, PathsAreFromTheRootWithLeadingAndTrailingBackslashes) {
  FakeRegistry reg(FakeRegistry::Flavor::Nt);
  RegistryHandle h(reg, kHkcu);
  ASSERT_TRUE(h.OpenKey("\\Software\\Hexmoor\\Tarnwick\\", true));
  h.WriteString("FilePath", "c:\\game.exe");
  h.CloseKey();
  EXPECT_EQ(reg.GetString(kHkcu, "software\\HEXMOOR\\tarnwick", "filepath"), "c:\\game.exe");
  EXPECT_TRUE(h.KeyExists("Software\\Hexmoor\\Tarnwick"));
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

struct MessageCase {
  const char* what;
  std::function<void(FakeRegistry&)> arrange;
  std::function<void(RegistryHandle&)> act;
  const char* message;
};

TEST(RegistryHandle, FailuresCarryTheSystemMessagesWithTheValueName) {
  const MessageCase cases[] = {
      {"DWORD read as string", [](FakeRegistry& r) { r.PutDword(kHkcu, kKey, "Poll", 3); },
       [](RegistryHandle& h) { h.ReadString("Poll"); }, "Invalid data type for 'Poll'"},
      {"string read as integer",
       [](FakeRegistry& r) { r.PutString(kHkcu, kKey, "FilePath", "12"); },
       [](RegistryHandle& h) { h.ReadInteger("FilePath"); }, "Invalid data type for 'FilePath'"},
      {"string read as boolean",
       [](FakeRegistry& r) { r.PutString(kHkcu, kKey, "Reload settings", "1"); },
       [](RegistryHandle& h) { h.ReadBool("Reload settings"); },
       "Invalid data type for 'Reload settings'"},
      {"missing integer", [](FakeRegistry&) {},
       [](RegistryHandle& h) { h.ReadInteger("Desktop Mode"); },
       "Failed to get data for 'Desktop Mode'"},
      {"write into a refused key", [](FakeRegistry& r) { r.RefuseWrites(kHkcu, kKey); },
       [](RegistryHandle& h) { h.WriteString("Directory", "c:\\"); },
       "Failed to set data for 'Directory'"},
      {"refused value name", [](FakeRegistry& r) { r.RefuseValueWrite("VoodooType"); },
       [](RegistryHandle& h) { h.WriteInteger("VoodooType", 5500); },
       "Failed to set data for 'VoodooType'"},
      {"refused boolean", [](FakeRegistry& r) { r.RefuseValueWrite("reload SETTINGS"); },
       [](RegistryHandle& h) { h.WriteBool("Reload settings", true); },
       "Failed to set data for 'Reload settings'"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeRegistry reg(FakeRegistry::Flavor::Nt);
    reg.PutKey(kHkcu, kKey);
    c.arrange(reg);
    RegistryHandle h(reg, kHkcu);
    ASSERT_TRUE(h.OpenKey(kKey, false));
    try {
      c.act(h);
      ADD_FAILURE() << "no error raised";
    } catch (const RegistryError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(RegistryHandle, IntegersAreSignedDwordsAndAnyNonZeroIsTrue) {
  FakeRegistry reg;
  RegistryHandle h(reg, kHkcu);
  ASSERT_TRUE(h.OpenKey(kKey, true));
  h.WriteInteger("Left", -5);
  h.WriteBool("Reload settings", true);
  EXPECT_EQ(reg.GetDword(kHkcu, kKey, "Left"), 0xFFFFFFFBu);
  EXPECT_EQ(reg.GetDword(kHkcu, kKey, "Reload settings"), 1u);
  EXPECT_EQ(h.ReadInteger("Left"), -5);

  reg.PutDword(kHkcu, kKey, "Reload settings", 2);
  EXPECT_TRUE(h.ReadBool("Reload settings"));
  h.WriteBool("Reload settings", false);
  EXPECT_EQ(reg.GetDword(kHkcu, kKey, "Reload settings"), 0u);
  EXPECT_FALSE(h.ReadBool("Reload settings"));
}

TEST(RegistryHandle, WithoutAnOpenKeyNothingExistsAndWritesFail) {
  FakeRegistry reg;
  reg.RefuseOpen(kHkcu, kKey);
  RegistryHandle h(reg, kHkcu);
  EXPECT_FALSE(h.OpenKey(kKey, true));
  EXPECT_FALSE(h.HasOpenKey());
  EXPECT_FALSE(h.ValueExists("Poll"));
  EXPECT_EQ(h.ReadString("FilePath"), "");
  EXPECT_THROW(h.ReadInteger("Poll"), RegistryError);
  EXPECT_THROW(h.WriteString("FilePath", "x"), RegistryError);
  EXPECT_FALSE(h.KeyExists(kKey));
}

TEST(RegistryHandle, DeletingATreeClosesTheOpenKeyOnlyWhenItLiesInside) {
  FakeRegistry reg(FakeRegistry::Flavor::Nt);
  reg.PutString(kHkcu, "Software\\Hexmoor\\Tarnwick\\Quake\\D3D", "SSTH3_LOD_BIAS", "0");
  reg.PutKey(kHkcu, "Software\\Hexmoor\\Tarnwick2");
  RegistryHandle h(reg, kHkcu);

  // A sibling whose name merely starts like the deleted key stays open.
  ASSERT_TRUE(h.OpenKey("Software\\Hexmoor\\Tarnwick2", false));
  EXPECT_TRUE(h.DeleteKey("Software\\Hexmoor\\Tarnwick\\Quake"));
  EXPECT_TRUE(h.HasOpenKey());

  reg.PutKey(kHkcu, "Software\\Hexmoor\\Tarnwick\\Quake\\D3D");
  ASSERT_TRUE(h.OpenKey("software\\hexmoor\\tarnwick\\quake\\d3d", false));
  EXPECT_TRUE(h.DeleteKey("\\Software\\Hexmoor\\Tarnwick\\"));
  EXPECT_FALSE(h.HasOpenKey());
  EXPECT_FALSE(reg.HasKey(kHkcu, kKey));
  EXPECT_TRUE(reg.HasKey(kHkcu, "Software\\Hexmoor\\Tarnwick2"));
  h.CloseKey();
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

// A tree that cannot be deleted whole stops where the registry refused, so a
// failed removal leaves what it had not reached.
TEST(RegistryHandle, DeletingATreeStopsAtTheFirstFailure) {
  FakeRegistry reg(FakeRegistry::Flavor::Nt);
  for (const char* child : {"A", "B\\Inner", "D"}) {
    reg.PutKey(kHkcu, std::string("Software\\Tree\\") + child);
  }
  RegistryHandle h(reg, kHkcu);
  reg.ResetCallCounts();
  reg.FailCall(FakeRegistry::CallKind::Enumerate, 3);  // the tree, A, then B

  EXPECT_FALSE(h.DeleteKey("Software\\Tree"));
  EXPECT_FALSE(reg.HasKey(kHkcu, "Software\\Tree\\A"));
  EXPECT_TRUE(reg.HasKey(kHkcu, "Software\\Tree\\B\\Inner"));
  EXPECT_TRUE(reg.HasKey(kHkcu, "Software\\Tree\\D"));
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

}  // namespace
}  // namespace tw
