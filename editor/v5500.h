// TForm1: the profile editor's logic. It reads and writes the registry and
// drives its controls through the form's control interfaces; the window that
// shows it only turns messages into these handlers.
#pragma once

#include <string>

#include "editor/editor_layout.h"
#include "editor/editor_services.h"
#include "editor/gamma_sliders.h"
#include "platform/controls.h"
#include "shell/link_adoption.h"

namespace tw {

class TForm1 {
 public:
  TForm1(FormView& view, const EditorServices& services);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Opening: creation, the mode's set-up, the loading steps, showing.
  void FormCreate();
  void ConfigureMode(EditorMode mode);
  void LoadCurrentSettings();
  void LoadProfile(const std::string& name);
  void LoadUserDefaults();
  // The live mode shows the driver's switches as they are, so its OK keeps
  // the switches the user did not touch.
  void LoadLiveSwitches();
  void ShowEditor();

  // Events.
  void FormShow();
  void PageControl1Change();
  void Edit1Change();
  void CheckBox1Click();
  void Button1Click();  // OK: save the profile
  void Button2Click();  // Cancel
  void Button3Click();  // Set default
  void Button4Click();  // Remove
  void Button5Click();  // the live mode's OK
  void Button7Click();  // Shortcut
  void DTrackRChange() { sliders_.TrackChange(8); }
  void DTrackGChange() { sliders_.TrackChange(9); }
  void DTrackBChange() { sliders_.TrackChange(10); }
  void GTrackRChange() { sliders_.TrackChange(11); }
  void GTrackGChange() { sliders_.TrackChange(12); }
  void GTrackBChange() { sliders_.TrackChange(13); }
  // Whatever closes the editor: stores its place and asks the main window
  // to destroy it.
  void FormClose();

  void SetGammaFromText(int index, const std::string& text) {
    sliders_.SetGammaFromText(index, text);
  }
  void ApplyEditorToDriver();
  void CreateDesktopShortcut(const std::string& name, const std::string& iconFile);
  // Runs the closing path and hides the window.
  void Close();
  bool Closed() const { return closed_; }

 private:
  void ShowHeader(const std::string& filePath);
  void SetName(const std::string& name);
  void LoadStoredGroup(const std::string& profile, SettingKind kind, bool keepMissingLists);
  // The program values of OK: path, page, parameters, folder, poll, mode.
  void WriteProgramValues(const std::string& name);
  // Gammas, switches and list choices into a stored profile's groups.
  void WriteStoredSettings(const std::string& profile);
  // Gammas and switches of one group into the open key of `registry`.
  void WriteGammasAndSwitches(RegistryHandle& registry, SettingKind kind);
  // The choice a list box shows; -1 when its text is none of its entries.
  int ShownChoice(const CatalogueBox& box);
  int PollSeconds();
  void WriteProfile(const std::string& name);
  // The game's own shortcuts (editor/adopted_shortcuts.cpp): the one
  // question after a new program's save, and notices of what was left alone.
  LinkAdoption Adoption();
  void OfferAdoption(const std::string& name);
  void ReportLinks(const AdoptionReport& report);
  void ApplyToDriver(const std::string&) { ApplyEditorToDriver(); }
  // Runs a confirming button's writes (none for a removal that is done),
  // (rebuilds the menus,) closes the editor, and only then reports a
  // refused write.
  void WriteAndClose(void (TForm1::*writes)(const std::string&), const std::string& target,
                     bool rebuildMenus);

  FormView& view_;
  EditorServices services_;
  GammaSliders sliders_;
  std::vector<AdoptedLink> renamedLinks_;  // a rename's links, recorded with the new name
  bool closed_ = false;
};

}  // namespace tw
