#include "editor/editor_openings.h"

#include <optional>

namespace tw {

void EditorOpenings::Open(EditorMode mode, const std::string& profile) {
  // The tray ignores clicks while an editor exists; a second opening that
  // slips through (a queued message) changes nothing.
  if (editor_) return;
  std::unique_ptr<EditorInstance> editor = factory_.CreateEditor();
  ProfileEditor& form = editor->Editor();
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

// The caller (the main window) keeps AddingProgram set while this runs, so
// the tray ignores clicks during the file dialog.
void EditorOpenings::AddProgram() {
  if (editor_) return;
  const std::optional<std::string> chosen = chooser_.ChooseProgram();
  if (!chosen) return;
  working_.isNewProgram = true;
  working_.profileFilePath = *chosen;
  Open(EditorMode::NewProgram, "");
}

void EditorOpenings::EditProfile(const std::string& name) {
  if (editor_) return;
  working_.profileFilePath.clear();
  working_.isNewProgram = false;
  Open(EditorMode::EditProfile, name);
}

void EditorOpenings::EditUserDefaults() {
  if (editor_) return;
  working_.isNewProgram = false;
  Open(EditorMode::UserDefaults, "");
}

void EditorOpenings::EditLiveSettings() {
  if (editor_) return;
  working_.isNewProgram = false;
  Open(EditorMode::LiveSettings, "");
}

}  // namespace tw
