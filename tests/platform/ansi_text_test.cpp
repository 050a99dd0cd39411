// Names and paths in the double-byte code pages, where the second byte of a
// character can be '\', '|' or a letter, against the same bytes in 1252.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <cctype>

#include "editor/file_names.h"
#include "platform/fake/fake_console.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_text_compare.h"
#include "shell/tray_tip.h"
#include "store/profile_store.h"
#include "store/profile_transfer.h"

namespace tw {
namespace {

struct CodePageScope {
  explicit CodePageScope(unsigned number) { SetSystemCodePage(KnownCodePage(number)); }
  ~CodePageScope() { SetSystemCodePage(KnownCodePage(1252)); }
};

TEST(AnsiText, NamesAndPathsKeepTheirCharactersWhole) {
  const struct {
    unsigned codePage;
    const char* name;
    bool keyName;   // a profile's registry key
    bool fileName;  // a shortcut's file
  } rows[] = {
      {932, "\x95\x5c\x8e\xa6\x83\x65\x83\x58\x83\x67", true, true},  // "表示テスト": 0x5C second
      {932, "\x83\x5c\x83\x74\x83\x67\x95\x5c", true, true},          // "ソフト表": ends in 0x5C
      {932, "\x83\x7c\x81\x5b\x83\x67", true, true},                  // "ポート": 0x7C second
      {949, "\x81\x61\x81\x7a", true, true},                          // letters second
      {950, "\xb3\x5c\xa5\x5c", true, true},  // "許功"
      {1252, "\x95\x5c\x8e\xa6\x83\x65\x83\x58\x83\x67", false, false},  // a backslash
      {1252, "\x83\x7c\x81\x5b\x83\x67", true, false},                   // a bar
  };
  for (const auto& row : rows) {
    const CodePageScope scope(row.codePage);
    const std::string name = row.name;
    SCOPED_TRACE(std::to_string(row.codePage) + " " + name);
    EXPECT_EQ(IsValidProfileName(name), row.keyName);
    EXPECT_EQ(IsSafeFileName(name), row.fileName);
    // A long name in the tray tip is cut after whole characters: after the
    // "x", a double-byte name leaves an odd length; 1252 cuts at the room.
    std::string longName = "x";
    for (int i = 0; i < 12; ++i) longName += name;
    const size_t cut = TrayTip(longName).size() - std::string("Tarnwick - ... is running").size();
    EXPECT_EQ(row.codePage == 1252 ? cut == 38 : cut % 2 == 1, true) << cut;

    if (!row.keyName) continue;
    const std::string folder = "C:\\" + name + "\\", file = folder + name + ".exe";
    EXPECT_EQ(PathFolder(file), folder);
    EXPECT_EQ(PathFileName(file), name + ".exe");
    // Stored beside its twin whose second bytes differ in case (another name
    // where those are no letters), exported as REGEDIT4 and imported again.
    FakeRegistry reg;
    RegistryHandle program(reg, RootKey::CurrentUser);
    std::string twin = name;
    for (char& c : twin) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& profile : {name, twin}) {
      ScopedKey key(program, ProfileGroupPath(profile, "D3D"), true);
      program.WriteString(name, folder);
    }
    const bool twinApart = row.codePage != 1252 && twin != name;
    EXPECT_EQ(reg.SubkeyNames(RootKey::CurrentUser, "Software\\Hexmoor\\Tarnwick").size(),
              twinApart ? 2u : 1u);
    EXPECT_EQ(FakeTextCompare().CompareNoCase(name, twin) != 0, twinApart);

    RegFile out;
    std::string error;
    ASSERT_TRUE(ExportProfiles(program, {name}, FakeTextCompare(), &out, &error)) << error;
    const std::string text = WriteRegedit4(out);
    const std::string written = name + "\\D3D]\r\n\"" + name + "\"=\"C:\\\\" + name + "\\\\\"";
    EXPECT_NE(text.find("\\Tarnwick\\" + written), std::string::npos) << text;
    reg.RemoveKey(RootKey::CurrentUser, "Software");
    const RegFile in = ParseRegFile(text, FakeAnsiConverter()).file;
    std::vector<std::string> imported;
    ASSERT_TRUE(ImportProfiles(program, in, {}, &imported, &error)) << error;
    EXPECT_EQ(imported, std::vector<std::string>{name});
    ScopedKey key(program, ProfileGroupPath(name, "D3D"), false);
    EXPECT_EQ(program.ReadString(name), folder);
  }
}

}  // namespace
}  // namespace tw
