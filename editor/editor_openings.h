// The main window's four ways into the profile editor, and the one open
// editor they share. An opening either shows a fully loaded editor or, when
// loading fails, leaves no editor behind, so the tray keeps reacting.
#pragma once

#include <memory>
#include <string>

#include "editor/editor_services.h"
#include "editor/v5500.h"
#include "platform/file_dialog.h"

namespace tw {

// One editor window with its logic, created on demand.
class EditorInstance {
 public:
  virtual ~EditorInstance() = default;
  virtual TForm1& Form() = 0;
};

class EditorFactory {
 public:
  virtual ~EditorFactory() = default;
  // A new, hidden editor whose creation handler (FormCreate) has run.
  virtual std::unique_ptr<EditorInstance> CreateEditor() = 0;
};

class EditorOpenings {
 public:
  EditorOpenings(EditorFactory& factory, EditorWorkingValues& working, ProgramChooser& chooser)
      : factory_(factory), working_(working), chooser_(chooser) {}

  void Addprogram1Click();
  void ConfigGameClick(const std::string& caption);
  void Setcurrentsettingsasuserdefault1Click();
  void Currentsettings1Click();
  // EditorClosedMessage: the closed editor is destroyed here, never inside
  // one of its own handlers.
  void EditorClosed() { editor_.reset(); }

  bool EditorOpen() const { return editor_ != nullptr; }
  // True only while the Add program file dialog is open.
  bool AddingProgram() const { return addingProgram_; }
  TForm1* OpenEditor() { return editor_ ? &editor_->Form() : nullptr; }

 private:
  void Open(EditorMode mode, const std::string& profile);

  EditorFactory& factory_;
  EditorWorkingValues& working_;
  ProgramChooser& chooser_;
  std::unique_ptr<EditorInstance> editor_;
  bool addingProgram_ = false;
};

}  // namespace tw
