#include "store/setting_catalogue.h"

#include <limits>

#include "platform/command_error.h"

namespace tw {

namespace {

// The catalogue as plain data, turned into SettingInfo once at start: a table
// costs far less code than building each entry's strings one by one.
struct ChoiceList {
  const Choice* rows;
  int count;
};

template <size_t N>
constexpr ChoiceList Rows(const Choice (&rows)[N]) {
  return {rows, static_cast<int>(N)};
}

constexpr Choice kDisableEnable[] = {{"Disable", 0}, {"Enable", 1}};
constexpr Choice kFilterQuality[] = {{"Automatic", 1}, {"Normal", 2}, {"High", 3}};
constexpr Choice kAlphaBlending[] = {{"Automatic", 1}, {"Sharper", 2}, {"Smoother", 3}};
constexpr Choice kDepthPrecision[] = {{"Disable", 0}, {"Fast", 1}, {"Faster", 2}};
// Bias numbers -8 to 8; the captions show the bias in quarter steps.
constexpr Choice kLevelOfDetail[] = {
    {"-2 Sharper image", -8}, {"-1.75", -7}, {"-1.50", -6}, {"-1.25", -5}, {"-1.00", -4},
    {"-0.75", -3},            {"-0.50", -2}, {"-0.25", -1}, {"0", 0},      {"0.25", 1},
    {"0.50", 2},              {"0.75", 3},   {"1.00", 4},   {"1.25", 5},   {"1.50", 6},
    {"1.75", 7},              {"2.00 Best performance", 8}};
constexpr int kLevelOfDetailDefault = 8;
constexpr Choice kDirect3DBuffers[] = {
    {"Default", 0},           {"1 Pending Buffer", 1},  {"2 Pending Buffers", 2},
    {"3 Pending Buffers", 3}, {"4 Pending Buffers", 4}, {"5 Pending Buffers", 5},
    {"6 Pending Buffers", 6}};
constexpr Choice kGlideBuffers[] = {{"No Pending Buffers", 0},
                                       {"1 Pending Buffer", 1},
                                       {"2 Pending Buffers", 2},
                                       {"3 Pending Buffers", 3}};
constexpr Choice kTripleBuffering[] = {{"Disable", -1}, {"Enable", 3}};
constexpr Choice kColorDepth[] = {{"Software Controlled", 16}, {"Force 32bpp Rendering", 32}};
constexpr Choice kHiddenSurfaces[] = {{"Disable", 0},
                                         {"Conservative Tiling", 1},
                                         {"Non-Aggressive Tiling", 2},
                                         {"Semi-Aggressive Tiling", 3},
                                         {"Aggressive Tiling", 4}};

// The FSAA lists come from the card model; none until it is known.
constexpr Choice kFsaa4500[] = {{"Fastest Performance", 0}, {"2x FSAA", 1}};
constexpr Choice kFsaa5500[] = {
    {"Single chip only", 0}, {"Fastest Performance", 2}, {"2x FSAA", 3}, {"4x FSAA", 4}};
constexpr Choice kFsaa6000[] = {{"Single chip only", 0},
                                   {"Fastest Performance", 5},
                                   {"2x FSAA", 6},
                                   {"4x FSAA", 7},
                                   {"8x FSAA", 8}};

constexpr int kFsaaSetting = 3;

struct SettingRow {
  SettingClass cls;
  const char* valueName;
  const char* control;
  const char* caption;
  const char* extra;  // a gamma slider's label, a switch's "on" text
  ChoiceList choices;
  int defaultChoice;
};

constexpr SettingRow ListRow(const char* name, const char* control, const char* caption,
                             ChoiceList choices, int defaultChoice) {
  return {SettingClass::List, name, control, caption, "", choices, defaultChoice};
}
constexpr SettingRow FsaaRow(const char* control) {
  return {SettingClass::List, "SSTH3_SLI_AA_CONFIGURATION", control, "FSAA", "", {nullptr, 0},
          -1};
}
constexpr SettingRow GammaRow(const char* name, const char* slider, const char* label) {
  return {SettingClass::Gamma, name, slider, "Gamma settings", label, {nullptr, 0}, 0};
}
constexpr SettingRow SwitchRow(const char* name, const char* checkBox, const char* caption,
                               const char* onText) {
  return {SettingClass::Switch, name, checkBox, caption, onText, {nullptr, 0}, 0};
}

constexpr SettingRow kDirect3DRows[] = {
    ListRow("SSTH3_OVERLAYMODE", "DComboBox1", "3D filter quality", Rows(kFilterQuality), 0),
    ListRow("SSTH3_ALPHADITHERMODE", "DComboBox2", "Alpha-blending", Rows(kAlphaBlending), 0),
    FsaaRow("DComboBox3"),
    ListRow("SSTH3_LOD_DITHER", "DComboBox4", "Mipmap dithering", Rows(kDisableEnable), 0),
    ListRow("SSTH3_MAX_PENDING_BUFFERS", "DComboBox5", "Maximum buffered frames",
            Rows(kDirect3DBuffers), 0),
    ListRow("SSTH3_LOD_BIAS", "DComboBox6", "Level of Detail (LOD-BIAS)", Rows(kLevelOfDetail),
            kLevelOfDetailDefault),
    ListRow("SSTH3_Z_CLEAR_OPTIMIZATION", "DComboBox7", "Z-Buffer optimalisation",
            Rows(kDisableEnable), 1),
    GammaRow("SSTH3_RGAMMA", "DTrackR", "DGammaR"),
    GammaRow("SSTH3_GGAMMA", "DTrackG", "DGammaG"),
    GammaRow("SSTH3_BGAMMA", "DTrackB", "DGammaB"),
    SwitchRow("SSTH3_SWAPINTERVAL", "DVSyncCheck", "Disable V-Sync", "0"),
};

constexpr SettingRow kGlideRows[] = {
    ListRow("SSTH3_OVERLAYMODE", "GComboBox1", "3D filter quality", Rows(kFilterQuality), 0),
    ListRow("SSTH3_ALPHADITHERMODE", "GComboBox2", "Alpha-blending", Rows(kAlphaBlending), 0),
    FsaaRow("GComboBox3"),
    ListRow("FX_GLIDE_LOD_DITHER", "GComboBox4", "Mipmap dithering", Rows(kDisableEnable), 0),
    ListRow("FX_GLIDE_SWAPPENDINGCOUNT", "GComboBox5", "Maximum buffered frames",
            Rows(kGlideBuffers), 1),
    ListRow("FX_GLIDE_LOD_BIAS", "GComboBox6", "Level of Detail (LOD-BIAS)", Rows(kLevelOfDetail),
            kLevelOfDetailDefault),
    ListRow("FX_GLIDE_ALLOC_COLOR", "GComboBox7", "Triple buffering", Rows(kTripleBuffering), 0),
    ListRow("FX_GLIDE_BPP", "GComboBox8", "Rendering color-depth", Rows(kColorDepth), 0),
    ListRow("FX_GL_COMPRESS_LEGACY_TEXTURES", "GComboBox9", "Legacy texture compression",
            Rows(kDisableEnable), 1),
    ListRow("FX_GLIDE_NO_SPLASH", "GComboBox10", "Glide splash screen", Rows(kDisableEnable), 0),
    GammaRow("SSTH3_RGAMMA", "GTrackR", "GGammaR"),
    GammaRow("SSTH3_GGAMMA", "GTrackG", "GGammaG"),
    GammaRow("SSTH3_BGAMMA", "GTrackB", "GGammaB"),
    SwitchRow("FX_GLIDE_SWAPINTERVAL", "GVSyncCheck", "Disable V-Sync", "0"),
    SwitchRow("FX_GLIDE_TMU_MEMSIZE", "TextureCheck", "Limit texture memory to 2MB", "2"),
    ListRow("FX_GL_16BPP_ZPRECISION", "GComboBoxA", "Depth precision 16 bit",
            Rows(kDepthPrecision), 1),
    ListRow("FX_GL_32BPP_ZPRECISION", "GComboBoxB", "Depth precision 32 bit",
            Rows(kDepthPrecision), 1),
    ListRow("FX_GL_HSR", "GComboBoxC", "Hidden surface removal", Rows(kHiddenSurfaces), 0),
    ListRow("FX_GL_GUARDBAND_ENABLED", "GComboBoxD", "Guardband clipping", Rows(kDisableEnable),
            0),
};

static_assert(sizeof kDirect3DRows / sizeof kDirect3DRows[0] == 11, "11 Direct3D settings");
static_assert(sizeof kGlideRows / sizeof kGlideRows[0] == 19, "19 Glide settings");

std::vector<Choice> MakeChoices(ChoiceList list) {
  return std::vector<Choice>(list.rows, list.rows + list.count);
}

template <size_t N>
std::vector<SettingInfo> MakeGroup(const SettingRow (&rows)[N]) {
  std::vector<SettingInfo> group(N);
  for (size_t i = 0; i < N; ++i) {
    const SettingRow& row = rows[i];
    SettingInfo& info = group[i];
    info.valueName = row.valueName;
    info.control = row.control;
    info.caption = row.caption;
    info.cls = row.cls;
    if (row.cls == SettingClass::Gamma) info.gammaLabel = row.extra;
    if (row.cls == SettingClass::Switch) info.switchText = row.extra;
    info.choices = MakeChoices(row.choices);
    info.defaultChoice = row.defaultChoice;
  }
  return group;
}

// Last character of a list box name for setting `number`: 1-9, "0" for 10,
// "A"-"D" for 16-19.
std::string ListControlSuffix(int number) {
  if (number >= 1 && number <= 9) return std::string(1, static_cast<char>('0' + number));
  if (number == 10) return "10";
  if (number >= 16 && number <= 19) return std::string(1, static_cast<char>('A' + number - 16));
  return std::string();
}

bool IsListSetting(SettingKind kind, int number) {
  for (int n : SettingCatalogue::ListSettings(kind)) {
    if (n == number) return true;
  }
  return false;
}

}  // namespace

SettingCatalogue::SettingCatalogue()
    : direct3d_(MakeGroup(kDirect3DRows)), glide_(MakeGroup(kGlideRows)) {}

const SettingInfo& SettingCatalogue::Info(SettingKind kind, int number) const {
  const std::vector<SettingInfo>& group = kind == SettingKind::Direct3D ? direct3d_ : glide_;
  if (number < 1 || number > static_cast<int>(group.size())) {
    throw CommandError("no driver setting " + std::to_string(number));
  }
  return group[static_cast<size_t>(number - 1)];
}

int SettingCatalogue::ChoiceCount(SettingKind kind, int number) const {
  return static_cast<int>(Info(kind, number).choices.size());
}

int SettingCatalogue::DefaultChoice(SettingKind kind, int number) const {
  const SettingInfo& info = Info(kind, number);
  return info.choices.empty() ? -1 : info.defaultChoice;
}

std::string SettingCatalogue::ChoiceCaption(SettingKind kind, int number, int index) const {
  return ChoiceAt(kind, number, index).caption;
}

int32_t SettingCatalogue::ChoiceNumber(SettingKind kind, int number, int index) const {
  return ChoiceAt(kind, number, index).number;
}

const Choice& SettingCatalogue::ChoiceAt(SettingKind kind, int number, int index) const {
  const std::vector<Choice>& choices = Info(kind, number).choices;
  if (static_cast<size_t>(index) >= choices.size()) {  // a negative one too
    throw CommandError("no such choice");
  }
  return choices[static_cast<size_t>(index)];
}

int SettingCatalogue::FindChoice(SettingKind kind, int number, int32_t stored) const {
  const SettingInfo& info = Info(kind, number);
  for (size_t i = 0; i < info.choices.size(); ++i) {
    if (info.choices[i].number == stored) return static_cast<int>(i);
  }
  return DefaultChoice(kind, number);
}

int SettingCatalogue::ChoiceForText(SettingKind kind, int number,
                                    const std::optional<std::string>& text) const {
  if (!text) return DefaultChoice(kind, number);
  // A text that is no number was not written by us; it stands for no choice.
  const std::optional<int32_t> stored = ParseDecimal(*text);
  if (!stored) return DefaultChoice(kind, number);
  return FindChoice(kind, number, *stored);
}

namespace {

// The driver tests its splash setting for presence only: any text hides the
// splash. So "Enable" (number 1) is the value absent and "Disable" is "1",
// while a profile keeps the choice's number like every other list.
constexpr const char* kSplashValue = "FX_GLIDE_NO_SPLASH";
constexpr int32_t kSplashShown = 1;   // "Enable"
constexpr int32_t kSplashHidden = 0;  // "Disable"
constexpr const char* kSplashHiddenText = "1";

bool TestedForPresence(const SettingInfo& info) { return info.valueName == kSplashValue; }

}  // namespace

std::optional<std::string> SettingCatalogue::DriverText(SettingKind kind, int number,
                                                        int choice) const {
  const int32_t chosen = ChoiceNumber(kind, number, choice);
  if (!TestedForPresence(Info(kind, number))) return std::to_string(chosen);
  if (chosen == kSplashShown) return std::nullopt;
  return std::string(kSplashHiddenText);
}

int SettingCatalogue::ChoiceForDriverText(SettingKind kind, int number,
                                          const std::optional<std::string>& text) const {
  if (!TestedForPresence(Info(kind, number))) return ChoiceForText(kind, number, text);
  return FindChoice(kind, number, text ? kSplashHidden : kSplashShown);
}

bool SettingCatalogue::FillFsaaLists(int cardModel) {
  ChoiceList list;
  int defaultChoice = 1;
  switch (cardModel) {
    case 4500:
      list = Rows(kFsaa4500);
      defaultChoice = 0;
      break;
    case 5500:
      list = Rows(kFsaa5500);
      break;
    case 6000:
      list = Rows(kFsaa6000);
      break;
    default:
      return false;
  }
  for (SettingInfo* info : {&direct3d_[kFsaaSetting - 1], &glide_[kFsaaSetting - 1]}) {
    info->choices = MakeChoices(list);
    info->defaultChoice = defaultChoice;
  }
  return true;
}

std::optional<SettingRef> SettingCatalogue::BindListControl(const std::string& name) {
  static const std::string kBody = "ComboBox";
  if (name.size() < kBody.size() + 2 || name.compare(1, kBody.size(), kBody) != 0) {
    return std::nullopt;
  }
  SettingKind kind;
  if (name[0] == 'D') {
    kind = SettingKind::Direct3D;
  } else if (name[0] == 'G') {
    kind = SettingKind::Glide;
  } else {
    return std::nullopt;
  }

  const char last = name.back();
  int number = 0;
  if (last >= '1' && last <= '9') {
    number = last - '0';
  } else if (last == '0') {
    number = 10;
  } else if (last >= 'A' && last <= 'D') {
    number = 16 + (last - 'A');
  } else {
    return std::nullopt;
  }
  // The last character names the setting; the whole name must still be that
  // setting's box, so "GComboBox20" or "DComboBox9" bind to nothing.
  if (!IsListSetting(kind, number) || name.substr(1 + kBody.size()) != ListControlSuffix(number)) {
    return std::nullopt;
  }
  return SettingRef{kind, number};
}

std::optional<SettingRef> SettingCatalogue::BindControl(const std::string& name) const {
  if (std::optional<SettingRef> list = BindListControl(name)) return list;
  for (SettingKind kind : {SettingKind::Direct3D, SettingKind::Glide}) {
    for (int number = 1; number <= Count(kind); ++number) {
      const SettingInfo& info = Info(kind, number);
      if (info.cls != SettingClass::List && info.control == name) return SettingRef{kind, number};
    }
  }
  return std::nullopt;
}

std::optional<int32_t> ParseDecimal(const std::string& text) {
  // A leading "+" is what the old decimal level-of-detail texts shorten to
  // ("+1.00" becomes "+1"); it reads as the number it signs.
  size_t pos = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) pos = 1;
  if (pos == text.size()) return std::nullopt;

  // The magnitude may be one more for a negative number (-2147483648).
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace tw
