#include "driver/driver_plan.h"

#include "driver/text_escape.h"
#include "platform/ascii_case.h"

namespace tw {

bool IsPreviousValueName(const std::string& name) {
  return name.size() > kPrevPrefixLength &&
         AsciiLower(name.substr(0, kPrevPrefixLength)) == AsciiLower(kPrevPrefix);
}

const DriverWrite* FindWrite(const DriverPlan& plan, SettingKind kind, const std::string& name) {
  const std::string wanted = AsciiLower(name);
  for (const DriverWrite& write : plan) {
    if (write.kind == kind && AsciiLower(write.name) == wanted) return &write;
  }
  return nullptr;
}

DriverPlan KeepEarliest(const DriverPlan& earlier, const DriverPlan& later) {
  DriverPlan merged = earlier;
  for (const DriverWrite& write : later) {
    if (FindWrite(earlier, write.kind, write.name) == nullptr) merged.push_back(write);
  }
  return merged;
}

// A line is "<group> <op> <name>\t<text>": group "D" or "G", op "=" to set
// or "-" to delete.
std::string EncodePlan(const DriverPlan& plan) {
  std::string out;
  for (const DriverWrite& write : plan) {
    out += write.kind == SettingKind::Direct3D ? "D" : "G";
    out += write.remove ? " - " : " = ";
    out += EscapeText(write.name);
    out += '\t';
    if (!write.remove) out += EscapeText(write.text);
    out += '\n';
  }
  return out;
}

bool DecodePlan(const std::string& text, DriverPlan* plan) {
  DriverPlan out;
  for (const std::string& line : SplitLines(text)) {
    const std::string::size_type tab = line.find('\t');
    if (line.size() < 5 || tab == std::string::npos || line[1] != ' ' || line[3] != ' ') {
      return false;
    }
    if ((line[0] != 'D' && line[0] != 'G') || (line[2] != '=' && line[2] != '-')) return false;
    DriverWrite write;
    write.kind = line[0] == 'D' ? SettingKind::Direct3D : SettingKind::Glide;
    if (!UnescapeText(line.substr(4, tab - 4), &write.name) || write.name.empty()) return false;
    write.remove = line[2] == '-';
    if (!write.remove && !UnescapeText(line.substr(tab + 1), &write.text)) return false;
    out.push_back(write);
  }
  *plan = std::move(out);
  return true;
}

}  // namespace tw
