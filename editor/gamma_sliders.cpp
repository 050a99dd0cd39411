#include "editor/gamma_sliders.h"

#include "platform/command_error.h"

namespace tw {

namespace {

constexpr const char* kLocks[2] = {"DSliders", "GSliders"};
// The two sliders that follow a moved one, in the order they are moved:
// red moves green then blue, green moves red then blue, blue moves green then red.
constexpr int kFollowers[3][2] = {{1, 2}, {0, 2}, {1, 0}};

}  // namespace

std::string FormatGamma(int position) {
  std::string text = std::to_string(position / 100);
  text += '.';
  text += static_cast<char>('0' + position / 10 % 10);
  text += static_cast<char>('0' + position % 10);
  return text;
}

GammaSliders::GammaSliders(FormView& view, const SettingCatalogue& catalogue) : view_(view) {
  for (int slot = 0; slot < 6; ++slot) {
    const SettingKind kind = slot < 3 ? SettingKind::Direct3D : SettingKind::Glide;
    const SettingInfo& info =
        catalogue.Info(kind, SettingCatalogue::GammaSettings(kind)[static_cast<size_t>(slot % 3)]);
    sliders_[slot].track = info.control;
    sliders_[slot].label = info.gammaLabel;
  }
}

int GammaSliders::Slot(int index) {
  if (index < kFirstIndex || index > kLastIndex) throw CommandError("no gamma slider");
  return index - kFirstIndex;
}

void GammaSliders::SetGammaFromText(int index, const std::string& stored) {
  Slider& slider = sliders_[Slot(index)];
  std::string text = stored;
  std::string digits = text;
  const size_t point = digits.find('.');
  if (point != std::string::npos) digits.erase(point, 1);
  std::optional<int32_t> value = ParseDecimal(digits);
  if (!value) {
    text = kGammaFallback;
    value = 130;
  }
  TrackBarControl& track = view_.TrackBar(slider.track.c_str());
  track.SetPosition(*value);
  // The clamped position, so the first locked move shifts the others by the
  // distance the user sees, not by the distance from an unreachable number.
  slider.previous = track.Position();
  view_.Get(slider.label.c_str()).SetText(text);
}

void GammaSliders::TrackChange(int index) {
  const int slot = Slot(index);
  const int page = slot / 3;
  const int first = page * 3;
  Slider& moved = sliders_[slot];
  TrackBarControl& track = view_.TrackBar(moved.track.c_str());
  // A track bar also reports the end of a drag and a key pressed at the end
  // of its range; only a real move replaces the loaded text ("1.3" is not 0.13).
  if (track.Position() == moved.previous) return;
  view_.Get(moved.label.c_str()).SetText(FormatGamma(track.Position()));
  if (view_.CheckBox(kLocks[page]).Checked() && guard_[page] == 0) {
    guard_[page] = 1;
    const int delta = track.Position() - moved.previous;
    for (int follower : kFollowers[slot % 3]) {
      TrackBarControl& other = view_.TrackBar(sliders_[first + follower].track.c_str());
      other.SetPosition(other.Position() + delta);
      TrackChange(kFirstIndex + first + follower);
    }
    guard_[page] = 0;
  }
  moved.previous = track.Position();
}

std::string GammaSliders::Text(int index) { return view_.Get(sliders_[Slot(index)].label.c_str()).Text(); }

}  // namespace tw
