#include "store/setting_catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "platform/command_error.h"

namespace tw {
namespace {

constexpr SettingKind D = SettingKind::Direct3D;
constexpr SettingKind G = SettingKind::Glide;

// One row per setting: the names the driver and the editor depend on, and the
// number the default choice stands for (lists only).
struct SettingRow {
  SettingKind kind;
  int number;
  const char* valueName;
  const char* control;
  SettingClass cls;
  int choiceCount;
  int32_t defaultNumber;
};

const SettingRow kSettings[] = {
    {D, 1, "SSTH3_OVERLAYMODE", "DComboBox1", SettingClass::List, 3, 1},
    {D, 2, "SSTH3_ALPHADITHERMODE", "DComboBox2", SettingClass::List, 3, 1},
    {D, 3, "SSTH3_SLI_AA_CONFIGURATION", "DComboBox3", SettingClass::List, 0, 0},
    {D, 4, "SSTH3_LOD_DITHER", "DComboBox4", SettingClass::List, 2, 0},
    {D, 5, "SSTH3_MAX_PENDING_BUFFERS", "DComboBox5", SettingClass::List, 7, 0},
    {D, 6, "SSTH3_LOD_BIAS", "DComboBox6", SettingClass::List, 17, 0},
    {D, 7, "SSTH3_Z_CLEAR_OPTIMIZATION", "DComboBox7", SettingClass::List, 2, 1},
    {D, 8, "SSTH3_RGAMMA", "DTrackR", SettingClass::Gamma, 0, 0},
    {D, 9, "SSTH3_GGAMMA", "DTrackG", SettingClass::Gamma, 0, 0},
    {D, 10, "SSTH3_BGAMMA", "DTrackB", SettingClass::Gamma, 0, 0},
    {D, 11, "SSTH3_SWAPINTERVAL", "DVSyncCheck", SettingClass::Switch, 0, 0},
    {G, 1, "SSTH3_OVERLAYMODE", "GComboBox1", SettingClass::List, 3, 1},
    {G, 2, "SSTH3_ALPHADITHERMODE", "GComboBox2", SettingClass::List, 3, 1},
    {G, 3, "SSTH3_SLI_AA_CONFIGURATION", "GComboBox3", SettingClass::List, 0, 0},
    {G, 4, "FX_GLIDE_LOD_DITHER", "GComboBox4", SettingClass::List, 2, 0},
    {G, 5, "FX_GLIDE_SWAPPENDINGCOUNT", "GComboBox5", SettingClass::List, 4, 1},
    {G, 6, "FX_GLIDE_LOD_BIAS", "GComboBox6", SettingClass::List, 17, 0},
    {G, 7, "FX_GLIDE_ALLOC_COLOR", "GComboBox7", SettingClass::List, 2, -1},
    {G, 8, "FX_GLIDE_BPP", "GComboBox8", SettingClass::List, 2, 16},
    {G, 9, "FX_GL_COMPRESS_LEGACY_TEXTURES", "GComboBox9", SettingClass::List, 2, 1},
    {G, 10, "FX_GLIDE_NO_SPLASH", "GComboBox10", SettingClass::List, 2, 0},
    {G, 11, "SSTH3_RGAMMA", "GTrackR", SettingClass::Gamma, 0, 0},
    {G, 12, "SSTH3_GGAMMA", "GTrackG", SettingClass::Gamma, 0, 0},
    {G, 13, "SSTH3_BGAMMA", "GTrackB", SettingClass::Gamma, 0, 0},
    {G, 14, "FX_GLIDE_SWAPINTERVAL", "GVSyncCheck", SettingClass::Switch, 0, 0},
    {G, 15, "FX_GLIDE_TMU_MEMSIZE", "TextureCheck", SettingClass::Switch, 0, 0},
    {G, 16, "FX_GL_16BPP_ZPRECISION", "GComboBoxA", SettingClass::List, 3, 1},
    {G, 17, "FX_GL_32BPP_ZPRECISION", "GComboBoxB", SettingClass::List, 3, 1},
    {G, 18, "FX_GL_HSR", "GComboBoxC", SettingClass::List, 5, 0},
    {G, 19, "FX_GL_GUARDBAND_ENABLED", "GComboBoxD", SettingClass::List, 2, 0},
};

TEST(SettingCatalogue, EverySettingHasItsNameControlClassAndDefault) {
  SettingCatalogue catalogue;
  for (const SettingRow& row : kSettings) {
    SCOPED_TRACE(row.valueName);
    const SettingInfo& info = catalogue.Info(row.kind, row.number);
    EXPECT_EQ(info.valueName, row.valueName);
    EXPECT_EQ(info.control, row.control);
    EXPECT_EQ(info.cls, row.cls);
    EXPECT_EQ(catalogue.ChoiceCount(row.kind, row.number), row.choiceCount);
    if (row.cls == SettingClass::List && row.choiceCount > 0) {
      const int def = catalogue.DefaultChoice(row.kind, row.number);
      EXPECT_EQ(catalogue.ChoiceNumber(row.kind, row.number, def), row.defaultNumber);
    }
  }
  EXPECT_EQ(SettingCatalogue::Count(D), 11);
  EXPECT_EQ(SettingCatalogue::Count(G), 19);
  EXPECT_THROW(catalogue.Info(D, 12), CommandError);
  EXPECT_THROW(catalogue.Info(G, 0), CommandError);
  // A choice outside its list raises too, a negative one included.
  EXPECT_THROW(catalogue.ChoiceCaption(D, 1, 3), CommandError);
  EXPECT_THROW(catalogue.ChoiceNumber(G, 4, -1), CommandError);
}

TEST(SettingCatalogue, ClassListsAgreeWithEachSettingsClass) {
  SettingCatalogue catalogue;
  for (SettingKind kind : {D, G}) {
    std::multiset<int> seen;
    const std::pair<SettingNumbers, SettingClass> groups[] = {
        {SettingCatalogue::ListSettings(kind), SettingClass::List},
        {SettingCatalogue::GammaSettings(kind), SettingClass::Gamma},
        {SettingCatalogue::SwitchSettings(kind), SettingClass::Switch}};
    for (const auto& group : groups) {
      for (int n : group.first) {
        EXPECT_EQ(catalogue.ClassOf(kind, n), group.second) << n;
        seen.insert(n);
      }
    }
    // Every setting in exactly one class.
    EXPECT_EQ(seen.size(), static_cast<size_t>(SettingCatalogue::Count(kind)));
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end()).size(), seen.size());
  }
}

TEST(SettingCatalogue, NoListRepeatsAChoiceNumber) {
  SettingCatalogue catalogue;
  for (int model : {4500, 5500, 6000}) {
    ASSERT_TRUE(catalogue.FillFsaaLists(model));
    for (SettingKind kind : {D, G}) {
      for (int n : SettingCatalogue::ListSettings(kind)) {
        std::set<int32_t> numbers;
        for (int i = 0; i < catalogue.ChoiceCount(kind, n); ++i) {
          numbers.insert(catalogue.ChoiceNumber(kind, n, i));
        }
        EXPECT_EQ(numbers.size(), static_cast<size_t>(catalogue.ChoiceCount(kind, n))) << n;
      }
    }
  }
}

TEST(SettingCatalogue, LevelOfDetailCaptionsShowQuarterSteps) {
  SettingCatalogue catalogue;
  for (SettingKind kind : {D, G}) {
    ASSERT_EQ(catalogue.ChoiceCount(kind, 6), 17);
    for (int i = 0; i < 17; ++i) {
      const int32_t number = catalogue.ChoiceNumber(kind, 6, i);
      EXPECT_EQ(number, i - 8);
      char expected[16];
      std::snprintf(expected, sizeof expected, "%.2f", number / 4.0);
      std::string caption = expected;
      if (number == -8) caption = "-2 Sharper image";
      if (number == 0) caption = "0";
      if (number == 8) caption = "2.00 Best performance";
      EXPECT_EQ(catalogue.ChoiceCaption(kind, 6, i), caption);
    }
    EXPECT_EQ(catalogue.DefaultChoice(kind, 6), 8);
  }
}

struct FindCase {
  SettingKind kind;
  int number;
  int32_t stored;
  int expected;
};

TEST(SettingCatalogue, FindChoiceMatchesExactlyOrFallsBackToTheDefault) {
  SettingCatalogue catalogue;
  const FindCase cases[] = {
      {G, 6, -8, 0},   // "-2 Sharper image"
      {G, 6, 9, 8},    // beyond the list: default "0"
      {D, 6, 8, 16},
      {G, 7, -1, 0},   // "Disable" of triple buffering
      {G, 7, 0, 0},    // not in the list, and "Disable" is the default
      {G, 7, 3, 1},
      {G, 8, 32, 1},   // "Force 32bpp Rendering"
      {G, 8, 24, 0},   // no nearest match
      {G, 5, 7, 1},    // default "1 Pending Buffer"
      {D, 7, 2, 1},    // default "Enable"
      {G, 19, 1, 1},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(catalogue.FindChoice(c.kind, c.number, c.stored), c.expected)
        << static_cast<int>(c.kind) << "/" << c.number << " stored " << c.stored;
  }
}

struct FsaaModel {
  int model;
  std::vector<Choice> choices;
  int defaultChoice;
};

TEST(SettingCatalogue, FsaaListsFollowTheCardModelInBothGroups) {
  const FsaaModel models[] = {
      {4500, {{"Fastest Performance", 0}, {"2x FSAA", 1}}, 0},
      {5500,
       {{"Single chip only", 0}, {"Fastest Performance", 2}, {"2x FSAA", 3}, {"4x FSAA", 4}},
       1},
      {6000,
       {{"Single chip only", 0},
        {"Fastest Performance", 5},
        {"2x FSAA", 6},
        {"4x FSAA", 7},
        {"8x FSAA", 8}},
       1},
  };
  SettingCatalogue catalogue;
  for (const FsaaModel& m : models) {
    SCOPED_TRACE(m.model);
    ASSERT_TRUE(catalogue.FillFsaaLists(m.model));
    for (SettingKind kind : {D, G}) {
      ASSERT_EQ(catalogue.ChoiceCount(kind, 3), static_cast<int>(m.choices.size()));
      for (size_t i = 0; i < m.choices.size(); ++i) {
        EXPECT_EQ(catalogue.ChoiceCaption(kind, 3, static_cast<int>(i)), m.choices[i].caption);
        EXPECT_EQ(catalogue.ChoiceNumber(kind, 3, static_cast<int>(i)), m.choices[i].number);
      }
      EXPECT_EQ(catalogue.DefaultChoice(kind, 3), m.defaultChoice);
    }
  }
}

TEST(SettingCatalogue, FsaaNumberIsReadAgainstTheListInForce) {
  SettingCatalogue catalogue;
  // Before any card model: nothing to choose, not even a default.
  EXPECT_EQ(catalogue.ChoiceCount(D, 3), 0);
  EXPECT_EQ(catalogue.FindChoice(D, 3, 0), -1);
  EXPECT_EQ(catalogue.ChoiceForText(G, 3, std::nullopt), -1);
  EXPECT_EQ(catalogue.ChoiceForText(G, 3, std::string("2")), -1);

  catalogue.FillFsaaLists(5500);
  EXPECT_EQ(catalogue.FindChoice(D, 3, 4), 3);  // "4x FSAA"
  catalogue.FillFsaaLists(6000);
  EXPECT_EQ(catalogue.FindChoice(D, 3, 4), 1);  // no match: "Fastest Performance"
  EXPECT_EQ(catalogue.FindChoice(G, 3, 0), 0);  // "Single chip only"
  catalogue.FillFsaaLists(4500);
  EXPECT_EQ(catalogue.FindChoice(G, 3, 0), 0);  // now "Fastest Performance"
  EXPECT_EQ(catalogue.ChoiceCaption(G, 3, 0), "Fastest Performance");

  // Any other model changes nothing.
  EXPECT_FALSE(catalogue.FillFsaaLists(5000));
  EXPECT_FALSE(catalogue.FillFsaaLists(0));
  EXPECT_EQ(catalogue.ChoiceCount(D, 3), 2);
  SettingCatalogue fresh;
  EXPECT_FALSE(fresh.FillFsaaLists(3000));
  EXPECT_EQ(fresh.ChoiceCount(G, 3), 0);
}

TEST(SettingCatalogue, StoredTextThatIsNoNumberReadsAsTheDefault) {
  SettingCatalogue catalogue;
  EXPECT_EQ(catalogue.ChoiceForText(G, 6, std::string("-8")), 0);
  EXPECT_EQ(catalogue.ChoiceForText(G, 6, std::nullopt), 8);
  EXPECT_EQ(catalogue.ChoiceForText(G, 6, std::string("+1")), 9);
  for (const char* text : {"", "abc", "-1.50", " 3", "3 ", "+", "+-3", "0x3", "-"}) {
    EXPECT_EQ(catalogue.ChoiceForText(G, 6, std::string(text)), 8) << '"' << text << '"';
  }
  EXPECT_EQ(catalogue.ChoiceForText(G, 8, std::string("32")), 1);
}

TEST(ParseDecimal, AcceptsOnlyPlainDecimalIntegersThatFit) {
  const std::pair<const char*, int32_t> good[] = {
      {"0", 0},          {"-8", -8},   {"16", 16}, {"007", 7}, {"-0", 0}, {"+1", 1}, {"+8", 8},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const auto& g : good) {
    EXPECT_EQ(ParseDecimal(g.first), std::optional<int32_t>(g.second)) << g.first;
  }
  for (const char* bad : {"", "-", "+", "+-1", "-+1", "++1", " 3", "3 ", "1.5", "0x10", "1e3", "--1", "2147483648",
                          "-2147483649", "99999999999999999999", "1\n"}) {
    EXPECT_EQ(ParseDecimal(bad), std::nullopt) << '"' << bad << '"';
  }
}

struct BindCase {
  const char* name;
  std::optional<SettingRef> expected;
};

TEST(SettingCatalogue, ListBoxesBindByFirstAndLastCharacter) {
  const BindCase cases[] = {
      {"DComboBox1", SettingRef{D, 1}},
      {"DComboBox7", SettingRef{D, 7}},
      {"GComboBox9", SettingRef{G, 9}},
      {"GComboBox10", SettingRef{G, 10}},
      {"GComboBoxA", SettingRef{G, 16}},
      {"GComboBoxC", SettingRef{G, 18}},
      {"GComboBoxD", SettingRef{G, 19}},
      {"DComboBox8", std::nullopt},   // a gamma setting of Direct3D
      {"DComboBox9", std::nullopt},
      {"DComboBox0", std::nullopt},
      {"DComboBoxA", std::nullopt},
      {"GComboBoxE", std::nullopt},
      {"GComboBox0", std::nullopt},   // "0" is only the end of "10"
      {"GComboBox20", std::nullopt},
      {"GComboBox11", std::nullopt},  // a gamma setting of Glide
      {"SetDesktopCombo0", std::nullopt},
      {"XComboBox1", std::nullopt},
      {"DComboBox", std::nullopt},
      {"", std::nullopt},
      {"GTrackR", std::nullopt},
  };
  for (const BindCase& c : cases) {
    EXPECT_EQ(SettingCatalogue::BindListControl(c.name), c.expected) << c.name;
  }
}

TEST(SettingCatalogue, EveryEditorControlBindsToItsSetting) {
  SettingCatalogue catalogue;
  for (const SettingRow& row : kSettings) {
    EXPECT_EQ(catalogue.BindControl(row.control), (SettingRef{row.kind, row.number}))
        << row.control;
  }
  EXPECT_EQ(catalogue.BindControl("SetDesktopCombo0"), std::nullopt);
  EXPECT_EQ(catalogue.BindControl("DGammaR"), std::nullopt);  // the label, not the slider
  EXPECT_EQ(catalogue.Info(D, 8).gammaLabel, "DGammaR");
  EXPECT_EQ(catalogue.Info(G, 13).gammaLabel, "GGammaB");
}

}  // namespace
}  // namespace tw
