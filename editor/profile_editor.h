// The profile editor's logic. It reads and writes the registry and
// drives its controls through the form's control interfaces; the window that
// shows it only turns messages into these handlers.
#pragma once

#include <string>

#include "editor/editor_layout.h"
#include "editor/editor_services.h"
#include "editor/gamma_sliders.h"
#include "platform/controls.h"
#include "store/link_adoption.h"

namespace tw {

class ProfileEditor {
 public:
  ProfileEditor(FormView& view, const EditorServices& services);
  ProfileEditor(const ProfileEditor&) = delete;
  ProfileEditor& operator=(const ProfileEditor&) = delete;

  // Opening: creation, the mode's set-up, the loading steps, showing.
  void ShowProgramFile();
  void ConfigureMode(EditorMode mode);
  void LoadCurrentSettings();
  void LoadProfile(const std::string& name);
  void LoadUserDefaults();
  // The live mode shows the driver's switches as they are, so its OK keeps
  // the switches the user did not touch.
  void LoadLiveSwitches();
  void ShowEditor();

  // Events.
  void FitToActivePage();
  void NameChanged();
  void DesktopModeToggled();
  void Save();
  void Cancel();
  void SaveUserDefaults();
  void Remove();
  void SaveToDriver();
  void AddShortcut();
  void Direct3DRedMoved() { sliders_.TrackChange(8); }
  void Direct3DGreenMoved() { sliders_.TrackChange(9); }
  void Direct3DBlueMoved() { sliders_.TrackChange(10); }
  void GlideRedMoved() { sliders_.TrackChange(11); }
  void GlideGreenMoved() { sliders_.TrackChange(12); }
  void GlideBlueMoved() { sliders_.TrackChange(13); }
  // Whatever closes the editor: stores its place and asks the main window
  // to destroy it.
  void StorePlaceAndRelease();

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
  void WriteAndClose(void (ProfileEditor::*writes)(const std::string&), const std::string& target,
                     bool rebuildMenus);

  FormView& view_;
  EditorServices services_;
  GammaSliders sliders_;
  std::string renamedFrom_;  // a rename's old name, whose shortcuts follow the new one
  bool closed_ = false;
};

}  // namespace tw
