#include "store/registry_handle.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"
#include "store/registry_error.h"

namespace tw {
namespace {

TEST(RegistryHandle, PathsAreFromTheRootWithLeadingAndTrailingBackslashes) {
  FakeRegistry reg(FakeRegistry::Flavor::Nt);
  RegistryHandle h(reg, RootKey::CurrentUser);
  ASSERT_TRUE(h.OpenKey("\\Software\\Hexmoor\\Tarnwick\\", true));
  h.WriteString("FilePath", "c:\\game.exe");
  h.CloseKey();
  EXPECT_EQ(reg.GetString(RootKey::CurrentUser, "software\\HEXMOOR\\tarnwick", "filepath"),
            "c:\\game.exe");
  EXPECT_TRUE(h.KeyExists("Software\\Hexmoor\\Tarnwick"));
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

}  // namespace
}  // namespace tw
