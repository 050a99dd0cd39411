// The writes one driver operation makes, worked out before any is made. A
// plan sets each value to a fixed text or deletes it, so carrying it out a
// second time changes nothing: a restore interrupted half-way can be
// finished later without swapping anything twice.
#pragma once

#include <string>
#include <vector>

#include "store/setting_catalogue.h"

namespace tw {

struct DriverWrite {
  SettingKind kind = SettingKind::Direct3D;  // the driver subkey: D3D or Glide
  std::string name;
  bool remove = false;  // delete the value; else set it to `text`
  std::string text;
  bool operator==(const DriverWrite& o) const {
    return kind == o.kind && name == o.name && remove == o.remove && text == o.text;
  }
};

using DriverPlan = std::vector<DriverWrite>;

constexpr std::string::size_type kPrevPrefixLength = 5;  // "Prev "

// Whether a value name is a setting's "Prev " record (registry names ignore
// letter case).
bool IsPreviousValueName(const std::string& name);
// The first write of `plan` to the value `name` of a group; nullptr if none.
const DriverWrite* FindWrite(const DriverPlan& plan, SettingKind kind, const std::string& name);
// `earlier` with the writes of `later` to values `earlier` does not name:
// the state before a first run stays what a second run's restore gives back.
DriverPlan KeepEarliest(const DriverPlan& earlier, const DriverPlan& later);

// One line per write, texts escaped, for keeping a plan in the registry.
std::string EncodePlan(const DriverPlan& plan);
// False when the text is not a plan EncodePlan wrote.
bool DecodePlan(const std::string& text, DriverPlan* plan);

}  // namespace tw
