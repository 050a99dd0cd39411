// Stored gamma texts put on the editor's sliders: any text lands the slider
// inside its range with a label the slider can stand for, and moving the
// sliders of a locked page keeps every moved label a gamma text of its
// position.
#include <string>

#include "editor/editor_layout.h"
#include "editor/gamma_sliders.h"
#include "fuzz/fuzz_input.h"
#include "platform/fake/fake_controls.h"
#include "store/setting_catalogue.h"

namespace {

constexpr int kMin = 10;   // "0.10"
constexpr int kMax = 400;  // "4.00"

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tw::fuzz::Require;
  tw::fuzz::FuzzInput in(data, size);
  static const tw::SettingCatalogue catalogue;
  tw::FakeForm form(tw::EditorLayout());
  tw::GammaSliders sliders(form, catalogue);

  // Texts first: each slider gets one.
  for (int index = tw::GammaSliders::kFirstIndex; index <= tw::GammaSliders::kLastIndex; ++index) {
    const std::string text = in.Text(12);
    sliders.SetGammaFromText(index, text);
    const std::string label = sliders.Text(index);
    Require(label == text || label == tw::kGammaFallback, "the label keeps the text or falls back");
  }
  // Then moves, with the pages locked or not.
  for (int step = 0; step < 16 && !in.Empty(); ++step) {
    const int index = tw::GammaSliders::kFirstIndex +
                      static_cast<int>(in.Below(tw::GammaSliders::kLastIndex -
                                                tw::GammaSliders::kFirstIndex + 1));
    const bool d3d = index < tw::GammaSliders::kFirstIndex + 3;
    form.CheckBox(d3d ? "DSliders" : "GSliders").SetChecked(in.Below(2) == 0);
    static const char* const kTracks[] = {"DTrackR", "DTrackG", "DTrackB",
                                          "GTrackR", "GTrackG", "GTrackB"};
    tw::TrackBarControl& track = form.TrackBar(kTracks[index - tw::GammaSliders::kFirstIndex]);
    const int before = track.Position();
    const std::string beforeLabel = sliders.Text(index);
    track.SetPosition(kMin + static_cast<int>(in.Byte()) * 2);
    sliders.TrackChange(index);
    const int first = d3d ? 0 : 3;
    for (int i = first; i < first + 3; ++i) {
      const int position = form.TrackBar(kTracks[i]).Position();
      Require(position >= kMin && position <= kMax, "sliders stay in their range");
    }
    // A notice without a move (the end of a drag) keeps the loaded text.
    Require(sliders.Text(index) == (track.Position() == before ? beforeLabel
                                                               : tw::FormatGamma(track.Position())),
            "a moved slider's label is the text of its position, an unmoved one keeps its own");
  }
  return 0;
}
