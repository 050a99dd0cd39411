// The registry conformance cases against the system's own registry. Which
// rules apply is read from the version the system reports: the high bit of
// GetVersion() is set on the 9x line. Beside them, the order profile lists
// take from the system's own comparison.
#include <windows.h>

#include <cstdio>

#include "platform/win32/registry_win32.h"
#include "platform/win32/text_compare_win32.h"
#include "store/profile_store.h"
#include "tests/conformance/registry_backend_cases.h"

namespace tw {
namespace conformance {
namespace {

bool RunsAs9x() { return (GetVersion() & 0x80000000u) != 0; }

BackendUnderTest Win32Backend() {
  return BackendUnderTest{RunsAs9x() ? "Win32_9x" : "Win32_Nt", RunsAs9x(),
                          [] { return std::unique_ptr<RegistryBackend>(new Win32RegistryBackend()); },
                          nullptr};
}

INSTANTIATE_TEST_SUITE_P(System, RegistryBackendConformance, ::testing::Values(Win32Backend()),
                         BackendLabel);

// Subkey names as the system lists them, sorted by the system's comparison
// the way the profile menus sort them. The word sort ignores a hyphen, so
// "Quake-2" follows "Quake1", where a plain character order would put it first.
TEST(SystemOrder, ProfileNamesSortByTheSystemsComparison) {
  Win32RegistryBackend backend;
  RegistryHandle handle(backend, kRoot);
  const std::string parent = std::string(kScratchParent) + "\\SystemOrder";
  handle.DeleteKey(parent);
  for (const char* name : {"Unreal", "User Default", "Quake-2", "doom", "Quake1", "quake 3"}) {
    ASSERT_TRUE(handle.OpenKey(parent + "\\" + name, true)) << name;
  }
  ASSERT_TRUE(handle.OpenKey(parent, false));
  std::vector<std::string> names = handle.GetKeyNames();
  handle.CloseKey();
  handle.DeleteKey(parent);
  handle.DeleteKey(kScratchParent);

  SortNoCase(names, Win32TextCompare());
  EXPECT_EQ(names, (std::vector<std::string>{"doom", "quake 3", "Quake1", "Quake-2", "Unreal",
                                             "User Default"}));
}

}  // namespace
}  // namespace conformance
}  // namespace tw

int main(int argc, char** argv) {
  const DWORD version = GetVersion();
  std::printf("Windows %lu.%lu (%s rules)\n", static_cast<unsigned long>(LOBYTE(LOWORD(version))),
              static_cast<unsigned long>(HIBYTE(LOWORD(version))),
              (version & 0x80000000u) ? "9x" : "NT");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
