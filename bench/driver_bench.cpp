// Speed of the work one run does in the registry: a whole profile written
// into the driver with its previous values, and given back; and the listing
// the menus are built from. Measured against the in-memory registry, so the
// numbers are the program's own cost, not the system's.
#include <benchmark/benchmark.h>

#include <string>

#include "driver/driver_settings.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/startup.h"
#include "store/profile_store.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {
namespace {

constexpr const char* kDriverKey = "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\";

// A profile holding every setting, and a driver holding every setting.
void PlantFullProfile(FakeRegistry& reg, const SettingCatalogue& catalogue, const std::string& name) {
  for (SettingKind kind : {SettingKind::Direct3D, SettingKind::Glide}) {
    const std::string profile = ProfileGroupPath(name, SettingCatalogue::SubkeyName(kind));
    const std::string driver = DriverGroupPath(kDriverKey, SettingCatalogue::SubkeyName(kind));
    for (int n = 1; n <= SettingCatalogue::Count(kind); ++n) {
      const std::string& value = catalogue.ValueName(kind, n);
      reg.PutString(RootKey::CurrentUser, profile, value, "1");
      reg.PutString(RootKey::LocalMachine, driver, value, "0");
    }
  }
}

void BM_ApplyAndRestoreProfile(benchmark::State& state) {
  FakeRegistry reg;
  SettingCatalogue catalogue;
  catalogue.FillFsaaLists(5500);
  PlantFullProfile(reg, catalogue, "Quake III");
  RegistryHandle program(reg, RootKey::CurrentUser);
  RegistryHandle driver(reg, RootKey::LocalMachine);
  const std::string driverKey = kDriverKey;
  DriverSettings settings(catalogue, program, driver, driverKey);
  for (auto _ : state) {
    settings.ApplyProfileSettings("Quake III", false);
    settings.RestorePreviousValues();
  }
}
BENCHMARK(BM_ApplyAndRestoreProfile);

void BM_ListProfiles(benchmark::State& state) {
  FakeRegistry reg;
  for (int i = 0; i < state.range(0); ++i) {
    reg.PutKey(RootKey::CurrentUser, std::string("Software\\Hexmoor\\Tarnwick\\Game ") +
                                         std::to_string((i * 7919) % state.range(0)));
  }
  RegistryHandle program(reg, RootKey::CurrentUser);
  FakeTextCompare compare;
  for (auto _ : state) benchmark::DoNotOptimize(ListProfiles(program, compare));
}
BENCHMARK(BM_ListProfiles)->Arg(10)->Arg(200);

void BM_SplitCommandLine(benchmark::State& state) {
  const std::string line = "\"C:\\Program Files\\Tarnwick\\tarnwick.exe\" -DEBUG \"Quake III\" Arena";
  for (auto _ : state) benchmark::DoNotOptimize(SplitCommandLine(line));
}
BENCHMARK(BM_SplitCommandLine);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
