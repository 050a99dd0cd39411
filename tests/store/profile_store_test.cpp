#include "store/profile_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "store/registry_error.h"

namespace tw {
namespace {

constexpr RootKey kHkcu = RootKey::CurrentUser;
constexpr RootKey kHklm = RootKey::LocalMachine;
constexpr const char* kStore = "Software\\Hexmoor\\Tarnwick";
constexpr const char* kDriver = "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\";
constexpr const char* kDriverD3D = "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\D3D";
constexpr const char* kDriverGlide =
    "System\\CurrentControlSet\\Services\\Class\\Display\\0000\\Glide";

using Names = std::vector<std::string>;

class ProfileStoreTest : public ::testing::Test {
 protected:
  FakeRegistry reg_{FakeRegistry::Flavor::Nt};
  RegistryHandle program_{reg_, kHkcu};
  RegistryHandle driver_{reg_, kHklm};
  FakeTextCompare compare_;
};

TEST_F(ProfileStoreTest, PathsNameTheLayoutsKeys) {
  struct Case {
    std::string path;
    RootKey root;
    const char* expected;
  };
  const Case cases[] = {
      {ProfileKeyPath("Quake"), kHkcu, "Software\\Hexmoor\\Tarnwick\\Quake"},
      {ProfileGroupPath("Quake", "D3D"), kHkcu, "Software\\Hexmoor\\Tarnwick\\Quake\\D3D"},
      {ProfileGroupPath(kUserDefaultProfile, "Glide"), kHkcu,
       "Software\\Hexmoor\\Tarnwick\\User Default\\Glide"},
      {DriverGroupPath(kDriver, "D3D"), kHklm, kDriverD3D},
      {DriverGroupPath("System\\CurrentControlSet\\Services\\Class\\Display\\0000", "Glide"), kHklm,
       kDriverGlide},
      {DriverGroupPath(std::string(kDriver) + "\\", "Glide"), kHklm, kDriverGlide},
      {ProfileGroupPath("Quake\\", "D3D"), kHkcu, "Software\\Hexmoor\\Tarnwick\\Quake\\D3D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    // The in-memory registry refuses an empty part inside a path.
    RegistryHandle h(reg_, c.root);
    ASSERT_TRUE(h.OpenKey(c.path, true));
    h.WriteString("Probe", "x");
    h.CloseKey();
    EXPECT_EQ(reg_.GetString(c.root, c.expected, "Probe"), "x");
  }
}

TEST_F(ProfileStoreTest, ListsProfilesIgnoringCaseWithUserDefaultAmongThem) {
  for (const char* name : {"Vampire", "Unreal", "doom", "User Default", "Quake"}) {
    reg_.PutKey(kHkcu, std::string(kStore) + "\\" + name);
  }
  EXPECT_EQ(ListProfiles(program_, compare_),
            (Names{"doom", "Quake", "Unreal", "User Default", "Vampire"}));
  EXPECT_FALSE(program_.HasOpenKey());
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

// Orders names backwards, to show the order is the given comparison's.
class ReversedCompare : public TextCompare {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) const override {
    return FakeTextCompare().CompareNoCase(b, a);
  }
};

TEST_F(ProfileStoreTest, ListOrderIsTheSystemComparisons) {
  for (const char* name : {"doom", "Quake", "Unreal"}) {
    reg_.PutKey(kHkcu, std::string(kStore) + "\\" + name);
  }
  EXPECT_EQ(ListProfiles(program_, ReversedCompare()), (Names{"Unreal", "Quake", "doom"}));
}

TEST_F(ProfileStoreTest, ListingOnAFreshUserLeavesAnEmptyProgramKey) {
  EXPECT_EQ(ListProfiles(program_, compare_), Names{});
  EXPECT_TRUE(reg_.HasKey(kHkcu, kStore));
  EXPECT_EQ(reg_.SubkeyNames(kHkcu, kStore), Names{});
  EXPECT_EQ(reg_.ValueNames(kHkcu, kStore), Names{});
}

TEST_F(ProfileStoreTest, ListIsEmptyWhenTheProgramKeyCannotBeOpened) {
  reg_.PutKey(kHkcu, std::string(kStore) + "\\Quake");
  reg_.RefuseOpen(kHkcu, kStore);
  EXPECT_EQ(ListProfiles(program_, compare_), Names{});
}

TEST_F(ProfileStoreTest, LegacyLodBiasIsShortenedInBothGroups) {
  struct Case {
    const char* stored;
    const char* expected;
  };
  const Case cases[] = {
      {"-1.50", "-1"}, {"0.75", "0"}, {"2.00", "2"}, {"-0.50", "-0"},
      {"+1", "+1"},    {"10", "10"},  {"-8", "-8"},  {"5", "5"}, {"+1.00", "+1"},
  };
  const std::string d3d = std::string(kStore) + "\\Quake\\D3D";
  const std::string glide = std::string(kStore) + "\\Quake\\Glide";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    reg_.PutString(kHkcu, d3d, "SSTH3_LOD_BIAS", c.stored);
    reg_.PutString(kHkcu, glide, "FX_GLIDE_LOD_BIAS", c.stored);
    ConvertLegacyLodBias(program_, "quake");
    EXPECT_EQ(reg_.GetString(kHkcu, d3d, "SSTH3_LOD_BIAS"), c.expected);
    EXPECT_EQ(reg_.GetString(kHkcu, glide, "FX_GLIDE_LOD_BIAS"), c.expected);
  }
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

TEST_F(ProfileStoreTest, LegacyLodBiasTouchesOnlyTheGroupsOwnSetting) {
  const std::string d3d = std::string(kStore) + "\\User Default\\D3D";
  const std::string glide = std::string(kStore) + "\\User Default\\Glide";
  reg_.PutString(kHkcu, d3d, "FX_GLIDE_LOD_BIAS", "-1.50");
  reg_.PutString(kHkcu, glide, "SSTH3_LOD_BIAS", "0.75");
  ConvertLegacyLodBias(program_, kUserDefaultProfile);
  EXPECT_EQ(reg_.ValueNames(kHkcu, d3d), Names{"FX_GLIDE_LOD_BIAS"});
  EXPECT_EQ(reg_.ValueNames(kHkcu, glide), Names{"SSTH3_LOD_BIAS"});
  EXPECT_EQ(reg_.GetString(kHkcu, d3d, "FX_GLIDE_LOD_BIAS"), "-1.50");
  EXPECT_EQ(reg_.GetString(kHkcu, glide, "SSTH3_LOD_BIAS"), "0.75");
}

TEST_F(ProfileStoreTest, PreviousLodValueMovesIntoTheLodBiasPrevValue) {
  reg_.PutString(kHklm, kDriverD3D, "Previous LOD value", "-1.50");
  reg_.PutString(kHklm, kDriverD3D, "prev SSTH3_LOD_BIAS", "0");
  reg_.PutString(kHklm, kDriverGlide, "Previous LOD value", "2");
  ConvertPreviousLodValue(driver_, kDriver);

  EXPECT_FALSE(reg_.Get(kHklm, kDriverD3D, "Previous LOD value"));
  EXPECT_FALSE(reg_.Get(kHklm, kDriverGlide, "Previous LOD value"));
  EXPECT_EQ(reg_.GetString(kHklm, kDriverD3D, "Prev SSTH3_LOD_BIAS"), "-1.50");
  EXPECT_EQ(reg_.GetString(kHklm, kDriverGlide, "Prev FX_GLIDE_LOD_BIAS"), "2");
  EXPECT_EQ(reg_.ValueNames(kHklm, kDriverD3D).size(), 1u);
  EXPECT_EQ(reg_.ValueNames(kHklm, kDriverGlide).size(), 1u);
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

TEST_F(ProfileStoreTest, PreviousLodValueAbsentOrNotATextChangesNothing) {
  reg_.PutString(kHklm, kDriverD3D, "SSTH3_LOD_BIAS", "1");
  reg_.PutDword(kHklm, kDriverGlide, "Previous LOD value", 4);
  ConvertPreviousLodValue(driver_, kDriver);
  EXPECT_EQ(reg_.ValueNames(kHklm, kDriverD3D), Names{"SSTH3_LOD_BIAS"});
  EXPECT_EQ(reg_.ValueNames(kHklm, kDriverGlide), Names{"Previous LOD value"});
}

TEST_F(ProfileStoreTest, PreviousLodValueSurvivesARefusedWrite) {
  reg_.PutString(kHklm, kDriverD3D, "Previous LOD value", "-1.50");
  reg_.RefuseValueWrite("Prev SSTH3_LOD_BIAS");
  EXPECT_THROW(ConvertPreviousLodValue(driver_, kDriver), RegistryError);
  EXPECT_EQ(reg_.GetString(kHklm, kDriverD3D, "Previous LOD value"), "-1.50");
}

TEST_F(ProfileStoreTest, PreviousLodValueNeedsADriverKey) {
  ConvertPreviousLodValue(driver_, "");
  EXPECT_EQ(reg_.SubkeyNames(kHklm, ""), Names{});
}

TEST_F(ProfileStoreTest, RemovingTheStoreKeepsTheMakerKey) {
  struct Case {
    const char* what;
    bool storePresent;
  };
  for (const Case& c : {Case{"store absent", false}, Case{"store present", true}}) {
    SCOPED_TRACE(c.what);
    FakeRegistry reg(FakeRegistry::Flavor::Nt);
    RegistryHandle program(reg, kHkcu);
    if (c.storePresent) {
      reg.PutDword(kHkcu, kStore, "VoodooType", 5500);
      reg.PutString(kHkcu, std::string(kStore) + "\\Quake\\D3D", "SSTH3_LOD_BIAS", "0");
      reg.PutKey(kHkcu, std::string(kStore) + "\\User Default\\Glide");
    }
    reg.PutKey(kHkcu, "Software\\Hexmoor\\Other");
    RemoveStore(program);
    EXPECT_FALSE(reg.HasKey(kHkcu, kStore));
    EXPECT_EQ(reg.SubkeyNames(kHkcu, "Software\\Hexmoor"), Names{"Other"});
    EXPECT_EQ(reg.OpenHandles(), 0u);
  }
}

TEST_F(ProfileStoreTest, RemovingAProfileTakesItsSubkeys) {
  reg_.PutString(kHkcu, std::string(kStore) + "\\Quake", "FilePath", "c:\\quake.exe");
  reg_.PutString(kHkcu, std::string(kStore) + "\\Quake\\D3D", "SSTH3_LOD_BIAS", "0");
  reg_.PutString(kHkcu, std::string(kStore) + "\\Quake\\Glide", "FX_GLIDE_LOD_BIAS", "0");
  reg_.PutKey(kHkcu, std::string(kStore) + "\\Quake II");
  RemoveProfile(program_, "QUAKE");
  EXPECT_EQ(reg_.SubkeyNames(kHkcu, kStore), Names{"Quake II"});
}

TEST_F(ProfileStoreTest, RemovingAProfileWithoutANameKeepsTheStore) {
  reg_.PutKey(kHkcu, std::string(kStore) + "\\Quake");
  RemoveProfile(program_, "");
  RemoveProfile(program_, "\\");
  EXPECT_EQ(reg_.SubkeyNames(kHkcu, kStore), Names{"Quake"});
}

}  // namespace
}  // namespace tw
