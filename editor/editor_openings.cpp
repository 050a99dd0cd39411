#include "editor/editor_openings.h"

#include <optional>

namespace tw {

void EditorOpenings::Open(EditorMode mode, const std::string& profile) {
  // The tray ignores clicks while an editor exists; a second opening that
  // slips through (a queued message) changes nothing.
  if (editor_) return;
  std::unique_ptr<EditorInstance> editor = factory_.CreateEditor();
  TForm1& form = editor->Form();
  form.ConfigureMode(mode);
  form.LoadCurrentSettings();
  switch (mode) {
    case EditorMode::EditProfile:
      form.LoadProfile(profile);
      break;
    case EditorMode::UserDefaults:
      form.LoadUserDefaults();
      break;
    case EditorMode::LiveSettings:
      form.LoadLiveSwitches();
      break;
    case EditorMode::NewProgram:
      break;
  }
  form.ShowEditor();
  // Registered only once it is loaded and shown: an opening that fails on
  // the way destroys its editor here and leaves the tray free.
  editor_ = std::move(editor);
}

void EditorOpenings::Addprogram1Click() {
  if (editor_ || addingProgram_) return;
  addingProgram_ = true;
  try {
    const std::optional<std::string> chosen = chooser_.ChooseProgram();
    if (chosen) {
      working_.isNewProgram = true;
      working_.profileFilePath = *chosen;
      Open(EditorMode::NewProgram, "");
    }
  } catch (...) {
    addingProgram_ = false;
    throw;
  }
  addingProgram_ = false;
}

void EditorOpenings::ConfigGameClick(const std::string& caption) {
  if (editor_) return;
  working_.profileFilePath.clear();
  working_.isNewProgram = false;
  Open(EditorMode::EditProfile, caption);
}

void EditorOpenings::Setcurrentsettingsasuserdefault1Click() {
  if (editor_) return;
  working_.isNewProgram = false;
  Open(EditorMode::UserDefaults, "");
}

void EditorOpenings::Currentsettings1Click() {
  if (editor_) return;
  working_.isNewProgram = false;
  Open(EditorMode::LiveSettings, "");
}

}  // namespace tw
