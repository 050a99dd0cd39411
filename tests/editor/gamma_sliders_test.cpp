#include "editor/gamma_sliders.h"

#include "editor_fixture.h"

namespace tw {
namespace {

TEST(FormatGamma, TwoDigitsAfterThePoint) {
  const std::pair<int, const char*> cases[] = {
      {10, "0.10"}, {99, "0.99"}, {100, "1.00"}, {105, "1.05"}, {130, "1.30"}, {400, "4.00"}};
  for (const auto& c : cases) EXPECT_EQ(FormatGamma(c.first), c.second) << c.first;
}

class GammaTest : public EditorTest {
 protected:
  // Opens the live settings with the Glide gammas given (R, G, B).
  void OpenWithGlide(const char* r, const char* g, const char* b) {
    SetLive(GLIDE, "SSTH3_RGAMMA", r);
    SetLive(GLIDE, "SSTH3_GGAMMA", g);
    SetLive(GLIDE, "SSTH3_BGAMMA", b);
    openings.EditLiveSettings();
  }
  int Pos(const char* track) { return Form().TrackBar(track).Position(); }
  std::string Label(const char* label) { return Form().Get(label).Text(); }
};

TEST_F(GammaTest, LockedMoveSpreadsAndClampsAtTheEnds) {
  OpenWithGlide("1.30", "1.30", "3.90");
  Slide("GTrackR", 150);
  EXPECT_EQ(Pos("GTrackG"), 150);
  EXPECT_EQ(Label("GGammaG"), "1.50");
  EXPECT_EQ(Pos("GTrackB"), 400);
  EXPECT_EQ(Label("GGammaB"), "4.00");
  // The distance lost at the end is not regained.
  Slide("GTrackR", 130);
  EXPECT_EQ(Pos("GTrackB"), 380);
  EXPECT_EQ(Label("GGammaR"), "1.30");
  // Moving green spreads too, and the Direct3D page is left alone.
  Slide("GTrackG", 140);
  EXPECT_EQ(Pos("GTrackR"), 140);
  EXPECT_EQ(Pos("GTrackB"), 390);
  EXPECT_EQ(Pos("DTrackR"), 130);
}

TEST_F(GammaTest, UnlockedMoveChangesOnlyItsOwnLabel) {
  OpenWithGlide("1.30", "1.30", "1.30");
  Form().CheckBox("DSliders").SetChecked(false);
  Form().CheckBox("GSliders").SetChecked(false);
  const char* const tracks[] = {"DTrackR", "DTrackG", "DTrackB", "GTrackR", "GTrackG", "GTrackB"};
  const char* const labels[] = {"DGammaR", "DGammaG", "DGammaB", "GGammaR", "GGammaG", "GGammaB"};
  for (int moved = 0; moved < 6; ++moved) {
    Slide(tracks[moved], 200 + moved);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(Label(labels[i]), i <= moved ? FormatGamma(200 + i) : "1.30")
          << tracks[moved] << " moved, " << labels[i];
      EXPECT_EQ(Pos(tracks[i]), i <= moved ? 200 + i : 130) << tracks[moved] << " moved";
    }
  }
}

TEST_F(GammaTest, StoredTextsKeepTheirLabelUntilMoved) {
  // Loaded text: position, label.
  OpenWithGlide("1.3", "2", "0.5");
  EXPECT_EQ(Pos("GTrackR"), 13);
  EXPECT_EQ(Label("GGammaR"), "1.3");
  EXPECT_EQ(Pos("GTrackG"), 10);
  EXPECT_EQ(Label("GGammaG"), "2");
  EXPECT_EQ(Pos("GTrackB"), 10);
  EXPECT_EQ(Label("GGammaB"), "0.5");
  // A click on a thumb, or a key at the end of the range, moves nothing.
  Slide("GTrackR", 13);
  Slide("GTrackG", 10);
  // Untouched, the second OK writes the texts back as they were; with the
  // lock on, the neighbours' too.
  Click("Button5");
  EXPECT_EQ(Live(GLIDE, "SSTH3_RGAMMA"), "1.3");
  EXPECT_EQ(Live(GLIDE, "SSTH3_GGAMMA"), "2");
  EXPECT_EQ(Live(GLIDE, "SSTH3_BGAMMA"), "0.5");
}

TEST_F(GammaTest, TextThatIsNoNumberShowsTheFactoryValue) {
  OpenWithGlide("bright", ".", "1.30");
  ASSERT_TRUE(openings.EditorOpen());
  EXPECT_EQ(Pos("GTrackR"), 130);
  EXPECT_EQ(Label("GGammaR"), "1.30");
  EXPECT_EQ(Label("GGammaG"), "1.30");
}

TEST_F(GammaTest, FirstLockedMoveAfterAClampedLoadShiftsByTheVisibleDistance) {
  OpenWithGlide("0.05", "1.30", "1.30");
  ASSERT_EQ(Pos("GTrackR"), 10);
  Slide("GTrackR", 20);
  EXPECT_EQ(Pos("GTrackG"), 140);
  EXPECT_EQ(Pos("GTrackB"), 140);
}

TEST_F(GammaTest, EveryNewEditorStartsLocked) {
  openings.EditLiveSettings();
  Form().CheckBox("DSliders").SetChecked(false);
  Click("Button2");
  openings.EditorClosed();
  openings.EditLiveSettings();
  EXPECT_TRUE(Form().CheckBox("DSliders").Checked());
  EXPECT_TRUE(Form().CheckBox("GSliders").Checked());
}

}  // namespace
}  // namespace tw
