#include "store/reg_file.h"

#include <cstdint>
#include <utility>

#include "platform/ansi_text.h"

namespace tw {

namespace {

constexpr char kRegedit4Header[] = "REGEDIT4";
constexpr char kVersion5Header[] = "Windows Registry Editor Version 5.00";
constexpr std::string::size_type kHexLineWidth = 76;

struct ParseError {
  int line;
  std::string message;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimRight(const std::string& text) {
  std::string::size_type end = text.size();
  while (end > 0 && (IsBlank(text[end - 1]) || text[end - 1] == '\r')) --end;
  return text.substr(0, end);
}

std::string TrimLeft(const std::string& text) {
  std::string::size_type start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return text.substr(start);
}

// Only blanks or a comment may follow a complete value or key.
bool OnlyCommentFrom(const std::string& text, std::string::size_type pos) {
  const std::string rest = TrimLeft(text.substr(pos < text.size() ? pos : text.size()));
  return rest.empty() || rest[0] == ';';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(const std::string& text, std::string::size_type pos, const char* prefix) {
  for (std::string::size_type i = 0; prefix[i] != '\0'; ++i) {
    if (pos + i >= text.size()) return false;
    char a = text[pos + i], b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// Bytes that follow a UTF-8 lead byte; -1 for a byte that cannot lead.
int Utf8Trailing(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead < 0xE0) return 1;
  if (lead >= 0xE0 && lead < 0xF0) return 2;
  if (lead >= 0xF0 && lead < 0xF5) return 3;
  return -1;
}

// UTF-8 into UTF-16; false on a malformed, overlong or cut sequence.
bool Utf8ToUtf16(const std::string& bytes, std::u16string* wide) {
  for (std::string::size_type i = 0; i < bytes.size();) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    const int extra = Utf8Trailing(lead);
    if (extra < 0 || bytes.size() - i <= static_cast<std::string::size_type>(extra)) return false;
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
    if (code >= 0x10000) {
      wide->push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      wide->push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      wide->push_back(static_cast<char16_t>(code));
    }
    i += static_cast<std::string::size_type>(extra) + 1;
  }
  return true;
}

// The file as ANSI text: UTF-16LE (with its mark, as regedit writes it) and
// UTF-8 (with its mark, as Notepad saves it) go through the converter;
// anything else is taken as it is. Empty when it can be read, else why not.
std::string DecodeText(const std::string& bytes, const AnsiConverter& converter,
                       std::string* text) {
  constexpr const char* kNoAnsi = "the file has characters the system's code page lacks";
  std::u16string wide;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (std::string::size_type i = 2; i + 1 < bytes.size(); i += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
  } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    if (!Utf8ToUtf16(bytes.substr(3), &wide)) return "the file is marked as UTF-8 but is not";
  } else {
    *text = bytes;
    return std::string();
  }
  if (converter.ToAnsi(wide, text)) return std::string();
  // Named by its first line the code page cannot write, so the user can find it.
  std::u16string::size_type start = 0;
  for (int lineNo = 1;; ++lineNo) {
    std::u16string::size_type end = wide.find(u'\n', start);
    if (end == std::u16string::npos) end = wide.size();
    std::string line;
    if (!converter.ToAnsi(wide.substr(start, end - start), &line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return std::string(kNoAnsi) + ", on line " + std::to_string(lineNo) + ": " + line;
    }
    if (end == wide.size()) return kNoAnsi;
    start = end + 1;
  }
}

// A quoted text starting at `pos` (on the opening quote). Only \\ and \" are
// escapes; any other backslash stays, as in "C:\Games" written by hand. The
// second byte of a character is never an escape or the closing quote.
std::string ReadQuoted(const std::string& line, std::string::size_type& pos, int lineNo) {
  std::string out;
  ++pos;
  while (pos < line.size()) {
    const char c = line[pos];
    if (NextChar(line, pos) == pos + 2) {
      out.append(line, pos, 2);
      pos += 2;
      continue;
    }
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '\\' || line[pos + 1] == '"')) {
      out.push_back(line[pos + 1]);
      pos += 2;
      continue;
    }
    out.push_back(c);
    ++pos;
  }
  throw ParseError{lineNo, "a quoted text has no closing quote"};
}

std::string ReadHexBytes(const std::string& text, int lineNo) {
  std::string bytes;
  std::string::size_type pos = 0;
  for (;;) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] == ';') break;
    if (pos + 1 >= text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0) {
      throw ParseError{lineNo, "hex data must be two-digit bytes separated by commas"};
    }
    bytes.push_back(static_cast<char>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1])));
    pos += 2;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
    } else if (!OnlyCommentFrom(text, pos)) {
      throw ParseError{lineNo, "hex data must be two-digit bytes separated by commas"};
    }
  }
  return bytes;
}

bool IsStringType(uint32_t type) {
  return type == reg_type::kString || type == reg_type::kExpandString || type == 7;  // REG_MULTI_SZ
}

// String data of a version 5 file is UTF-16; the program keeps ANSI.
std::string Utf16BytesToAnsi(const std::string& bytes, const AnsiConverter& converter, int lineNo) {
  std::u16string wide;
  for (std::string::size_type i = 0; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  std::string ansi;
  if (!converter.ToAnsi(wide, &ansi)) {
    throw ParseError{lineNo, "a text has characters the system's code page lacks"};
  }
  return ansi;
}

RawValue ReadData(const std::string& line, std::string::size_type pos, RegFileFormat format,
                  const AnsiConverter& converter, int lineNo, bool* remove) {
  RawValue value;
  *remove = false;
  if (pos < line.size() && line[pos] == '"') {
    value.type = reg_type::kString;
    value.bytes = ReadQuoted(line, pos, lineNo);
    value.bytes.push_back('\0');
    if (!OnlyCommentFrom(line, pos)) throw ParseError{lineNo, "unexpected text after the value"};
    return value;
  }
  if (pos < line.size() && line[pos] == '-') {
    if (!OnlyCommentFrom(line, pos + 1)) throw ParseError{lineNo, "unexpected text after '-'"};
    *remove = true;
    return value;
  }
  if (StartsWithNoCase(line, pos, "dword:")) {
    pos += 6;
    uint32_t number = 0;
    int digits = 0;
    for (; pos < line.size() && HexDigit(line[pos]) >= 0; ++pos, ++digits) {
      number = number * 16 + static_cast<uint32_t>(HexDigit(line[pos]));
    }
    if (digits == 0 || digits > 8 || !OnlyCommentFrom(line, pos)) {
      throw ParseError{lineNo, "dword: must be followed by one to eight hex digits"};
    }
    value.type = reg_type::kDword;
    for (int i = 0; i < 4; ++i) value.bytes.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
    return value;
  }
  if (StartsWithNoCase(line, pos, "hex")) {
    pos += 3;
    value.type = reg_type::kBinary;
    if (pos < line.size() && line[pos] == '(') {
      const std::string::size_type close = line.find(')', pos);
      if (close == std::string::npos || close == pos + 1 || close - pos - 1 > 8) {
        throw ParseError{lineNo, "hex(N): needs a hex type number"};
      }
      uint32_t type = 0;
      for (std::string::size_type i = pos + 1; i < close; ++i) {
        if (HexDigit(line[i]) < 0) throw ParseError{lineNo, "hex(N): needs a hex type number"};
        type = type * 16 + static_cast<uint32_t>(HexDigit(line[i]));
      }
      value.type = type;
      pos = close + 1;
    }
    if (pos >= line.size() || line[pos] != ':') throw ParseError{lineNo, "hex data needs a ':'"};
    value.bytes = ReadHexBytes(line.substr(pos + 1), lineNo);
    if (format == RegFileFormat::Version5 && IsStringType(value.type)) {
      value.bytes = Utf16BytesToAnsi(value.bytes, converter, lineNo);
    }
    return value;
  }
  throw ParseError{lineNo, "the value is not a quoted text, dword:, hex: or -"};
}

RegFileValue ReadValueLine(const std::string& line, RegFileFormat format,
                           const AnsiConverter& converter, int lineNo) {
  RegFileValue value;
  value.line = lineNo;
  std::string::size_type pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else {
    value.name = ReadQuoted(line, pos, lineNo);
  }
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size() || line[pos] != '=') throw ParseError{lineNo, "a value needs '='"};
  ++pos;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  value.value = ReadData(line, pos, format, converter, lineNo, &value.remove);
  return value;
}

RegFileKey ReadKeyLine(const std::string& line, int lineNo) {
  const std::string::size_type close = FindLastChar(line, "]");
  if (close == std::string::npos || !OnlyCommentFrom(line, close + 1)) {
    throw ParseError{lineNo, "a key line must end with ']'"};
  }
  RegFileKey key;
  key.line = lineNo;
  std::string path = line.substr(1, close - 1);
  if (!path.empty() && path[0] == '-') {
    key.remove = true;
    path.erase(0, 1);
  }
  if (path.empty()) throw ParseError{lineNo, "a key line names no key"};
  key.path = path;
  return key;
}

// Physical lines joined where a line ends in a backslash, each with the
// number of the line it started on. Comment lines are never joined.
std::vector<std::pair<int, std::string>> LogicalLines(const std::string& text) {
  std::vector<std::pair<int, std::string>> lines;
  std::string::size_type start = 0;
  int lineNo = 0;
  bool continuing = false;
  while (start <= text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++lineNo;
    std::string line = TrimRight(text.substr(start, end - start));
    start = end + 1;
    if (continuing) {
      line = TrimLeft(line);
      lines.back().second += line;
    } else {
      lines.emplace_back(lineNo, line);
    }
    std::string& current = lines.back().second;
    const std::string head = TrimLeft(current);
    continuing = !head.empty() && head[0] != ';' && head[0] != '[' && EndsWithChar(current, '\\');
    if (continuing) current.pop_back();
    if (end == text.size()) break;
  }
  return lines;
}

// A text in quotes, with backslashes and quotes escaped: those characters,
// not the second bytes of others.
std::string QuoteText(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0, next; i < text.size(); i = next) {
    next = NextChar(text, i);
    if (text[i] == '\\' || text[i] == '"') out.push_back('\\');
    out.append(text, i, next - i);
  }
  out.push_back('"');
  return out;
}

// A string a quoted form carries unchanged: one terminating NUL, none
// inside, no line breaks.
bool QuotableString(const RawValue& value) {
  if (value.type != reg_type::kString || value.bytes.empty() || value.bytes.back() != '\0') {
    return false;
  }
  const std::string text = value.bytes.substr(0, value.bytes.size() - 1);
  return text.find_first_of(std::string("\0\r\n", 3)) == std::string::npos;
}

std::string HexData(const RawValue& value, std::string::size_type column) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::string::size_type i = 0; i < value.bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(value.bytes[i]);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
    column += 2;
    if (i + 1 < value.bytes.size()) {
      out.push_back(',');
      ++column;
      if (column >= kHexLineWidth) {
        out += "\\\r\n  ";
        column = 2;
      }
    }
  }
  return out;
}

std::string ValueLine(const RegFileValue& value) {
  std::string line = value.name.empty() ? std::string("@") : QuoteText(value.name);
  line.push_back('=');
  if (value.remove) return line + "-";
  const RawValue& raw = value.value;
  if (QuotableString(raw)) return line + QuoteText(raw.bytes.substr(0, raw.bytes.size() - 1));
  if (raw.type == reg_type::kDword && raw.bytes.size() == 4) {
    static const char kDigits[] = "0123456789abcdef";
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
      number = (number << 8) | static_cast<unsigned char>(raw.bytes[static_cast<size_t>(i)]);
    }
    line += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) line.push_back(kDigits[(number >> shift) & 15]);
    return line;
  }
  if (raw.type == reg_type::kBinary) {
    line += "hex:";
  } else {
    static const char kDigits[] = "0123456789abcdef";
    std::string type;
    uint32_t t = raw.type;
    do {
      type.insert(type.begin(), kDigits[t & 15]);
      t >>= 4;
    } while (t != 0);
    line += "hex(" + type + "):";
  }
  return line + HexData(raw, line.size());
}

}  // namespace

RegFileParse ParseRegFile(const std::string& bytes, const AnsiConverter& converter) {
  RegFileParse result;
  std::string text;
  result.error = DecodeText(bytes, converter, &text);
  if (!result.error.empty()) return result;
  try {
    bool haveHeader = false;
    for (const auto& entry : LogicalLines(text)) {
      const int lineNo = entry.first;
      const std::string line = TrimLeft(entry.second);
      if (line.empty()) continue;
      if (!haveHeader) {
        if (line == kRegedit4Header) {
          result.file.format = RegFileFormat::Regedit4;
        } else if (line == kVersion5Header) {
          result.file.format = RegFileFormat::Version5;
        } else {
          throw ParseError{lineNo, std::string("not a registry file: it must begin with ") +
                                       kRegedit4Header + " or \"" + kVersion5Header + "\""};
        }
        haveHeader = true;
        continue;
      }
      if (line[0] == ';') continue;
      if (line[0] == '[') {
        result.file.keys.push_back(ReadKeyLine(line, lineNo));
        continue;
      }
      if (line[0] != '"' && line[0] != '@') throw ParseError{lineNo, "cannot read this line"};
      if (result.file.keys.empty()) throw ParseError{lineNo, "a value comes before any key"};
      RegFileKey& key = result.file.keys.back();
      if (key.remove) throw ParseError{lineNo, "a value under a key that is deleted"};
      key.values.push_back(ReadValueLine(line, result.file.format, converter, lineNo));
    }
    if (!haveHeader) {
      throw ParseError{1, std::string("not a registry file: it must begin with ") +
                              kRegedit4Header + " or \"" + kVersion5Header + "\""};
    }
  } catch (const ParseError& error) {
    result.file = RegFile();
    result.error = "line " + std::to_string(error.line) + ": " + error.message;
    return result;
  }
  result.ok = true;
  return result;
}

std::string WriteRegedit4(const RegFile& file) {
  std::string out = std::string(kRegedit4Header) + "\r\n\r\n";
  for (const RegFileKey& key : file.keys) {
    out += "[" + std::string(key.remove ? "-" : "") + key.path + "]\r\n";
    for (const RegFileValue& value : key.values) out += ValueLine(value) + "\r\n";
    out += "\r\n";
  }
  return out;
}

}  // namespace tw
