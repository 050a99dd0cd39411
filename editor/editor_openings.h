// The main window's four ways into the profile editor, and the one open
// editor they share. An opening either shows a fully loaded editor or, when
// loading fails, leaves no editor behind, so the tray keeps reacting.
#pragma once

#include <memory>
#include <string>

#include "editor/editor_services.h"
#include "editor/profile_editor.h"
#include "platform/file_dialog.h"

namespace tw {

// One editor window with its logic, created on demand.
class EditorInstance {
 public:
  virtual ~EditorInstance() = default;
  virtual ProfileEditor& Editor() = 0;
};

class EditorFactory {
 public:
  virtual ~EditorFactory() = default;
  // A new, hidden editor whose ShowProgramFile has run.
  virtual std::unique_ptr<EditorInstance> CreateEditor() = 0;
};

// What the main window's menu commands ask of the editor.
class EditorCommands {
 public:
  virtual ~EditorCommands() = default;
  // "Add program": the file dialog, then the editor on the chosen program.
  virtual void AddProgram() = 0;
  // An item of "Config": the editor on that profile.
  virtual void EditProfile(const std::string& name) = 0;
  // "Set user defaults".
  virtual void EditUserDefaults() = 0;
  // "Current settings" and the tray icon's double click.
  virtual void EditLiveSettings() = 0;
};

class EditorOpenings : public EditorCommands {
 public:
  EditorOpenings(EditorFactory& factory, EditorWorkingValues& working, ProgramChooser& chooser)
      : factory_(factory), working_(working), chooser_(chooser) {}

  void AddProgram() override;
  void EditProfile(const std::string& name) override;
  void EditUserDefaults() override;
  void EditLiveSettings() override;
  // EditorClosedMessage: the closed editor is destroyed here, never inside
  // one of its own handlers.
  void EditorClosed() { editor_.reset(); }

  bool EditorOpen() const { return editor_ != nullptr; }
  ProfileEditor* OpenEditor() { return editor_ ? &editor_->Editor() : nullptr; }

 private:
  void Open(EditorMode mode, const std::string& profile);

  EditorFactory& factory_;
  EditorWorkingValues& working_;
  ProgramChooser& chooser_;
  std::unique_ptr<EditorInstance> editor_;
};

}  // namespace tw
