#include "editor_fixture.h"

namespace tw {
namespace {

using LoadingTest = EditorTest;

TEST_F(LoadingTest, FreshEditorShowsTheLayoutState) {
  FakeForm form(EditorLayout());
  EXPECT_EQ(form.List("DComboBox6").Count(), 0);
  EXPECT_EQ(form.Get("DGammaR").Text(), "0.10");
  EXPECT_EQ(form.TrackBar("GTrackB").Position(), 10);
  EXPECT_EQ(form.Get("SpinEdit1").Text(), "3");
  EXPECT_FALSE(form.Get("SetDesktopCombo0").Enabled());
  EXPECT_EQ(form.Pages(kPageControl).ActivePage(), kD3DPage);
  EXPECT_FALSE(form.Get("Button5").Visible());
  EXPECT_TRUE(form.CheckBox("DSliders").Checked());
}

TEST_F(LoadingTest, AddProgramOpensOnTheLiveValuesWithSwitchesOff) {
  SetLive(D3D, "SSTH3_LOD_BIAS", "-8");
  SetLive(GLIDE, "FX_GLIDE_BPP", "32");
  SetLive(GLIDE, "FX_GLIDE_SWAPINTERVAL", "0");
  SetLive(D3D, "SSTH3_GGAMMA", "1.70");
  chooser.answer = "C:\\Games\\Flight\\FLIGHT.EXE";
  openings.AddProgram();

  ASSERT_TRUE(openings.EditorOpen());
  EXPECT_TRUE(working.isNewProgram);
  EXPECT_EQ(Form().Get("Edit1").Text(), "FLIGHT.EXE");
  EXPECT_EQ(Form().Get("Label14").Text(), "FLIGHT.EXE");
  EXPECT_EQ(Form().Get("Label15").Text(), "C:\\Games\\Flight\\");
  EXPECT_EQ(Form().Get("Edit3").Text(), "C:\\Games\\Flight\\");
  EXPECT_EQ(Form().Get("Edit2").Text(), "");
  EXPECT_EQ(static_cast<FakeImage&>(Form().Image("Image1")).Shown(),
            "file:C:\\Games\\Flight\\FLIGHT.EXE");
  EXPECT_EQ(Shown("DComboBox6"), "-2 Sharper image");
  EXPECT_EQ(Shown("GComboBox8"), "Force 32bpp Rendering");
  EXPECT_EQ(Shown("GComboBox5"), "1 Pending Buffer");  // default where the driver has none
  EXPECT_EQ(Form().List("DComboBox3").Count(), 4);    // the 5500's FSAA list
  EXPECT_EQ(Form().Get("DGammaG").Text(), "1.70");
  EXPECT_EQ(Form().Get("GGammaG").Text(), "1.30");
  EXPECT_FALSE(Form().CheckBox("GVSyncCheck").Checked());
  EXPECT_EQ(Form().List("SetDesktopCombo0").Count(), 4);
  EXPECT_EQ(Shown("SetDesktopCombo0"), "1024x768 - 16 bit-color");
  EXPECT_TRUE(Form().Get("Button1").Visible());
  EXPECT_TRUE(Form().Get("Button7").Visible());
  EXPECT_FALSE(Form().Get("Button4").Visible());
  EXPECT_FALSE(Form().Get("Button3").Visible());
  EXPECT_TRUE(Form().Window().Visible());
}

TEST_F(LoadingTest, CancelledFileDialogOpensNothing) {
  openings.AddProgram();
  EXPECT_EQ(chooser.runs, 1);
  EXPECT_FALSE(openings.EditorOpen());
  EXPECT_EQ(factory.lastForm, nullptr);
}

TEST_F(LoadingTest, ConfigShowsTheStoredProfileNotTheLiveValues) {
  SetLive(D3D, "SSTH3_LOD_BIAS", "-8");
  SetLive(GLIDE, "FX_GLIDE_SWAPINTERVAL", "0");
  StoreProgram("Demo", "C:\\Games\\Demo\\DEMO.EXE");
  reg.PutString(HKCU, Profile("Demo"), "Parameters", "-window");
  reg.PutString(HKCU, Profile("Demo"), "Directory", "C:\\Games\\Demo\\");
  reg.PutDword(HKCU, Profile("Demo"), "Poll", 40);
  reg.PutDword(HKCU, Profile("Demo"), "Desktop Mode", 3);
  reg.PutString(HKCU, Profile("Demo"), "Tabsheet", "AdditionTab");
  Store("Demo", D3D, "SSTH3_OVERLAYMODE", "3");
  Store("Demo", D3D, "SSTH3_SWAPINTERVAL", "1");
  Store("Demo", GLIDE, "SSTH3_BGAMMA", "2.10");
  Store("Demo", GLIDE, "FX_GLIDE_TMU_MEMSIZE", "x");
  openings.EditProfile("Demo");

  EXPECT_EQ(working.editedProfileName, "Demo");
  EXPECT_FALSE(working.isNewProgram);
  EXPECT_EQ(Form().Get("Edit1").Text(), "Demo");
  EXPECT_EQ(Form().Get("Label14").Text(), "DEMO.EXE");
  EXPECT_EQ(Form().Get("Edit2").Text(), "-window");
  EXPECT_EQ(Form().Get("SpinEdit1").Text(), "15");
  EXPECT_TRUE(Form().CheckBox("CheckBox1").Checked());
  EXPECT_TRUE(Form().Get("SetDesktopCombo0").Enabled());
  EXPECT_EQ(Shown("SetDesktopCombo0"), "800x600 - 16 bit-color");
  // Any page but the Direct3D page opens on the Glide page.
  EXPECT_EQ(Form().Pages(kPageControl).ActivePage(), kGlidePage);
  EXPECT_EQ(Shown("DComboBox1"), "High");
  EXPECT_EQ(Shown("DComboBox6"), "0");  // missing from the profile: default, not live
  EXPECT_EQ(Form().Get("GGammaB").Text(), "2.10");
  EXPECT_EQ(Form().Get("GGammaR").Text(), "1.30");
  EXPECT_TRUE(Form().CheckBox("DVSyncCheck").Checked());
  EXPECT_FALSE(Form().CheckBox("GVSyncCheck").Checked());
  EXPECT_TRUE(Form().CheckBox("TextureCheck").Checked());
  EXPECT_TRUE(Form().Get("Button4").Visible());
  // The program file is not there.
  EXPECT_EQ(static_cast<FakeImage&>(Form().Image("Image1")).Shown(), "broken");
}

TEST_F(LoadingTest, ConfigWithoutModeOrPageAndWithAnExistingFile) {
  StoreProgram("Demo", "C:\\Games\\Demo\\DEMO.EXE");
  reg.PutString(HKCU, Profile("Demo"), "Tabsheet", "D3DPage");
  shell.files.insert("C:\\Games\\Demo\\DEMO.EXE");
  openings.EditProfile("Demo");
  EXPECT_FALSE(Form().CheckBox("CheckBox1").Checked());
  EXPECT_FALSE(Form().Get("SetDesktopCombo0").Enabled());
  EXPECT_EQ(Form().Pages(kPageControl).ActivePage(), kD3DPage);
  EXPECT_EQ(static_cast<FakeImage&>(Form().Image("Image1")).Shown(),
            "file:C:\\Games\\Demo\\DEMO.EXE");
  // Without "Poll" it shows and saves 3.
  EXPECT_EQ(Form().Get("SpinEdit1").Text(), "3");
  Click("Button1");
  EXPECT_EQ(reg.GetDword(HKCU, Profile("Demo"), "Poll"), 3u);
}

TEST_F(LoadingTest, LongFolderIsShortenedWithItsFullTextAsHint) {
  const std::string folder = "C:\\Program Files\\Games\\Flight Simulators\\Old Favourites\\";
  StoreProgram("Sim", folder + "SIM.EXE");
  openings.EditProfile("Sim");
  const std::string line = Form().Get("Label15").Text();
  EXPECT_EQ(line.rfind("C:\\...\\", 0), 0u) << line;
  EXPECT_LE(Form().Window().TextWidth(line), 361 - 96 - 4);
  EXPECT_EQ(Form().Get("Label15").Hint(), folder);
}

TEST_F(LoadingTest, UserDefaultsOverlayTheLiveValues) {
  SetLive(D3D, "SSTH3_LOD_BIAS", "-8");
  SetLive(D3D, "SSTH3_OVERLAYMODE", "2");
  SetLive(D3D, "SSTH3_RGAMMA", "2.00");
  Store("User Default", D3D, "SSTH3_OVERLAYMODE", "3");
  Store("User Default", GLIDE, "FX_GLIDE_SWAPINTERVAL", "0");
  openings.EditUserDefaults();

  EXPECT_EQ(Shown("DComboBox6"), "-2 Sharper image");  // live, nothing stored
  EXPECT_EQ(Shown("DComboBox1"), "High");              // stored
  EXPECT_EQ(Form().Get("DGammaR").Text(), "1.30");     // live gamma replaced
  EXPECT_TRUE(Form().CheckBox("GVSyncCheck").Checked());
  EXPECT_EQ(Form().Get("Label14").Text(), "Default user settings");
  EXPECT_EQ(Form().Get("Edit1").Text(), "");
  EXPECT_FALSE(Form().Get("Edit1").Enabled());
  EXPECT_FALSE(Form().Get("Label16").Enabled());
  EXPECT_FALSE(Form().Pages(kPageControl).TabVisible(kAdditionPage));
  EXPECT_EQ(static_cast<FakeImage&>(Form().Image("Image1")).Shown(), "application");
  for (const char* hidden : {"Button1", "Button4", "Button5", "Button7"}) {
    EXPECT_FALSE(Form().Get(hidden).Visible()) << hidden;
  }
  EXPECT_TRUE(Form().Get("Button3").Visible());
  EXPECT_EQ(Form().Get("Button3").GetBounds().left, 360);
}

TEST_F(LoadingTest, LiveSettingsShowTheDriverSwitches) {
  SetLive(D3D, "SSTH3_SWAPINTERVAL", "0");
  SetLive(GLIDE, "FX_GLIDE_TMU_MEMSIZE", "2");
  openings.EditLiveSettings();
  EXPECT_TRUE(Form().CheckBox("DVSyncCheck").Checked());
  EXPECT_FALSE(Form().CheckBox("GVSyncCheck").Checked());
  EXPECT_TRUE(Form().CheckBox("TextureCheck").Checked());
  EXPECT_EQ(Form().Get("Label14").Text(), "Current Voodoo-settings");
  EXPECT_TRUE(Form().Get("Button5").Visible());
  EXPECT_EQ(Form().Get("Button5").GetBounds().left, 360);
  EXPECT_FALSE(Form().Get("Button3").Visible());
  // Untouched, its OK keeps the switches as they were.
  Click("Button5");
  EXPECT_EQ(Live(D3D, "SSTH3_SWAPINTERVAL"), "0");
  EXPECT_EQ(Live(GLIDE, "FX_GLIDE_TMU_MEMSIZE"), "2");
}

TEST_F(LoadingTest, FsaaListIsEmptyWithoutACardModel) {
  SettingCatalogue noModel;
  EditorServices bare{noModel, program, driver, driverKey, modes, driverSettings,
                      ui,      questions, shell, host,   working};
  FakeEditorFactory bareFactory(bare);
  EditorOpenings bareOpenings(bareFactory, working, chooser);
  bareOpenings.EditLiveSettings();
  EXPECT_EQ(bareFactory.lastForm->List("GComboBox3").Count(), 0);
  EXPECT_EQ(bareFactory.lastForm->List("GComboBox3").ItemIndex(), -1);
}

TEST_F(LoadingTest, FailedLoadingLeavesNoEditorRegistered) {
  StoreProgram("Broken", "C:\\B.EXE");
  reg.PutDword(HKCU, Group("Broken", GLIDE), "SSTH3_RGAMMA", 130);
  EXPECT_THROW(openings.EditProfile("Broken"), RegistryError);
  EXPECT_FALSE(openings.EditorOpen());

  SetLive(D3D, "SSTH3_LOD_BIAS", "");
  reg.PutDword(HKLM, Driver(D3D), "SSTH3_LOD_BIAS", 1);
  chooser.answer = "C:\\Games\\X.EXE";
  EXPECT_THROW(openings.AddProgram(), RegistryError);
  EXPECT_FALSE(openings.EditorOpen());
  // A later opening works once the value is mended.
  reg.PutString(HKLM, Driver(D3D), "SSTH3_LOD_BIAS", "0");
  openings.AddProgram();
  EXPECT_TRUE(openings.EditorOpen());
}

}  // namespace
}  // namespace tw
