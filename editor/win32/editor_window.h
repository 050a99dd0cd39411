// The profile editor as a real window: class "TForm1", not modal. The window
// procedure only turns messages into the editor's handlers by component name.
#pragma once

#include <windows.h>

#include <memory>

#include "editor/editor_events.h"
#include "editor/editor_openings.h"
#include "platform/win32/desktop_shell_win32.h"
#include "platform/win32/form_builder.h"
#include "platform/win32/questions_win32.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/window_owner.h"

namespace tw {

// Boxes owned by the editor; its release message goes to the main window.
class EditorBoxes : public UserInterface {
 public:
  explicit EditorBoxes(HWND mainWindow) : mainWindow_(mainWindow) {}
  void SetEditor(HWND editor) { editor_ = editor; }
  void Notice(const std::string& text) override;
  void ErrorReport(const std::string& text) override;
  void PostToMainWindow(unsigned message) override;

 private:
  HWND mainWindow_;
  HWND editor_ = nullptr;
};

class EditorWindow : public EditorInstance, private WindowOwner {
 public:
  EditorWindow(HINSTANCE instance, HWND mainWindow, const EditorServices& services);
  ~EditorWindow() override;

  // Creates the hidden window and its controls and runs ShowProgramFile.
  bool Create();
  ProfileEditor& Editor() override { return *logic_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A failed command is reported and the program goes on.
  void ReportFailure(const std::string& text) override;
  void Dispatch(const std::string& name, EditorEvent event);

  HINSTANCE instance_;
  HWND mainWindow_;
  EditorBoxes boxes_;
  Win32Questions questions_;
  EditorServices services_;
  FormControls controls_;
  std::unique_ptr<Win32Form> view_;
  std::unique_ptr<ProfileEditor> logic_;
};

// Makes editors for the main window's openings.
class Win32EditorFactory : public EditorFactory {
 public:
  Win32EditorFactory(HINSTANCE instance, const EditorServices& services)
      : instance_(instance), services_(services) {}
  void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
  std::unique_ptr<EditorInstance> CreateEditor() override;

 private:
  HINSTANCE instance_;
  HWND mainWindow_ = nullptr;
  EditorServices services_;
};

}  // namespace tw
