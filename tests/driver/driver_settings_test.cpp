#include "driver/driver_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"
#include "store/registry_error.h"

namespace tw {
namespace {

constexpr SettingKind D = SettingKind::Direct3D;
constexpr SettingKind G = SettingKind::Glide;
constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;

using Text = std::optional<std::string>;  // nullopt: the value is absent

class DriverSettingsTest : public ::testing::Test {
 protected:
  explicit DriverSettingsTest(int cardModel = 5500) {
    if (cardModel != 0) catalogue_.FillFsaaLists(cardModel);
  }

  static std::string Group(SettingKind kind) { return kind == D ? "D3D" : "Glide"; }
  std::string DriverPath(SettingKind kind) const { return driverKey_ + Group(kind); }
  static std::string ProfilePath(const std::string& profile, SettingKind kind) {
    return "Software\\Hexmoor\\Tarnwick\\" + profile + "\\" + Group(kind);
  }

  void SetLive(SettingKind kind, const std::string& name, const Text& text) {
    if (text) reg_.PutString(HKLM, DriverPath(kind), name, *text);
  }
  Text Live(SettingKind kind, const std::string& name) const {
    return reg_.GetString(HKLM, DriverPath(kind), name);
  }
  Text Prev(SettingKind kind, const std::string& name) const {
    return Live(kind, "Prev " + name);
  }
  void Store(const std::string& profile, SettingKind kind, const std::string& name,
             const std::string& text) {
    reg_.PutString(HKCU, ProfilePath(profile, kind), name, text);
  }
  // Every value of both driver groups, for comparing whole states.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> all;
    for (SettingKind kind : {D, G}) {
      for (const std::string& name : reg_.ValueNames(HKLM, DriverPath(kind))) {
        all[Group(kind) + "/" + name] = *Live(kind, name);
      }
    }
    return all;
  }

  FakeRegistry reg_;
  RegistryHandle program_{reg_, HKCU};
  RegistryHandle driver_{reg_, HKLM};
  std::string driverKey_ = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\";
  SettingCatalogue catalogue_;
  DriverSettings settings_{catalogue_, program_, driver_, driverKey_};
};

class DriverSettingsNoModelTest : public DriverSettingsTest {
 protected:
  DriverSettingsNoModelTest() : DriverSettingsTest(0) {}
};

// --- ApplyChoice ------------------------------------------------------------

TEST_F(DriverSettingsTest, ApplyChoiceRecordsTheReplacedListText) {
  SetLive(D, "SSTH3_LOD_BIAS", "3");
  SetLive(D, "Prev SSTH3_LOD_BIAS", "-1");
  settings_.ApplyChoice(D, 6, 0);
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "-8");
  EXPECT_EQ(Prev(D, "SSTH3_LOD_BIAS"), "3");

  // An absent value leaves its record as it was: kept here, absent below.
  SetLive(G, "Prev FX_GLIDE_ALLOC_COLOR", "3");
  settings_.ApplyChoice(G, 7, 0);
  EXPECT_EQ(Live(G, "FX_GLIDE_ALLOC_COLOR"), "-1");
  EXPECT_EQ(Prev(G, "FX_GLIDE_ALLOC_COLOR"), "3");
  settings_.ApplyChoice(G, 18, 4);
  EXPECT_EQ(Live(G, "FX_GL_HSR"), "4");
  EXPECT_EQ(Prev(G, "FX_GL_HSR"), std::nullopt);

  // Names shared by both groups keep separate records.
  SetLive(D, "SSTH3_OVERLAYMODE", "2");
  SetLive(G, "SSTH3_OVERLAYMODE", "3");
  settings_.ApplyChoice(G, 1, 0);
  EXPECT_EQ(Live(D, "SSTH3_OVERLAYMODE"), "2");
  EXPECT_EQ(Prev(D, "SSTH3_OVERLAYMODE"), std::nullopt);
  EXPECT_EQ(Prev(G, "SSTH3_OVERLAYMODE"), "3");
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

TEST_F(DriverSettingsTest, ApplyChoiceOutsideTheListWritesNothing) {
  SetLive(D, "SSTH3_SLI_AA_CONFIGURATION", "7");
  settings_.ApplyChoice(D, 3, 4);  // 5500 has four entries
  settings_.ApplyChoice(D, 3, -1);
  settings_.ApplyChoice(D, 8, 0);  // a gamma has no choices
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), "7");
  EXPECT_EQ(Prev(D, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), std::nullopt);
}

TEST_F(DriverSettingsNoModelTest, ApplyChoiceWithoutCardModelLeavesFsaaAlone) {
  SetLive(G, "SSTH3_SLI_AA_CONFIGURATION", "5");
  settings_.ApplyChoice(G, 3, 0);
  EXPECT_EQ(Live(G, "SSTH3_SLI_AA_CONFIGURATION"), "5");
  EXPECT_EQ(Prev(G, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
}

// --- Factory defaults -------------------------------------------------------

struct FactoryRow {
  SettingKind kind;
  const char* name;
  const char* expected;  // nullptr: deleted
};

const FactoryRow kFactoryRows[] = {
    {D, "SSTH3_OVERLAYMODE", "1"},
    {D, "SSTH3_ALPHADITHERMODE", "1"},
    {D, "SSTH3_LOD_DITHER", "0"},
    {D, "SSTH3_MAX_PENDING_BUFFERS", "0"},
    {D, "SSTH3_LOD_BIAS", "0"},
    {D, "SSTH3_Z_CLEAR_OPTIMIZATION", "1"},
    {D, "SSTH3_RGAMMA", "1.30"},
    {D, "SSTH3_GGAMMA", "1.30"},
    {D, "SSTH3_BGAMMA", "1.30"},
    {D, "SSTH3_SWAPINTERVAL", nullptr},
    {G, "SSTH3_OVERLAYMODE", "1"},
    {G, "SSTH3_ALPHADITHERMODE", "1"},
    {G, "FX_GLIDE_LOD_DITHER", "0"},
    {G, "FX_GLIDE_SWAPPENDINGCOUNT", "1"},
    {G, "FX_GLIDE_LOD_BIAS", "0"},
    {G, "FX_GLIDE_ALLOC_COLOR", "-1"},
    {G, "FX_GLIDE_BPP", "16"},
    {G, "FX_GL_COMPRESS_LEGACY_TEXTURES", "1"},
    {G, "FX_GLIDE_NO_SPLASH", "1"},  // "Disable": any text hides the splash
    {G, "SSTH3_RGAMMA", "1.30"},
    {G, "SSTH3_GGAMMA", "1.30"},
    {G, "SSTH3_BGAMMA", "1.30"},
    {G, "FX_GLIDE_SWAPINTERVAL", nullptr},
    {G, "FX_GLIDE_TMU_MEMSIZE", nullptr},
    {G, "FX_GL_16BPP_ZPRECISION", "1"},
    {G, "FX_GL_32BPP_ZPRECISION", "1"},
    {G, "FX_GL_HSR", "0"},
    {G, "FX_GL_GUARDBAND_ENABLED", "0"},
};

struct ModelFsaa {
  int model;
  const char* fsaa;
};

class FactoryDefaultsTest : public DriverSettingsTest,
                            public ::testing::WithParamInterface<ModelFsaa> {
 protected:
  FactoryDefaultsTest() : DriverSettingsTest(GetParam().model) {}
};

TEST_P(FactoryDefaultsTest, WritesEveryDefaultAndRecordsWhatItReplaced) {
  // A driver state far from the defaults, with every value present.
  for (const FactoryRow& row : kFactoryRows) SetLive(row.kind, row.name, "9");
  for (SettingKind kind : {D, G}) SetLive(kind, "SSTH3_SLI_AA_CONFIGURATION", "9");

  settings_.ResetToFactoryDefaults();

  for (const FactoryRow& row : kFactoryRows) {
    SCOPED_TRACE(Group(row.kind) + "/" + row.name);
    if (row.expected) {
      EXPECT_EQ(Live(row.kind, row.name), row.expected);
      EXPECT_EQ(Prev(row.kind, row.name), "9");
    } else {
      EXPECT_EQ(Live(row.kind, row.name), std::nullopt);
    }
  }
  for (SettingKind kind : {D, G}) {
    EXPECT_EQ(Live(kind, "SSTH3_SLI_AA_CONFIGURATION"), GetParam().fsaa);
    EXPECT_EQ(Prev(kind, "SSTH3_SLI_AA_CONFIGURATION"), "9");
  }
  // Switches record presence with their own text, not what they held.
  EXPECT_EQ(Prev(D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(Prev(G, "FX_GLIDE_SWAPINTERVAL"), "0");
  EXPECT_EQ(Prev(G, "FX_GLIDE_TMU_MEMSIZE"), "2");
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(CardModels, FactoryDefaultsTest,
                         ::testing::Values(ModelFsaa{4500, "0"}, ModelFsaa{5500, "2"},
                                           ModelFsaa{6000, "5"}),
                         [](const ::testing::TestParamInfo<ModelFsaa>& info) {
                           return "V" + std::to_string(info.param.model);
                         });

TEST_F(DriverSettingsTest, FactoryDefaultsOnAnEmptyDriverRecordEmptyGammasAndNoSwitches) {
  SetLive(G, "Prev FX_GLIDE_TMU_MEMSIZE", "2");  // stale record of an earlier run
  settings_.ResetToFactoryDefaults();
  EXPECT_EQ(Prev(D, "SSTH3_GGAMMA"), "");
  EXPECT_EQ(Prev(G, "SSTH3_BGAMMA"), "");
  EXPECT_EQ(Prev(G, "FX_GLIDE_TMU_MEMSIZE"), std::nullopt);
  EXPECT_EQ(Prev(D, "SSTH3_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Prev(D, "SSTH3_LOD_BIAS"), std::nullopt);
}

TEST_F(DriverSettingsNoModelTest, FactoryDefaultsWithoutCardModelLeaveFsaaAlone) {
  SetLive(D, "SSTH3_SLI_AA_CONFIGURATION", "7");
  settings_.ResetToFactoryDefaults();
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), "7");
  EXPECT_EQ(Prev(D, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(G, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "0");  // the rest is written as usual
}

// --- Giving back ------------------------------------------------------------

struct RestoreCase {
  SettingKind kind;
  const char* name;
  Text before;
  Text prevBefore;
  Text after;
  Text prevAfter;
};

TEST_F(DriverSettingsTest, RestoreGivesBackEachClassByItsRule) {
  const RestoreCase cases[] = {
      // list: only a recorded value comes back; an empty current text is not kept
      {D, "SSTH3_OVERLAYMODE", "2", "3", "3", "2"},
      {D, "SSTH3_ALPHADITHERMODE", "", "3", "3", "3"},
      {D, "SSTH3_LOD_DITHER", std::nullopt, "1", "1", "1"},
      {D, "SSTH3_MAX_PENDING_BUFFERS", "4", std::nullopt, "4", std::nullopt},
      {G, "FX_GL_HSR", "2", "4", "4", "2"},
      {G, "FX_GLIDE_NO_SPLASH", "1", std::nullopt, "1", std::nullopt},
      // gamma: always a swap; absent record is "1.30", absent value is empty
      {D, "SSTH3_RGAMMA", "1.10", "1.50", "1.50", "1.10"},
      {D, "SSTH3_GGAMMA", "1.10", std::nullopt, "1.30", "1.10"},
      {D, "SSTH3_BGAMMA", std::nullopt, "1.70", "1.70", ""},
      {G, "SSTH3_RGAMMA", std::nullopt, std::nullopt, "1.30", ""},
      {G, "SSTH3_GGAMMA", "", "0.90", "0.90", ""},
      // an empty record was an absent gamma: deleted, never written as gamma 0
      {G, "SSTH3_BGAMMA", "1.50", "", std::nullopt, "1.50"},
      // switch: presence swaps, with the fixed text
      {D, "SSTH3_SWAPINTERVAL", "1", std::nullopt, std::nullopt, "0"},
      {G, "FX_GLIDE_SWAPINTERVAL", std::nullopt, "7", "0", std::nullopt},
      {G, "FX_GLIDE_TMU_MEMSIZE", "5", "5", "5", "5"},
  };
  for (const RestoreCase& c : cases) {
    SetLive(c.kind, c.name, c.before);
    SetLive(c.kind, std::string("Prev ") + c.name, c.prevBefore);
  }
  settings_.RestorePreviousValues();
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(Group(c.kind) + "/" + c.name);
    EXPECT_EQ(Live(c.kind, c.name), c.after);
    EXPECT_EQ(Prev(c.kind, c.name), c.prevAfter);
  }
  EXPECT_EQ(Live(D, "SSTH3_Z_CLEAR_OPTIMIZATION"), std::nullopt);
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

TEST_F(DriverSettingsTest, TwoRestoresInARowBringBackTheFirstState) {
  SetLive(D, "SSTH3_LOD_BIAS", "-2");
  SetLive(D, "Prev SSTH3_LOD_BIAS", "4");
  SetLive(G, "FX_GLIDE_BPP", "32");
  SetLive(G, "Prev FX_GLIDE_BPP", "16");
  for (SettingKind kind : {D, G}) {
    SetLive(kind, "SSTH3_RGAMMA", "1.00");
    SetLive(kind, "Prev SSTH3_RGAMMA", "2.00");
    SetLive(kind, "SSTH3_GGAMMA", "1.20");
    SetLive(kind, "Prev SSTH3_GGAMMA", "1.40");
    SetLive(kind, "SSTH3_BGAMMA", "1.30");
    SetLive(kind, "Prev SSTH3_BGAMMA", "0.80");
  }
  SetLive(D, "Prev SSTH3_SWAPINTERVAL", "0");  // off now, on before
  SetLive(G, "FX_GLIDE_SWAPINTERVAL", "0");    // on now, off before
  SetLive(G, "FX_GLIDE_TMU_MEMSIZE", "2");     // on now and before
  SetLive(G, "Prev FX_GLIDE_TMU_MEMSIZE", "2");
  const auto before = Snapshot();

  settings_.RestorePreviousValues();
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "4");
  EXPECT_EQ(Live(D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(Live(G, "FX_GLIDE_SWAPINTERVAL"), std::nullopt);
  EXPECT_NE(Snapshot(), before);

  settings_.RestorePreviousValues();
  EXPECT_EQ(Snapshot(), before);
}

// --- Profile runs -----------------------------------------------------------

TEST_F(DriverSettingsTest, ProfileRunThenRestoreKeepsSettingsThatWereAbsentBefore) {
  Store("Quake", D, "SSTH3_LOD_BIAS", "-8");
  Store("Quake", D, "SSTH3_RGAMMA", "1.80");
  SetLive(D, "SSTH3_SWAPINTERVAL", "1");  // on, whatever the text

  settings_.ApplyProfileSettings("Quake", false);
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "-8");
  EXPECT_EQ(Prev(D, "SSTH3_LOD_BIAS"), std::nullopt);
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), "1.80");
  EXPECT_EQ(Prev(D, "SSTH3_RGAMMA"), "");
  EXPECT_EQ(Live(D, "SSTH3_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Prev(D, "SSTH3_SWAPINTERVAL"), "0");

  settings_.RestorePreviousValues();
  // A list value that did not exist is not removed again by the plain swap;
  // an empty previous gamma is, since the driver reads "" as gamma 0.
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "-8");
  EXPECT_EQ(Prev(D, "SSTH3_LOD_BIAS"), std::nullopt);
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), std::nullopt);
  EXPECT_EQ(Prev(D, "SSTH3_RGAMMA"), "1.80");
  EXPECT_EQ(Live(D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(Prev(D, "SSTH3_SWAPINTERVAL"), std::nullopt);
}

TEST_F(DriverSettingsTest, ProfileWithSomeSettingsChangesOnlyThoseLists) {
  for (SettingKind kind : {D, G}) {
    for (int n : SettingCatalogue::ListSettings(kind)) {
      SetLive(kind, catalogue_.ValueName(kind, n), "1");
      SetLive(kind, "Prev " + catalogue_.ValueName(kind, n), "7");
    }
    for (int n : SettingCatalogue::GammaSettings(kind)) {
      SetLive(kind, catalogue_.ValueName(kind, n), "1.10");
    }
    for (int n : SettingCatalogue::SwitchSettings(kind)) {
      SetLive(kind, catalogue_.ValueName(kind, n), "x");
    }
  }
  Store("Unreal", D, "SSTH3_LOD_BIAS", "2");
  Store("Unreal", G, "FX_GL_HSR", "3");
  Store("Unreal", G, "FX_GLIDE_TMU_MEMSIZE", "yes");
  Store("Unreal", G, "SSTH3_BGAMMA", "0.70");

  settings_.ApplyProfileSettings("Unreal", false);

  for (SettingKind kind : {D, G}) {
    for (int n : SettingCatalogue::ListSettings(kind)) {
      const std::string& name = catalogue_.ValueName(kind, n);
      SCOPED_TRACE(Group(kind) + "/" + name);
      const bool stored = (kind == D && n == 6) || (kind == G && n == 18);
      EXPECT_EQ(Live(kind, name), stored ? (kind == D ? "2" : "3") : "1");
      EXPECT_EQ(Prev(kind, name), stored ? "1" : "7");
    }
  }
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), "1.30");
  EXPECT_EQ(Live(G, "SSTH3_GGAMMA"), "1.30");
  EXPECT_EQ(Live(G, "SSTH3_BGAMMA"), "0.70");
  EXPECT_EQ(Prev(G, "SSTH3_BGAMMA"), "1.10");
  EXPECT_EQ(Live(D, "SSTH3_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Live(G, "FX_GLIDE_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Live(G, "FX_GLIDE_TMU_MEMSIZE"), "2");
  EXPECT_EQ(Prev(G, "FX_GLIDE_TMU_MEMSIZE"), "2");
}

TEST_F(DriverSettingsTest, StoredNumbersGoThroughTheChoiceLists) {
  catalogue_.FillFsaaLists(6000);
  Store("Doom", D, "SSTH3_LOD_BIAS", "9");                // no such choice
  Store("Doom", D, "SSTH3_Z_CLEAR_OPTIMIZATION", "yes");  // no number at all
  Store("Doom", D, "SSTH3_SLI_AA_CONFIGURATION", "4");    // "4x FSAA" of a 5500
  Store("Doom", G, "FX_GLIDE_BPP", "24");
  Store("Doom", G, "FX_GLIDE_ALLOC_COLOR", "3");
  Store("Doom", G, "FX_GLIDE_LOD_BIAS", "-1.50");  // older form, not converted yet

  settings_.ApplyProfileSettings("Doom", false);

  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "0");
  EXPECT_EQ(Live(D, "SSTH3_Z_CLEAR_OPTIMIZATION"), "1");
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), "5");
  EXPECT_EQ(Live(G, "FX_GLIDE_BPP"), "16");
  EXPECT_EQ(Live(G, "FX_GLIDE_ALLOC_COLOR"), "3");
  EXPECT_EQ(Live(G, "FX_GLIDE_LOD_BIAS"), "0");
  // Reading never mends the stored text.
  EXPECT_EQ(reg_.GetString(HKCU, ProfilePath("Doom", D), "SSTH3_Z_CLEAR_OPTIMIZATION"), "yes");
}

TEST_F(DriverSettingsNoModelTest, ProfileRunWithoutCardModelLeavesFsaaAlone) {
  Store("Doom", D, "SSTH3_SLI_AA_CONFIGURATION", "4");
  Store("Doom", G, "SSTH3_SLI_AA_CONFIGURATION", "0");
  SetLive(G, "SSTH3_SLI_AA_CONFIGURATION", "7");
  settings_.ApplyProfileSettings("Doom", false);
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(G, "SSTH3_SLI_AA_CONFIGURATION"), "7");
  EXPECT_EQ(Prev(G, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), "1.30");
}

TEST_F(DriverSettingsTest, CommandLineRunOfAMissingProfileCreatesAndChangesNothing) {
  SetLive(D, "SSTH3_RGAMMA", "1.10");
  settings_.ApplyProfileSettings("Ghost", true);
  EXPECT_FALSE(reg_.HasKey(HKCU, "Software\\Hexmoor\\Tarnwick\\Ghost"));
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), "1.10");
  EXPECT_EQ(Prev(D, "SSTH3_RGAMMA"), std::nullopt);
  EXPECT_FALSE(reg_.HasKey(HKLM, DriverPath(G)));
}

TEST_F(DriverSettingsTest, CommandLineRunOfAnExistingProfileAppliesIt) {
  Store("Quake", G, "FX_GLIDE_NO_SPLASH", "0");
  settings_.ApplyProfileSettings("Quake", true);
  EXPECT_EQ(Live(G, "FX_GLIDE_NO_SPLASH"), "1");
  // Its D3D subkey is missing and stays missing; the driver's D3D is untouched.
  EXPECT_FALSE(reg_.HasKey(HKCU, ProfilePath("Quake", D)));
  EXPECT_FALSE(reg_.HasKey(HKLM, DriverPath(D)));
}

TEST_F(DriverSettingsTest, TrayRunOfAMissingProfileActsAsAnEmptyOne) {
  SetLive(D, "SSTH3_LOD_BIAS", "4");
  SetLive(G, "FX_GLIDE_SWAPINTERVAL", "0");
  settings_.ApplyProfileSettings("Ghost", false);
  EXPECT_TRUE(reg_.HasKey(HKCU, ProfilePath("Ghost", G)));
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "4");
  EXPECT_EQ(Live(G, "SSTH3_RGAMMA"), "1.30");
  EXPECT_EQ(Live(G, "FX_GLIDE_SWAPINTERVAL"), std::nullopt);
}

// --- User defaults ----------------------------------------------------------

TEST_F(DriverSettingsTest, UserDefaultsFillGapsWithDefaultsAndRecordAbsentGammasAsFallback) {
  Store("User Default", D, "SSTH3_LOD_BIAS", "-4");
  Store("User Default", D, "SSTH3_MAX_PENDING_BUFFERS", "two");
  Store("User Default", D, "SSTH3_RGAMMA", "1.60");
  Store("User Default", D, "SSTH3_SWAPINTERVAL", "");
  Store("User Default", G, "FX_GLIDE_TMU_MEMSIZE", "1");
  SetLive(D, "SSTH3_OVERLAYMODE", "3");
  SetLive(D, "SSTH3_MAX_PENDING_BUFFERS", "5");
  SetLive(D, "SSTH3_GGAMMA", "1.00");
  SetLive(G, "FX_GLIDE_SWAPINTERVAL", "0");

  settings_.ResetToUserDefaults();

  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "-4");
  EXPECT_EQ(Live(D, "SSTH3_OVERLAYMODE"), "1");
  EXPECT_EQ(Prev(D, "SSTH3_OVERLAYMODE"), "3");
  EXPECT_EQ(Live(D, "SSTH3_MAX_PENDING_BUFFERS"), "0");
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), "2");
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), "1.60");
  EXPECT_EQ(Prev(D, "SSTH3_RGAMMA"), "1.30");
  EXPECT_EQ(Live(D, "SSTH3_GGAMMA"), "1.30");
  EXPECT_EQ(Prev(D, "SSTH3_GGAMMA"), "1.00");
  EXPECT_EQ(Live(D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(Prev(D, "SSTH3_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Live(G, "FX_GLIDE_SWAPPENDINGCOUNT"), "1");
  EXPECT_EQ(Live(G, "FX_GLIDE_TMU_MEMSIZE"), "2");
  EXPECT_EQ(Live(G, "FX_GLIDE_SWAPINTERVAL"), std::nullopt);
  EXPECT_EQ(Prev(G, "FX_GLIDE_SWAPINTERVAL"), "0");
}

TEST_F(DriverSettingsTest, MissingUserDefaultsActAsEmptyAndLeaveEmptyKeys) {
  SetLive(G, "FX_GL_HSR", "4");
  settings_.ResetToUserDefaults();
  for (SettingKind kind : {D, G}) {
    EXPECT_TRUE(reg_.HasKey(HKCU, ProfilePath("User Default", kind)));
    EXPECT_TRUE(reg_.ValueNames(HKCU, ProfilePath("User Default", kind)).empty());
    EXPECT_EQ(Live(kind, "SSTH3_BGAMMA"), "1.30");
    EXPECT_EQ(Prev(kind, "SSTH3_BGAMMA"), "1.30");
  }
  EXPECT_EQ(Live(G, "FX_GL_HSR"), "0");
  EXPECT_EQ(Prev(G, "FX_GL_HSR"), "4");
  EXPECT_EQ(Live(G, "FX_GLIDE_ALLOC_COLOR"), "-1");
}

TEST_F(DriverSettingsNoModelTest, UserDefaultsWithoutCardModelLeaveFsaaAlone) {
  Store("User Default", G, "SSTH3_SLI_AA_CONFIGURATION", "2");
  settings_.ResetToUserDefaults();
  EXPECT_EQ(Live(D, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(G, "SSTH3_SLI_AA_CONFIGURATION"), std::nullopt);
  EXPECT_EQ(Live(G, "FX_GLIDE_LOD_BIAS"), "0");
}

// --- Failures ---------------------------------------------------------------

TEST_F(DriverSettingsTest, RefusedWriteStopsTheResetAndKeepsEarlierValues) {
  SetLive(D, "SSTH3_OVERLAYMODE", "3");
  SetLive(D, "SSTH3_LOD_BIAS", "5");
  SetLive(D, "SSTH3_Z_CLEAR_OPTIMIZATION", "0");
  reg_.RefuseValueWrite("SSTH3_LOD_BIAS");
  try {
    settings_.ResetToFactoryDefaults();
    FAIL() << "no error";
  } catch (const RegistryError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'SSTH3_LOD_BIAS'");
  }
  EXPECT_EQ(Live(D, "SSTH3_OVERLAYMODE"), "1");
  EXPECT_EQ(Prev(D, "SSTH3_OVERLAYMODE"), "3");
  EXPECT_EQ(Live(D, "SSTH3_LOD_BIAS"), "5");
  EXPECT_EQ(Live(D, "SSTH3_Z_CLEAR_OPTIMIZATION"), "0");
  EXPECT_EQ(Live(G, "SSTH3_OVERLAYMODE"), std::nullopt);
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

TEST_F(DriverSettingsTest, StoredValueOfTheWrongTypeEndsTheRunBeforeAnyWrite) {
  Store("Quake", D, "SSTH3_RGAMMA", "1.50");
  reg_.PutDword(HKCU, ProfilePath("Quake", D), "SSTH3_LOD_DITHER", 1);
  try {
    settings_.ApplyProfileSettings("Quake", false);
    FAIL() << "no error";
  } catch (const RegistryError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'SSTH3_LOD_DITHER'");
  }
  // Everything is read before anything is written: nothing half-written.
  EXPECT_EQ(Live(D, "SSTH3_RGAMMA"), std::nullopt);
  EXPECT_EQ(Live(G, "SSTH3_RGAMMA"), std::nullopt);
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

// A driver group the registry will not open is a refused write: the command
// says so and leaves the other group alone too, rather than apply half of it.
TEST_F(DriverSettingsTest, DriverGroupThatCannotOpenEndsTheCommandWithNothingWritten) {
  reg_.RefuseOpen(HKLM, DriverPath(D));
  Store("Quake", G, "FX_GLIDE_NO_SPLASH", "1");
  Store("Quake", D, "SSTH3_LOD_BIAS", "1");
  // The message names a value, as for every refused write: the one chosen,
  // or the first of the group.
  const std::pair<std::function<void()>, const char*> commands[] = {
      {[&] { settings_.ApplyProfileSettings("Quake", false); }, "SSTH3_OVERLAYMODE"},
      {[&] { settings_.RestorePreviousValues(); }, "SSTH3_OVERLAYMODE"},
      {[&] { settings_.ResetToFactoryDefaults(); }, "SSTH3_OVERLAYMODE"},
      {[&] { settings_.ResetToUserDefaults(); }, "SSTH3_OVERLAYMODE"},
      {[&] { settings_.ApplyChoice(D, 3, 2); }, "SSTH3_SLI_AA_CONFIGURATION"},
  };
  for (const auto& command : commands) {
    try {
      command.first();
      ADD_FAILURE() << "no error";
    } catch (const RegistryError& e) {
      EXPECT_EQ(e.what(), "Failed to set data for '" + std::string(command.second) + "'");
    }
  }
  EXPECT_EQ(reg_.ValueNames(HKLM, DriverPath(G)), std::vector<std::string>{});
  EXPECT_FALSE(reg_.HasKey(HKLM, DriverPath(D)));
  EXPECT_EQ(reg_.OpenHandles(), 0u);
}

}  // namespace
}  // namespace tw
