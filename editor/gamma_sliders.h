// The two gamma panels: three sliders per page, each with a value label that
// holds the gamma text the editor saves, and a lock that moves the other two
// sliders of the page along.
#pragma once

#include <string>

#include "platform/controls.h"
#include "store/setting_catalogue.h"

namespace tw {

// Text of a slider position: 130 -> "1.30", 10 -> "0.10".
std::string FormatGamma(int position);

class GammaSliders {
 public:
  // Slider indexes as the catalogue numbers the gammas: Direct3D 8 to 10,
  // Glide 11 to 13.
  static constexpr int kFirstIndex = 8;
  static constexpr int kLastIndex = 13;

  GammaSliders(FormView& view, const SettingCatalogue& catalogue);

  // Puts a stored gamma text on a slider without running any change handler.
  // The label keeps the text as stored; a text that is no number once its
  // first point is gone shows the factory "1.30".
  void SetGammaFromText(int index, const std::string& text);
  // The change handler of a slider (Direct3DRedMoved ... GlideBlueMoved).
  void TrackChange(int index);
  // The value label's text: what gets saved.
  std::string Text(int index);

 private:
  struct Slider {
    std::string track;
    std::string label;
    int previous = 10;
  };
  static int Slot(int index);  // 0..5; throws for other indexes

  FormView& view_;
  Slider sliders_[6];
  int guard_[2] = {0, 0};  // per page: 1 while a locked move is being spread
};

}  // namespace tw
