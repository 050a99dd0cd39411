#include "harness/reg_file.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {

struct RootName {
  const char* name;
  HKEY root;
};
const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_USERS", HKEY_USERS},
};

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error(".reg line " + std::to_string(line) + ": " + what);
}

void SplitKey(const std::string& full, int line, HKEY* root, std::string* path) {
  const std::string rootName = full.substr(0, full.find('\\'));
  for (const RootName& r : kRoots) {
    if (_stricmp(rootName.c_str(), r.name) == 0) {
      *root = r.root;
      *path = full.size() > rootName.size() ? full.substr(rootName.size() + 1) : std::string();
      while (!path->empty() && path->back() == '\\') path->pop_back();
      return;
    }
  }
  Fail(line, "unknown root key '" + rootName + "'");
}

// Reads a quoted text starting at text[*pos] == '"'; leaves *pos after the
// closing quote.
std::string ReadQuoted(const std::string& text, size_t* pos, int line) {
  std::string out;
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i];
    } else if (text[i] == '"') {
      *pos = i + 1;
      return out;
    } else {
      out += text[i];
    }
  }
  Fail(line, "unterminated quoted text");
}

std::string ParseHexBytes(const std::string& list, int line) {
  std::string bytes;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    item = Trim(item);
    if (item.empty()) continue;
    char* end = nullptr;
    const unsigned long byte = std::strtoul(item.c_str(), &end, 16);
    if (*end != '\0' || byte > 0xFF) Fail(line, "bad hex byte '" + item + "'");
    bytes += static_cast<char>(byte);
  }
  return bytes;
}

Value ParseData(const std::string& data, int line) {
  if (!data.empty() && data[0] == '"') {
    size_t pos = 0;
    const std::string text = ReadQuoted(data, &pos, line);
    if (!Trim(data.substr(pos)).empty()) Fail(line, "text after the closing quote");
    return StringValue(text);
  }
  if (data.compare(0, 6, "dword:") == 0) {
    char* end = nullptr;
    const unsigned long number = std::strtoul(data.c_str() + 6, &end, 16);
    if (data.size() != 6 + 8 || *end != '\0') Fail(line, "dword: needs 8 hex digits");
    return DwordValue(number);
  }
  if (data.compare(0, 4, "hex:") == 0) return Value{REG_BINARY, ParseHexBytes(data.substr(4), line)};
  if (data.compare(0, 4, "hex(") == 0) {
    const size_t close = data.find("):");
    if (close == std::string::npos) Fail(line, "bad hex(N): value");
    const DWORD type = std::strtoul(data.c_str() + 4, nullptr, 16);
    return Value{type, ParseHexBytes(data.substr(close + 2), line)};
  }
  Fail(line, "unknown value data '" + data + "'");
}

}  // namespace

std::vector<RegFileStep> ParseRegFile(const std::string& text) {
  std::vector<RegFileStep> steps;
  std::stringstream in(text);
  std::string raw;
  int lineNumber = 0;
  bool headerSeen = false;
  bool inKey = false;
  HKEY root = nullptr;
  std::string path;

  while (std::getline(in, raw)) {
    ++lineNumber;
    const int startLine = lineNumber;
    std::string line = Trim(raw);
    // Continued hex lists.
    while (!line.empty() && line.back() == '\\' && line[0] != '[' && std::getline(in, raw)) {
      ++lineNumber;
      line.pop_back();
      line += Trim(raw);
    }
    if (line.empty() || line[0] == ';') continue;
    if (!headerSeen) {
      if (line != "REGEDIT4" && line != "Windows Registry Editor Version 5.00") {
        Fail(startLine, "missing REGEDIT4 header");
      }
      headerSeen = true;
      continue;
    }
    if (line[0] == '[') {
      if (line.back() != ']') Fail(startLine, "unterminated key name");
      const bool remove = line.size() > 1 && line[1] == '-';
      SplitKey(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)), startLine, &root, &path);
      RegFileStep step;
      step.kind = remove ? RegFileStep::Kind::DeleteTree : RegFileStep::Kind::CreateKey;
      step.root = root;
      step.path = path;
      steps.push_back(step);
      inKey = !remove;
      continue;
    }
    if (!inKey) Fail(startLine, "value outside a key");

    RegFileStep step;
    step.root = root;
    step.path = path;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      step.name = ReadQuoted(line, &pos, startLine);
    } else {
      Fail(startLine, "expected a value name");
    }
    const size_t equals = line.find_first_not_of(" \t", pos);
    if (equals == std::string::npos || line[equals] != '=') Fail(startLine, "expected '='");
    const std::string data = Trim(line.substr(equals + 1));
    if (data == "-") {
      step.kind = RegFileStep::Kind::DeleteValue;
    } else {
      step.kind = RegFileStep::Kind::SetValue;
      step.value = ParseData(data, startLine);
    }
    steps.push_back(step);
  }
  if (!headerSeen) Fail(lineNumber, "empty file");
  return steps;
}

void ApplyRegFile(const std::vector<RegFileStep>& steps) {
  for (const RegFileStep& step : steps) {
    switch (step.kind) {
      case RegFileStep::Kind::CreateKey:
        CreateKey(step.root, step.path);
        break;
      case RegFileStep::Kind::DeleteTree:
        DeleteTree(step.root, step.path);
        break;
      case RegFileStep::Kind::SetValue:
        WriteValue(step.root, step.path, step.name, step.value);
        break;
      case RegFileStep::Kind::DeleteValue:
        DeleteValue(step.root, step.path, step.name);
        break;
    }
  }
}

void PlantRegFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::stringstream text;
  text << file.rdbuf();
  ApplyRegFile(ParseRegFile(text.str()));
}

}  // namespace e2e
