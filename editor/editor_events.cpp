#include "editor/editor_events.h"

namespace tw {

namespace {

struct HandlerRow {
  const char* name;
  EditorEvent event;
  void (ProfileEditor::*handler)();
};

constexpr HandlerRow kHandlers[] = {
    {"Button1", EditorEvent::Click, &ProfileEditor::Save},
    {"Button2", EditorEvent::Click, &ProfileEditor::Cancel},
    {"Button3", EditorEvent::Click, &ProfileEditor::SaveUserDefaults},
    {"Button4", EditorEvent::Click, &ProfileEditor::Remove},
    {"Button5", EditorEvent::Click, &ProfileEditor::SaveToDriver},
    {"Button7", EditorEvent::Click, &ProfileEditor::AddShortcut},
    {"CheckBox1", EditorEvent::Click, &ProfileEditor::DesktopModeToggled},
    {"Edit1", EditorEvent::Change, &ProfileEditor::NameChanged},
    {"PageControl1", EditorEvent::Change, &ProfileEditor::FitToActivePage},
    {"DTrackR", EditorEvent::Change, &ProfileEditor::Direct3DRedMoved},
    {"DTrackG", EditorEvent::Change, &ProfileEditor::Direct3DGreenMoved},
    {"DTrackB", EditorEvent::Change, &ProfileEditor::Direct3DBlueMoved},
    {"GTrackR", EditorEvent::Change, &ProfileEditor::GlideRedMoved},
    {"GTrackG", EditorEvent::Change, &ProfileEditor::GlideGreenMoved},
    {"GTrackB", EditorEvent::Change, &ProfileEditor::GlideBlueMoved},
};

}  // namespace

bool DispatchEditorEvent(ProfileEditor& form, const std::string& name, EditorEvent event) {
  for (const HandlerRow& row : kHandlers) {
    if (row.event == event && name == row.name) {
      (form.*row.handler)();
      return true;
    }
  }
  return false;
}

}  // namespace tw
