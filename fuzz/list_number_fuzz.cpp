// Stored list texts: the strict decimal reading against a plain model, and
// every list setting's lookup staying inside its list.
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_input.h"
#include "store/setting_catalogue.h"

namespace {

// Optional sign, then digits only, within 32 bits.
std::optional<int32_t> ModelDecimal(const std::string& text) {
  size_t pos = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    pos = 1;
  }
  if (pos == text.size()) return std::nullopt;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
    value = value * 10 + (text[pos] - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

const tw::SettingCatalogue& Catalogue(int model) {
  static tw::SettingCatalogue catalogues[4];
  static bool filled = false;
  if (!filled) {
    catalogues[1].FillFsaaLists(4500);
    catalogues[2].FillFsaaLists(5500);
    catalogues[3].FillFsaaLists(6000);
    filled = true;
  }
  return catalogues[model];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tw::fuzz::Require;
  tw::fuzz::FuzzInput input(data, size);
  const int model = static_cast<int>(input.Below(4));
  const std::string text(reinterpret_cast<const char*>(data), size);

  const std::optional<int32_t> parsed = tw::ParseDecimal(text);
  Require(parsed == ModelDecimal(text), "decimal reading agrees with the model");
  if (parsed) {
    Require(tw::ParseDecimal(std::to_string(*parsed)) == parsed, "a number reads back as itself");
  }

  const tw::SettingCatalogue& catalogue = Catalogue(model);
  for (tw::SettingKind kind : {tw::SettingKind::Direct3D, tw::SettingKind::Glide}) {
    for (int n : tw::SettingCatalogue::ListSettings(kind)) {
      const int count = catalogue.ChoiceCount(kind, n);
      const int choice = catalogue.ChoiceForText(kind, n, text);
      if (count == 0) {
        Require(choice == -1, "an empty list has no choice");
        continue;
      }
      Require(choice >= 0 && choice < count, "the choice lies in the list");
      if (parsed && catalogue.FindChoice(kind, n, *parsed) != catalogue.DefaultChoice(kind, n)) {
        Require(catalogue.ChoiceNumber(kind, n, choice) == *parsed, "a listed number is its choice");
      }
    }
  }
  return 0;
}
