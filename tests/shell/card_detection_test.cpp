#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ascii_case.h"

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/startup.h"
#include "store/registry_error.h"
#include "tests/shell/recording_startup_view.h"
#include "tests/support/reg_fixture.h"

namespace tw {
namespace {

constexpr RootKey kHklm = RootKey::LocalMachine;
constexpr RootKey kHkcu = RootKey::CurrentUser;
const std::string kDisplay = "System\\CurrentControlSet\\Services\\Class\\Display\\";
const std::string kService = "System\\CurrentControlSet\\Services\\3dfxvs\\";
const char* kProgram = "Software\\Hexmoor\\Tarnwick";

// Records every key path the search opens or creates.
class OpenRecorder : public FakeRegistry {
 public:
  long CreateKey(RootKey root, const std::string& subkey, RegKey* key) override {
    opened.push_back(subkey);
    return FakeRegistry::CreateKey(root, subkey, key);
  }
  long OpenKey(RootKey root, const std::string& subkey, RegKey* key) override {
    opened.push_back(subkey);
    return FakeRegistry::OpenKey(root, subkey, key);
  }
  std::vector<std::string> opened;
};

// Which descriptions name a Voodoo4 or later, and which model the card
// question then offers.
TEST(CardDetection, Descriptions) {
  const struct {
    const char* text;
    bool match;
    int model;
  } cases[] = {
      {"Voodoo4 4500 AGP", true, 4500},
      {"VOODOO5 5500", true, 5500},
      {"voodoo9", true, 0},
      {"Omega", true, 0},
      {"oMeGa driver", true, 0},
      // Later builds name the model anywhere, as a word, with or without a blank.
      {"3dfx Voodoo5 5500 AGP", true, 5500},
      {"AMIGAMERLIN 3.1-R11 For Voodoo 5 5500 AGP", true, 5500},
      {"3Dfx Voodoo5 6000", true, 6000},
      {"(Voodoo 4)", true, 0},
      // The driver's own setup names every board alike: only the PCI device tells.
      {"3dfx Voodoo Series", false, 0},
      {"Voodoo3 3000", false, 0},
      {"3dfx Voodoo3 3000 AGP", false, 0},
      {"Voodoo 3", false, 0},
      {"MyVoodoo5", false, 0},
      {"Voodoo  5", false, 0},
      {"Voodoo 5x", false, 0},
      {"Voodoo 45", false, 0},
      {"Omeg", false, 0},
      {"Voodoo", false, 0},
      {"VoodooX", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsVoodooDescription(c.text), c.match) << c.text;
    EXPECT_EQ(CardModelNamedIn(c.text), c.model) << c.text;
  }
}

class Detection : public ::testing::Test {
 protected:
  bool Detect(bool withLog = true) {
    return DetectVoodoo(driver, program, startup, compare, state, withLog ? &view : nullptr);
  }
  void Adapter(const std::string& name, const std::string& description) {
    reg.PutString(kHklm, kDisplay + name, "DriverDesc", description);
  }
  void Device(const std::string& name) {
    reg.PutString(kHklm, kService + name, "Hardwareinformation.Adapterstring", "x");
  }

  OpenRecorder reg;
  RegistryHandle driver{reg, kHklm};
  RegistryHandle program{reg, kHkcu};
  RegistryHandle startup{reg, kHklm};
  FakeTextCompare compare;
  StartupState state;
  RecordingStartupView view;
};

TEST_F(Detection, Windows98LayoutLogsAndEndsWithTheMatchingAdapter) {
  Adapter("0000", "Rage 128");
  Adapter("0001", "Voodoo5 5500 AGP");
  Adapter("0002", "Voodoo4 4500 AGP");
  ASSERT_TRUE(Detect());
  EXPECT_EQ(state.driverKey, kDisplay + "0001\\");
  EXPECT_FALSE(state.noCard);
  const std::vector<std::string> log = {
      "[Windows 95/98 check]",           "OpenKey: " + kDisplay + "0000",
      "DriverDescription: Rage 128",     "OpenKey: " + kDisplay + "0001",
      "DriverDescription: Voodoo5 5500 AGP", "Matched by its description", "Voodoo found"};
  EXPECT_EQ(view.log, log);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(Detection, UnreadableOrOddAdaptersDoNotStopTheSearch) {
  Adapter("0000", "Voodoo");
  Adapter("0001", "VoodooX");
  reg.PutDword(kHklm, kDisplay + "0002", "DriverDesc", 5);
  reg.PutKey(kHklm, kDisplay + "0003");
  Adapter("0004", "Voodoo5");
  reg.RefuseOpen(kHklm, kDisplay + "0004");
  Adapter("0005", "Voodoo4");
  ASSERT_TRUE(Detect(false));
  EXPECT_EQ(state.driverKey, kDisplay + "0005\\");
  EXPECT_TRUE(view.log.empty());
}

TEST_F(Detection, FirstMatchInSortedOrderWins) {
  Adapter("0002", "Voodoo4");
  Adapter("0001", "Voodoo5");
  ASSERT_TRUE(Detect());
  EXPECT_EQ(state.driverKey, kDisplay + "0001\\");
}

TEST_F(Detection, Windows2000LayoutSkipsNamesOtherThanDevice) {
  Device("Settings");
  Device("Adapter");
  reg.PutKey(kHklm, kService + "Device0");
  Device("Device1");
  ASSERT_TRUE(Detect());
  EXPECT_EQ(state.driverKey, kService + "Device1\\");
  const std::vector<std::string> log = {
      "[Windows 95/98 check]", "[Windows 2000 check]", "OpenKey: " + kService + "Device0",
      "OpenKey: " + kService + "Device1", "3Dfx driver found"};
  EXPECT_EQ(view.log, log);
  for (const std::string& path : reg.opened) {
    EXPECT_NE(path.rfind(kService + "Adapter", 0), 0u) << path;
    EXPECT_NE(path.rfind(kService + "Settings", 0), 0u) << path;
  }
}

TEST_F(Detection, Windows98LayoutBeatsWindows2000) {
  Device("Device0");
  Adapter("0000", "Voodoo5");
  ASSERT_TRUE(Detect());
  EXPECT_EQ(state.driverKey, kDisplay + "0000\\");
  EXPECT_EQ(view.log.back(), "Voodoo found");
}

// A limited user on 2000/XP may read the machine's keys but not create or
// change any: the card is still found, and nothing is created.
TEST_F(Detection, ReadOnlyMachineKeysStillFindTheCard) {
  Device("Device0");
  for (const std::string& path :
       {std::string("System"), std::string("System\\CurrentControlSet"),
        std::string("System\\CurrentControlSet\\Services"),
        std::string("System\\CurrentControlSet\\Services\\Class"), kService,
        kService + "Device0"}) {
    reg.RefuseWrites(kHklm, path);
  }
  ASSERT_TRUE(Detect(false));
  EXPECT_EQ(state.driverKey, kService + "Device0\\");
  EXPECT_FALSE(reg.HasKey(kHklm, "System\\CurrentControlSet\\Services\\Class\\Display"));
  EXPECT_FALSE(reg.HasKey(kHklm, kService + "Device0\\D3D"));
}

TEST_F(Detection, NothingFoundWritesNothingForTheProgram) {
  Adapter("0000", "Voodoo3 3000");
  Device("Settings");
  reg.PutKey(kHklm, kService + "Device0");
  EXPECT_FALSE(Detect());
  EXPECT_TRUE(state.noCard);
  EXPECT_FALSE(reg.HasKey(kHkcu, "Software\\Hexmoor"));
  EXPECT_TRUE(state.driverKey.empty());
}

// The search reads; a layout that is not there is not created.
TEST_F(Detection, TheSearchCreatesNoKeyOfAMissingLayout) {
  Device("Device0");
  ASSERT_TRUE(Detect(false));
  EXPECT_FALSE(reg.HasKey(kHklm, "System\\CurrentControlSet\\Services\\Class"));
  reg.RemoveKey(kHklm, "System\\CurrentControlSet\\Services\\3dfxvs");
  state = StartupState();
  EXPECT_FALSE(Detect(false));
  EXPECT_EQ(reg.SubkeyNames(kHklm, "System\\CurrentControlSet\\Services"),
            std::vector<std::string>());
}

TEST_F(Detection, StoredMenuStatesAfterAFind) {
  const struct {
    bool runValue;
    std::optional<uint32_t> reload;
    bool startupChecked;
    bool reloadChecked;
  } cases[] = {
      {true, std::nullopt, true, true},
      {false, 0u, false, false},
      {false, 7u, false, true},
  };
  for (const auto& c : cases) {
    state = StartupState{};
    Adapter("0000", "Voodoo5");
    reg.RemoveKey(kHkcu, "Software");
    reg.RemoveKey(kHklm, "SOFTWARE");
    if (c.runValue) reg.PutString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                  "Tarnwick", "c:\\tarnwick.exe");
    if (c.reload) reg.PutDword(kHkcu, kProgram, "Reload settings", *c.reload);
    ASSERT_TRUE(Detect(false));
    EXPECT_EQ(state.startupChecked, c.startupChecked);
    EXPECT_EQ(state.reloadChecked, c.reloadChecked);
    EXPECT_EQ(reg.GetDword(kHkcu, kProgram, "Reload settings"), c.reload.value_or(1));
  }
}

// Windows 98/ME: the adapter a VSA-100 PCI device is bound to is the card,
// whatever its description; older chips and other vendors are not.
TEST_F(Detection, PciDeviceBoundToAnAdapter) {
  const struct {
    const char* device;
    bool match;
  } cases[] = {
      {"VEN_121A&DEV_0009&SUBSYS_0001121A&REV_01", true},
      {"ven_121a&dev_000b&subsys_0005121a&rev_00", true},
      {"VEN_121A&DEV_0009", true},
      {"VEN_121A&DEV_0005&SUBSYS_0036121A&REV_01", false},  // Voodoo3
      {"VEN_121A&DEV_0003&SUBSYS_0001121A&REV_01", false},  // Banshee
      {"VEN_121A&DEV_00091&SUBSYS_0001121A&REV_01", false},
      {"VEN_1002&DEV_0009&SUBSYS_0001121A&REV_01", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device);
    reg.RemoveKey(kHklm, "Enum");
    reg.RemoveKey(kHklm, "System");
    state = StartupState{};
    Adapter("0000", "Standard PCI Graphics Adapter (VGA)");
    Adapter("0001", "3dfx Voodoo Series");
    // The device's own description names the model the adapter's does not.
    const std::string device = std::string("Enum\\PCI\\") + c.device + "\\BUS_01&DEV_00&FUNC_00";
    reg.PutString(kHklm, device, "Driver", "display\\0001\\");
    reg.PutString(kHklm, device, "DeviceDesc", "3dfx Voodoo5 5500 AGP");
    EXPECT_EQ(Detect(false), c.match);
    EXPECT_EQ(state.driverKey, c.match ? kDisplay + "0001\\" : std::string());
    EXPECT_EQ(state.namedModel, c.match ? 5500 : 0);
  }
}

// Windows 98/ME with a board moved to another slot: its old PCI instance
// and adapter key stay behind. The device nodes of this boot (HKEY_DYN_DATA)
// say which instance is there; without a list naming a VSA-100 the first
// match wins, as before.
TEST_F(Detection, PresentDeviceNodeChoosesAmongMatches) {
  const std::string phantom = "VEN_121A&DEV_0009&SUBSYS_0003121A&REV_01\\BUS_00&DEV_0A&FUNC_00";
  const std::string live = "VEN_121A&DEV_0009&SUBSYS_0003121A&REV_01\\BUS_01&DEV_00&FUNC_00";
  const std::string chipset = "PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00";
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char* name;
    Pairs adapters;   // name, description
    Pairs instances;  // below Enum\PCI, its "Driver"
    std::vector<std::string> nodes;  // the "HardWareKey" of each present node
    std::string found;
    std::string logLine;  // "" when any log will do
  } rows[] = {
      {"phantom first, live second",
       {{"0000", "Standard PCI Graphics Adapter (VGA)"}, {"0001", "3dfx Voodoo Series"},
        {"0002", "3dfx Voodoo Series"}},
       {{phantom, "Display\\0001"}, {live, "Display\\0002"}},
       {"ROOT\\*PNP0C01\\0000", chipset, "PCI\\" + live},
       kDisplay + "0002\\",
       "Passed over " + kDisplay + "0001\\: not present this boot"},
      {"no node list", {{"0001", "3dfx Voodoo Series"}, {"0002", "3dfx Voodoo Series"}},
       {{phantom, "Display\\0001"}, {live, "Display\\0002"}}, {}, kDisplay + "0001\\", ""},
      {"a node list naming no Voodoo",
       {{"0001", "3dfx Voodoo Series"}, {"0002", "3dfx Voodoo Series"}},
       {{phantom, "Display\\0001"}, {live, "Display\\0002"}}, {chipset}, kDisplay + "0001\\", ""},
      {"a stale key matched by its description first",
       {{"0000", "Voodoo5 5500 AGP"}, {"0001", "3dfx Voodoo Series"}},
       {{phantom, "Display\\0000"}, {live, "Display\\0001\\"}},
       {AsciiLower("PCI\\" + live + "\\")},
       kDisplay + "0001\\",
       "Present this boot: Enum\\PCI\\" + live},
      {"both named as the model, phantom first",
       {{"0001", "3dfx Voodoo5 5500 AGP"}, {"0002", "3dfx Voodoo5 5500 AGP"}},
       {{phantom, "Display\\0001"}, {live, "Display\\0002"}}, {"PCI\\" + live},
       kDisplay + "0002\\", "Present this boot: Enum\\PCI\\" + live},
      {"live first", {{"0001", "3dfx Voodoo Series"}, {"0002", "3dfx Voodoo Series"}},
       {{live, "Display\\0001"}, {phantom, "Display\\0002"}}, {"PCI\\" + live},
       kDisplay + "0001\\", "Present this boot: Enum\\PCI\\" + live},
      {"a present Voodoo no adapter is bound to", {{"0001", "3dfx Voodoo Series"}},
       {{phantom, "Display\\0001"}}, {"PCI\\" + live}, kDisplay + "0001\\",
       "None present this boot, so the first match: " + kDisplay + "0001\\"},
      {"the 2000/XP layout", {}, {}, {"PCI\\" + live}, kService + "Device0\\", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const char* root : {"Enum", "System", "Config Manager"}) {
      reg.RemoveKey(std::string(root) == "Config Manager" ? RootKey::DynData : kHklm, root);
    }
    state = StartupState{};
    view.log.clear();
    for (const auto& adapter : row.adapters) Adapter(adapter.first, adapter.second);
    for (const auto& instance : row.instances) {
      reg.PutString(kHklm, "Enum\\PCI\\" + instance.first, "Driver", instance.second);
    }
    for (size_t i = 0; i < row.nodes.size(); ++i) {
      reg.PutString(RootKey::DynData, "Config Manager\\Enum\\C29A3B0" + std::to_string(i),
                    "HardWareKey", row.nodes[i]);
    }
    if (row.adapters.empty()) Device("Device0");
    ASSERT_TRUE(Detect());
    EXPECT_EQ(state.driverKey, row.found);
    EXPECT_EQ(view.log.back(), row.adapters.empty() ? "3Dfx driver found" : "Voodoo found");
    if (!row.logLine.empty()) {
      EXPECT_NE(std::find(view.log.begin(), view.log.end(), row.logLine), view.log.end());
    }
    EXPECT_EQ(reg.OpenHandles(), 0u);
  }
}

// The registry as the driver's own setup leaves it, on both layouts: found,
// with the rule in the log, no model named, and nothing created on the way.
TEST_F(Detection, StockDriverLayouts) {
  PlantRegFixture(reg, kWin98StockFixture);
  const std::string before = DumpTree(reg, kHklm, "Enum") + DumpTree(reg, kHklm, kDisplay);
  ASSERT_TRUE(Detect());
  EXPECT_EQ(state.driverKey, kWin98StockDriverKey);
  EXPECT_EQ(state.namedModel, 0);
  const std::vector<std::string> tail = {
      "DriverDescription: 3dfx Voodoo Series",
      "Matched by its PCI device: Enum\\PCI\\VEN_121A&DEV_0009&SUBSYS_0004121A&REV_01",
      "Voodoo found"};
  EXPECT_EQ(std::vector<std::string>(view.log.end() - 3, view.log.end()), tail);
  EXPECT_EQ(DumpTree(reg, kHklm, "Enum") + DumpTree(reg, kHklm, kDisplay), before);

  PlantRegFixture(reg, kWin2000StockFixture);
  state = StartupState{};
  ASSERT_TRUE(Detect(false));
  EXPECT_EQ(state.driverKey, kWin2000StockDriverKey);
  EXPECT_EQ(state.namedModel, 0);
  // A miniport that names the model in its UTF-16 adapter string.
  std::string utf16;
  for (char c : std::string("3dfx Voodoo5 5500 AGP")) utf16 += std::string{c, '\0'};
  reg.PutRaw(kHklm, kWin2000StockDriverKey, "HardwareInformation.AdapterString",
             RawValue{reg_type::kBinary, utf16 + std::string(2, '\0')});
  ASSERT_TRUE(Detect(false));
  EXPECT_EQ(state.namedModel, 5500);
}

TEST_F(Detection, OlderPreviousLodValueIsConverted) {
  Adapter("0000", "Voodoo5");
  reg.PutString(kHklm, kDisplay + "0000\\D3D", "Previous LOD value", "-1.50");
  ASSERT_TRUE(Detect(false));
  const std::vector<std::string> names = reg.ValueNames(kHklm, kDisplay + "0000\\D3D");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("Prev ", 0), 0u);
  EXPECT_EQ(reg.GetString(kHklm, kDisplay + "0000\\D3D", names[0]), "-1.50");
}

}  // namespace
}  // namespace tw
