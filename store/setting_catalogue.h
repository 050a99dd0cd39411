// The fixed description of every driver setting the program reads, stores and
// writes: 11 Direct3D and 19 Glide settings, numbered from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

enum class SettingKind { Direct3D = 0, Glide = 1 };
enum class SettingClass { List, Gamma, Switch };

struct Choice {
  const char* caption;  // the catalogue's own text, which lives as long as the program
  int32_t number;
};

struct SettingRef {
  SettingKind kind;
  int number;
  bool operator==(const SettingRef& o) const { return kind == o.kind && number == o.number; }
};

// A fixed run of setting numbers, for loops and indexing; the numbers live
// in static tables, so handing them out allocates nothing.
struct SettingNumbers {
  const uint8_t* first;
  size_t count;
  const uint8_t* begin() const { return first; }
  const uint8_t* end() const { return first + count; }
  size_t size() const { return count; }
  int operator[](size_t i) const { return first[i]; }
};

struct SettingInfo {
  std::string valueName;
  std::string control;       // editor control bound to it
  std::string gammaLabel;    // label beside a gamma slider; empty otherwise
  std::string caption;       // label or check box caption
  SettingClass cls;
  std::string switchText;    // text a switch holds when on
  std::vector<Choice> choices;
  int defaultChoice = 0;
};

constexpr const char* kGammaFallback = "1.30";
constexpr const char* kPrevPrefix = "Prev ";

inline constexpr uint8_t kListNumbers[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17, 18, 19};
inline constexpr uint8_t kGammaNumbers[] = {8, 9, 10, 11, 12, 13};
inline constexpr uint8_t kSwitchNumbers[] = {11, 14, 15};

class SettingCatalogue {
 public:
  SettingCatalogue();

  static int Count(SettingKind kind) { return kind == SettingKind::Direct3D ? 11 : 19; }
  static const char* SubkeyName(SettingKind kind) {
    return kind == SettingKind::Direct3D ? "D3D" : "Glide";
  }

  const SettingInfo& Info(SettingKind kind, int number) const;
  const std::string& ValueName(SettingKind kind, int number) const {
    return Info(kind, number).valueName;
  }
  SettingClass ClassOf(SettingKind kind, int number) const { return Info(kind, number).cls; }

  // Setting numbers of a class, in the fixed order loops use.
  static SettingNumbers ListSettings(SettingKind kind) {  // D3D 1-7; Glide 1-10, 16-19
    return {kListNumbers, kind == SettingKind::Direct3D ? 7u : 14u};
  }
  static SettingNumbers GammaSettings(SettingKind kind) {  // D3D 8-10; Glide 11-13
    return {kind == SettingKind::Direct3D ? kGammaNumbers : kGammaNumbers + 3, 3};
  }
  static SettingNumbers SwitchSettings(SettingKind kind) {  // D3D 11; Glide 14, 15
    return kind == SettingKind::Direct3D ? SettingNumbers{kSwitchNumbers, 1}
                                         : SettingNumbers{kSwitchNumbers + 1, 2};
  }

  int ChoiceCount(SettingKind kind, int number) const;
  // -1 while the list is empty (the FSAA lists before the card model is known).
  int DefaultChoice(SettingKind kind, int number) const;
  std::string ChoiceCaption(SettingKind kind, int number, int index) const;
  int32_t ChoiceNumber(SettingKind kind, int number, int index) const;

  // The first choice whose number equals `stored`; the default choice when
  // none does. With an empty list (no card model yet) the result is -1.
  int FindChoice(SettingKind kind, int number, int32_t stored) const;
  // A stored list text to a choice: missing or not a decimal integer gives the
  // default choice.
  int ChoiceForText(SettingKind kind, int number, const std::optional<std::string>& text) const;

  // How a choice stands in the driver key: its number as text, or nothing
  // (the value deleted) for a setting the driver tests for presence only.
  std::optional<std::string> DriverText(SettingKind kind, int number, int choice) const;
  // The reverse, for a driver value (nullopt: absent).
  int ChoiceForDriverText(SettingKind kind, int number,
                          const std::optional<std::string>& text) const;

  // Fills both FSAA lists for card model 4500, 5500 or 6000; any other number
  // leaves them as they are and returns false.
  bool FillFsaaLists(int cardModel);

  // The setting bound to an editor list box by its name ("GComboBoxC" is
  // Glide 18); nullopt for names that are not catalogue boxes.
  static std::optional<SettingRef> BindListControl(const std::string& name);
  // The setting bound to any editor control by its exact name (list boxes,
  // gamma sliders, switch check boxes).
  std::optional<SettingRef> BindControl(const std::string& name) const;

 private:
  // Raises for an index outside the list, as Info does for a number.
  const Choice& ChoiceAt(SettingKind kind, int number, int index) const;

  std::vector<SettingInfo> direct3d_;
  std::vector<SettingInfo> glide_;
};

// Strict decimal integer: optional "-" or "+", digits only, fits in 32 bits.
std::optional<int32_t> ParseDecimal(const std::string& text);

}  // namespace tw
