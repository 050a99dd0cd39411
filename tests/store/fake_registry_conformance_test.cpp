#include "platform/fake/fake_registry.h"
#include "tests/conformance/registry_backend_cases.h"

namespace tw {
namespace conformance {
namespace {

BackendUnderTest Fake(const char* label, FakeRegistry::Flavor flavor) {
  return BackendUnderTest{
      label, flavor == FakeRegistry::Flavor::Win98,
      [flavor] { return std::unique_ptr<RegistryBackend>(new FakeRegistry(flavor)); },
      [](const RegistryBackend& b) { return static_cast<const FakeRegistry&>(b).OpenHandles(); }};
}

INSTANTIATE_TEST_SUITE_P(Fake, RegistryBackendConformance,
                         ::testing::Values(Fake("Nt", FakeRegistry::Flavor::Nt),
                                           Fake("Win98", FakeRegistry::Flavor::Win98)),
                         BackendLabel);

}  // namespace
}  // namespace conformance
}  // namespace tw
