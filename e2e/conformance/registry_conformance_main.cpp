// The registry conformance cases against the system's own registry. Which
// rules apply is read from the version the system reports: the high bit of
// GetVersion() is set on the 9x line.
#include <windows.h>

#include <cstdio>

#include "platform/win32/registry_win32.h"
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
