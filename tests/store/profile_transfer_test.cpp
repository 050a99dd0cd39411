#include "store/profile_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"

namespace tw {
namespace {

constexpr RootKey kUser = RootKey::CurrentUser;
const std::string kProgram = "Software\\Hexmoor\\Tarnwick";

std::string Profile(const std::string& name) { return kProgram + "\\" + name; }

// Every key and value below a key, as "path|name|type|bytes" lines.
void Dump(const FakeRegistry& reg, const std::string& path, std::vector<std::string>* out) {
  for (const std::string& name : reg.ValueNames(kUser, path)) {
    const RawValue v = *reg.Get(kUser, path, name);
    out->push_back(path + "|" + name + "|" + std::to_string(v.type) + "|" + v.bytes);
  }
  for (const std::string& child : reg.SubkeyNames(kUser, path)) {
    out->push_back(path + "\\" + child);
    Dump(reg, path + "\\" + child, out);
  }
}
std::vector<std::string> Dump(const FakeRegistry& reg, const std::string& path) {
  std::vector<std::string> out;
  Dump(reg, path, &out);
  return out;
}

class ProfileTransferTest : public testing::Test {
 protected:
  ProfileTransferTest() { Plant(); }

  // Two profiles and the program's own value, planted afresh.
  void Plant() {
    reg.RemoveKey(kUser, kProgram);
    reg.PutString(kUser, Profile("Quake III"), "FilePath", "C:\\Games\\Quake3\\quake3.exe");
    reg.PutDword(kUser, Profile("Quake III"), "Poll", 5);
    reg.PutString(kUser, Profile("Quake III") + "\\D3D", "SSTH3_LOD_BIAS", "-2");
    reg.PutString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_BPP", "32");
    reg.PutString(kUser, Profile("Unreal"), "FilePath", "C:\\Unreal\\unreal.exe");
    reg.PutDword(kUser, kProgram, "VoodooType", 5500);
  }

  RegFile Export(const std::vector<std::string>& names) {
    RegFile file;
    std::string error;
    EXPECT_TRUE(ExportProfiles(program, names, compare, &file, &error)) << error;
    return file;
  }
  bool Import(const std::string& text, const ImportOptions& options = {}) {
    const RegFileParse parsed = ParseRegFile(text, ansi);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    imported.clear();
    error.clear();
    return ImportProfiles(program, parsed.file, options, &imported, &error);
  }

  FakeRegistry reg;
  RegistryHandle program{reg, kUser};
  FakeTextCompare compare;
  FakeAnsiConverter ansi;
  std::vector<std::string> imported;
  std::string error;
};

TEST_F(ProfileTransferTest, ExportThenImportIntoACleanUserGivesTheSameKeysAndValues) {
  reg.PutString(kUser, Profile("Unreal") + "\\Adopted Shortcuts\\1", "File", "C:\\U.lnk");
  const std::string text = WriteRegedit4(Export({"Quake III", "Unreal"}));
  EXPECT_EQ(text.find("VoodooType"), std::string::npos) << "only the profile keys are exported";
  EXPECT_EQ(text.find("Adopted"), std::string::npos) << "this machine's shortcuts stay here";
  reg.RemoveKey(kUser, Profile("Unreal") + "\\Adopted Shortcuts");
  const std::vector<std::string> before = Dump(reg, kProgram);

  reg.RemoveKey(kUser, kProgram);
  ASSERT_TRUE(Import(text)) << error;
  EXPECT_EQ(imported, (std::vector<std::string>{"Quake III", "Unreal"}));
  reg.PutDword(kUser, kProgram, "VoodooType", 5500);
  EXPECT_EQ(Dump(reg, kProgram), before);
}

TEST_F(ProfileTransferTest, ExportOfANameWithoutProfileFails) {
  RegFile file;
  EXPECT_FALSE(ExportProfiles(program, {"Quake III", "Doom"}, compare, &file, &error));
  EXPECT_EQ(error, "No profile named 'Doom'");
  EXPECT_TRUE(file.keys.empty());
}

TEST_F(ProfileTransferTest, AFileTouchingAnyOtherKeyIsRefusedWholeAndNothingIsWritten) {
  const std::vector<std::string> before = Dump(reg, "");
  const struct {
    const char* keys;
    const char* named;
  } cases[] = {
      {"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\D3D]",
       "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\D3D]"},
      {"[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick]", "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick]"},
      {"[HKEY_CURRENT_USER\\Software\\Hexmoor\\TarnwickX\\Doom]", "TarnwickX"},
      {"[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\\\Doom]", "Tarnwick\\\\Doom]"},
      {"[-HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Unreal]", "deletes the key"},
  };
  for (const auto& c : cases) {
    // A good profile first: it must not be written either.
    const std::string text = std::string("REGEDIT4\r\n\r\n") +
                             "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Doom]\r\n"
                             "\"FilePath\"=\"doom.exe\"\r\n\r\n" +
                             c.keys + "\r\n";
    EXPECT_FALSE(Import(text)) << c.keys;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_NE(error.find("nothing was written"), std::string::npos) << error;
    EXPECT_EQ(Dump(reg, ""), before) << c.keys;
  }
}

TEST_F(ProfileTransferTest, AnExistingProfileIsMergedOnlyWithReplace) {
  const std::string text =
      "REGEDIT4\r\n[HKCU\\Software\\Hexmoor\\Tarnwick\\quake iii\\D3D]\r\n"
      "\"SSTH3_LOD_BIAS\"=\"3\"\r\n\"SSTH3_RGAMMA\"=\"1.10\"\r\n";
  const std::vector<std::string> before = Dump(reg, kProgram);
  EXPECT_FALSE(Import(text));
  EXPECT_NE(error.find("exists; add --replace"), std::string::npos) << error;
  EXPECT_EQ(Dump(reg, kProgram), before);

  ImportOptions replace;
  replace.replace = true;
  ASSERT_TRUE(Import(text, replace)) << error;
  const std::string d3d = Profile("Quake III") + "\\D3D";
  EXPECT_EQ(reg.GetString(kUser, d3d, "SSTH3_LOD_BIAS"), "3");
  EXPECT_EQ(reg.GetString(kUser, d3d, "SSTH3_RGAMMA"), "1.10");
  // What the file does not mention is kept.
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III"), "FilePath"), "C:\\Games\\Quake3\\quake3.exe");
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_BPP"), "32");
}

TEST_F(ProfileTransferTest, AsNameTakesAOneProfileFileUnderANewName) {
  const std::string text = WriteRegedit4(Export({"Quake III"}));
  ImportOptions as;
  as.asName = "Quake III (forum)";
  ASSERT_TRUE(Import(text, as)) << error;
  EXPECT_EQ(imported, std::vector<std::string>{"Quake III (forum)"});
  EXPECT_EQ(Dump(reg, Profile("Quake III (forum)")).size(), Dump(reg, Profile("Quake III")).size());
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III (forum)") + "\\D3D", "SSTH3_LOD_BIAS"), "-2");

  as.asName = "Other";
  EXPECT_FALSE(Import(WriteRegedit4(Export({"Quake III", "Unreal"})), as));
  EXPECT_NE(error.find("one profile"), std::string::npos) << error;
  as.asName = "bad\\name";
  EXPECT_FALSE(Import(text, as));
  EXPECT_FALSE(reg.HasKey(kUser, Profile("Other")));
}

// The registry items (a key, or a key's value) two dumps differ in, in
// whatever order: a value with another content counts once, a value put
// back after its neighbours not at all.
std::vector<std::string> ChangedItems(const std::vector<std::string>& a,
                                      const std::vector<std::string>& b) {
  std::vector<std::string> items;
  for (const std::vector<std::string>* side : {&a, &b}) {
    const std::vector<std::string>& other = side == &a ? b : a;
    for (const std::string& line : *side) {
      if (std::find(other.begin(), other.end(), line) != other.end()) continue;
      const std::string item = line.substr(0, line.find('|', line.find('|') + 1));
      if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
    }
  }
  return items;
}

// Every registry call of each kind fails once in turn, in an import that
// goes through and in one whose last write is refused. An import either
// ends as a clean one or has changed nothing; a refused one takes back
// what it did (a new profile, values written over, the switches
// --settings-only deleted), and a step of that which fails leaves only its
// own item behind, the later ones still taken back, and says so.
TEST_F(ProfileTransferTest, AFailedCallEndsAnImportWholeOrTakesItBackStepByStep) {
  const auto plantWithSwitches = [&] {
    Plant();
    reg.PutString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_SWAPINTERVAL", "0");
    reg.PutString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_NO_SPLASH", "1");
  };
  plantWithSwitches();
  const std::vector<std::string> before = Dump(reg, kProgram);
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\";
  const struct {
    const char* name;
    std::string text;
    ImportOptions options;
  } imports[] = {
      {"--replace",
       "REGEDIT4\r\n" + key + "Doom]\r\n\"FilePath\"=\"doom.exe\"\r\n" + key +
           "Doom\\D3D]\r\n\"SSTH3_RGAMMA\"=\"1.2\"\r\n" + key +
           "Quake III]\r\n\"FilePath\"=\"new.exe\"\r\n" + key +
           "Quake III\\Glide]\r\n\"FX_GLIDE_BPP\"=\"16\"\r\n",
       {"", true, false}},
      {"--settings-only",
       "REGEDIT4\r\n" + key + "Forum\\D3D]\r\n\"SSTH3_LOD_BIAS\"=\"4\"\r\n" + key +
           "Forum\\Glide]\r\n\"FX_GLIDE_NO_SPLASH\"=\"1\"\r\n\"FX_GLIDE_BPP\"=\"16\"\r\n",
       {"Quake III", false, true}},
  };

  for (const auto& import : imports) {
    // Unrefused, a failed call either ends the import with nothing changed
    // or is one the import does not need: then it ends as a clean import.
    ASSERT_TRUE(Import(import.text, import.options)) << error;
    const std::vector<std::string> imported = Dump(reg, kProgram);
    plantWithSwitches();
    for (int kind = 0; kind < FakeRegistry::kCallKinds; ++kind) {
      for (const bool refused : {true, false}) {
        // The calls one import makes, counted; then each one fails.
        if (refused) reg.RefuseValueWrite("FX_GLIDE_BPP");
        reg.ResetCallCounts();
        EXPECT_EQ(Import(import.text, import.options), !refused);
        if (refused) {
          EXPECT_NE(error.find("Failed to set data for 'FX_GLIDE_BPP'; the profiles were left as "
                               "they were"),
                    std::string::npos)
              << error;
        }
        const int calls = reg.CallCount(static_cast<FakeRegistry::CallKind>(kind));
        for (int n = 1; n <= calls; ++n) {
          SCOPED_TRACE(std::string(import.name) + (refused ? ", refused" : "") + ": call " +
                       std::to_string(n) + " of kind " + std::to_string(kind) + " fails");
          plantWithSwitches();
          reg.ResetCallCounts();
          reg.FailCall(static_cast<FakeRegistry::CallKind>(kind), n);
          const bool done = Import(import.text, import.options);
          reg.ClearRefusals();
          if (refused) reg.RefuseValueWrite("FX_GLIDE_BPP");
          EXPECT_FALSE(done && refused);
          const std::vector<std::string> changed =
              ChangedItems(Dump(reg, kProgram), done ? imported : before);
          if (!changed.empty()) {
            EXPECT_NE(error.find("could not all be put back"), std::string::npos) << error;
            EXPECT_EQ(changed.size(), 1u) << changed[0] << " and more";
          }
          if (HasFailure()) return;
        }
        reg.ClearRefusals();
        plantWithSwitches();
      }
    }
  }
}

TEST_F(ProfileTransferTest, SettingsOnlyTakesTheGroupsIntoAnExistingProfile) {
  const std::string text =
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Forum]\r\n"
      "\"FilePath\"=\"D:\\\\q3\\\\quake3.exe\"\r\n\"Poll\"=dword:00000001\r\n"
      "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Forum\\d3d]\r\n\"SSTH3_LOD_BIAS\"=\"4\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Forum\\Glide]\r\n\"FX_GLIDE_BPP\"=\"16\"\r\n";
  ImportOptions only;
  only.settingsOnly = true;
  only.asName = "Quake III";
  // A switch that is on here but absent (off) in the file goes.
  reg.PutString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_SWAPINTERVAL", "0");
  ASSERT_TRUE(Import(text, only)) << error;
  EXPECT_FALSE(reg.Get(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_SWAPINTERVAL"));
  EXPECT_EQ(imported, std::vector<std::string>{"Quake III"});
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III") + "\\D3D", "SSTH3_LOD_BIAS"), "4");
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III") + "\\Glide", "FX_GLIDE_BPP"), "16");
  EXPECT_EQ(reg.GetString(kUser, Profile("Quake III"), "FilePath"), "C:\\Games\\Quake3\\quake3.exe");
  EXPECT_EQ(reg.GetDword(kUser, Profile("Quake III"), "Poll"), 5u);
  EXPECT_FALSE(reg.HasKey(kUser, Profile("Forum")));

  // Refused whole: a profile that does not exist, a file of two profiles.
  const std::vector<std::string> before = Dump(reg, "");
  only.asName = "Doom";
  EXPECT_FALSE(Import(text, only));
  EXPECT_EQ(error, "No profile named 'Doom'; nothing was written");
  only.asName = "Unreal";
  EXPECT_FALSE(Import(WriteRegedit4(Export({"Quake III", "Unreal"})), only));
  EXPECT_NE(error.find("one profile"), std::string::npos) << error;
  EXPECT_EQ(Dump(reg, ""), before);

  // A key another program deletes meanwhile takes a value the import wrote
  // over: it cannot be put back, and the error says so.
  only.asName = "Quake III";
  reg.RefuseValueWrite("FX_GLIDE_BPP");
  bool deleted = false;
  reg.SetChangeObserver([&] {
    if (!deleted) reg.RemoveKey(kUser, Profile("Quake III") + "\\D3D");
    deleted = true;
  });
  EXPECT_FALSE(Import(text, only));
  reg.SetChangeObserver(nullptr);
  EXPECT_NE(error.find("could not all be put back"), std::string::npos) << error;
}

}  // namespace
}  // namespace tw
