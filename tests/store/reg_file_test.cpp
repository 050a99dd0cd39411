#include "store/reg_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_console.h"

namespace tw {
namespace {

RawValue Sz(const std::string& text) { return RawValue{reg_type::kString, text + '\0'}; }
RawValue Dword(uint32_t n) {
  std::string b;
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  return RawValue{reg_type::kDword, b};
}

RegFileParse Parse(const std::string& text) { return ParseRegFile(text, FakeAnsiConverter()); }

TEST(RegFileParse, ReadsEveryValueFormAcrossCommentsBlanksAndContinuations) {
  const RegFileParse parsed = Parse(
      "REGEDIT4\r\n"
      "\r\n"
      "; shared on a forum\r\n"
      "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Quake III]\r\n"
      "\"FilePath\"=\"C:\\\\Games\\\\Quake III\\\\quake3.exe\"\r\n"
      "\"Parameters\"=\"+set name \\\"Doom\\\"\"   ; trailing comment\r\n"
      "\"Poll\"=dword:0000000A\r\n"
      "; a comment is never continued \\\r\n"
      "@=\"default\"\r\n"
      "\"Blob\"=hex:01,02,\\\r\n"
      "  ff\r\n"
      "\"Expand\"=hex(2):41,42,00\r\n"
      "\"Gone\"=-\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Old]\r\n");
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.file.keys.size(), 2u);
  const RegFileKey& key = parsed.file.keys[0];
  EXPECT_EQ(key.path, "HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Quake III");
  ASSERT_EQ(key.values.size(), 7u);
  EXPECT_EQ(key.values[0].value.bytes, Sz("C:\\Games\\Quake III\\quake3.exe").bytes);
  EXPECT_EQ(key.values[1].value.bytes, Sz("+set name \"Doom\"").bytes);
  EXPECT_EQ(key.values[2].value.bytes, Dword(10).bytes);
  EXPECT_EQ(key.values[2].value.type, reg_type::kDword);
  EXPECT_EQ(key.values[3].name, "");
  EXPECT_EQ(key.values[4].value.type, reg_type::kBinary);
  EXPECT_EQ(key.values[4].value.bytes, std::string("\x01\x02\xff"));
  EXPECT_EQ(key.values[5].value.type, reg_type::kExpandString);
  EXPECT_EQ(key.values[5].value.bytes, std::string("AB\0", 3));
  EXPECT_TRUE(key.values[6].remove);
  EXPECT_TRUE(parsed.file.keys[1].remove);
  EXPECT_EQ(parsed.file.keys[1].path, "HKEY_CURRENT_USER\\Software\\Old");
}

TEST(RegFileParse, HandWrittenBackslashThatIsNoEscapeStays) {
  const RegFileParse parsed = Parse("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"Directory\"=\"C:\\Games\"\n");
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.file.keys[0].values[0].value.bytes, Sz("C:\\Games").bytes);
}

TEST(RegFileParse, Version5InUtf16OrUtf8WithStringDataInUtf16) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
      "\"Name\"=\"Caf\xe9\"\r\n\"Multi\"=hex(7):41,00,00,00,00,00\r\n";
  std::string utf16 = "\xff\xfe", utf8 = "\xef\xbb\xbf";  // regedit's and Notepad's
  for (char c : text) {
    utf16 += std::string{c, '\0'};
    utf8 += c == '\xe9' ? std::string("\xc3\xa9") : std::string(1, c);
  }
  for (const std::string& bytes : {utf16, utf8}) {
    const RegFileParse parsed = Parse(bytes);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.file.format, RegFileFormat::Version5);
    EXPECT_EQ(parsed.file.keys[0].values[0].value.bytes, Sz("Caf\xe9").bytes);
    EXPECT_EQ(parsed.file.keys[0].values[1].value.bytes, std::string("A\0\0", 3));
  }
}

// Notepad's UTF-8 in a name and a text: two- and three-byte sequences
// become the system's code page (1252 here); a character it lacks, and
// anything that is not well-formed UTF-8, refuse the whole file.
TEST(RegFileParse, Utf8SequencesBecomeTheCodePageOrRefuseTheFile) {
  const struct {
    const char* utf8;
    const char* ansi;   // nullptr: refused
    const char* error;  // the refusal's start
  } cases[] = {
      {"Caf\xc3\xa9", "Caf\xe9", ""},
      {"\xe2\x82\xac 5", "\x80 5", ""},                      // euro sign
      {"Thief \xe2\x80\x93 Gold", "Thief \x96 Gold", ""},    // en dash
      {"Baldur\xe2\x80\x99s Gate", "Baldur\x92s Gate", ""},  // right quote
      {"\xef\xbc\xa1", nullptr,
       "the file has characters the system's code page lacks, on line 2: [HKEY_CURRENT_USER\\?]"},
      {"\xf0\x9f\x8e\xae", nullptr, "the file has characters the system's code page lacks"},
      {"\xe0\x82\xac", nullptr, "the file is marked as UTF-8 but is not"},  // overlong
      {"\xed\xa0\x80", nullptr, "the file is marked as UTF-8 but is not"},  // a surrogate
      {"\xe2\x82", nullptr, "the file is marked as UTF-8 but is not"},      // cut short
      {"\xe2\x28\xac", nullptr, "the file is marked as UTF-8 but is not"},  // no continuation
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    const RegFileParse parsed = Parse(std::string("\xef\xbb\xbfREGEDIT4\r\n[HKEY_CURRENT_USER\\") +
                                      c.utf8 + "]\r\n\"Name\"=\"" + c.utf8 + "\"\r\n");
    if (c.ansi == nullptr) {
      EXPECT_FALSE(parsed.ok);
      EXPECT_EQ(parsed.error.compare(0, std::string(c.error).size(), c.error), 0) << parsed.error;
      continue;
    }
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.file.keys[0].path, std::string("HKEY_CURRENT_USER\\") + c.ansi);
    EXPECT_EQ(parsed.file.keys[0].values[0].value.bytes, Sz(c.ansi).bytes);
  }
}

TEST(RegFileParse, RefusesWhatItCannotReadNamingTheLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n", "line 1: not a registry file"},
      {"", "line 1: not a registry file"},
      {"REGEDIT4\r\n\"x\"=\"1\"\r\n", "line 2: a value comes before any key"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"open\r\n", "line 3: a quoted text"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:123456789\r\n", "line 3: dword:"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:1,2\r\n", "line 3: hex data"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=42\r\n", "line 3: the value is not"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A\r\n", "line 2: a key line must end"},
      {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\nx=1\r\n", "line 3: cannot read this line"},
      {"\xef\xbb\xbfREGEDIT4\r\n[HKEY_CURRENT_USER\\\xe9]\r\n", "the file is marked as UTF-8"},
  };
  for (const auto& c : cases) {
    const RegFileParse parsed = Parse(c.text);
    EXPECT_FALSE(parsed.ok) << c.text;
    EXPECT_EQ(parsed.error.compare(0, std::string(c.error).size(), c.error), 0)
        << c.text << " gave: " << parsed.error;
    EXPECT_TRUE(parsed.file.keys.empty());
  }
}

TEST(RegFileWrite, Regedit4WithCrlfEscapesAndHexForWhatQuotesCannotCarry) {
  RegFile file;
  RegFileKey key;
  key.path = "HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Doom";
  key.values.push_back({"FilePath", false, Sz("C:\\Doom\\\"d\".exe"), 0});
  key.values.push_back({"Poll", false, Dword(10), 0});
  key.values.push_back({"NoNul", false, RawValue{reg_type::kString, "ab"}, 0});
  file.keys.push_back(key);
  EXPECT_EQ(WriteRegedit4(file),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\Doom]\r\n"
            "\"FilePath\"=\"C:\\\\Doom\\\\\\\"d\\\".exe\"\r\n"
            "\"Poll\"=dword:0000000a\r\n"
            "\"NoNul\"=hex(1):61,62\r\n"
            "\r\n");
}

TEST(RegFileWrite, ParsingWhatWasWrittenGivesTheSameValues) {
  RegFile file;
  RegFileKey key;
  key.path = "HKEY_CURRENT_USER\\K";
  key.values.push_back({"Text", false, Sz("a \"quoted\" \\ path"), 0});
  key.values.push_back({"", false, Sz(""), 0});
  key.values.push_back({"Long", false, RawValue{reg_type::kBinary, std::string(100, '\x5a')}, 0});
  key.values.push_back({"Lines", false, Sz("one\r\ntwo"), 0});
  key.values.push_back({"Odd", false, RawValue{0x20, "xyz"}, 0});
  file.keys.push_back(key);
  const std::string text = WriteRegedit4(file);
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 80u) << "hex lines stay short enough for an editor";
  }
  const RegFileParse parsed = Parse(text);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.file.keys.size(), 1u);
  ASSERT_EQ(parsed.file.keys[0].values.size(), key.values.size());
  for (size_t i = 0; i < key.values.size(); ++i) {
    EXPECT_EQ(parsed.file.keys[0].values[i].name, key.values[i].name);
    EXPECT_EQ(parsed.file.keys[0].values[i].value.type, key.values[i].value.type);
    EXPECT_EQ(parsed.file.keys[0].values[i].value.bytes, key.values[i].value.bytes);
  }
}

}  // namespace
}  // namespace tw
