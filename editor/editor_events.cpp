#include "editor/editor_events.h"

namespace tw {

namespace {

struct HandlerRow {
  const char* name;
  EditorEvent event;
  void (TForm1::*handler)();
};

constexpr HandlerRow kHandlers[] = {
    {"Button1", EditorEvent::Click, &TForm1::Button1Click},
    {"Button2", EditorEvent::Click, &TForm1::Button2Click},
    {"Button3", EditorEvent::Click, &TForm1::Button3Click},
    {"Button4", EditorEvent::Click, &TForm1::Button4Click},
    {"Button5", EditorEvent::Click, &TForm1::Button5Click},
    {"Button7", EditorEvent::Click, &TForm1::Button7Click},
    {"CheckBox1", EditorEvent::Click, &TForm1::CheckBox1Click},
    {"Edit1", EditorEvent::Change, &TForm1::Edit1Change},
    {"PageControl1", EditorEvent::Change, &TForm1::PageControl1Change},
    {"DTrackR", EditorEvent::Change, &TForm1::DTrackRChange},
    {"DTrackG", EditorEvent::Change, &TForm1::DTrackGChange},
    {"DTrackB", EditorEvent::Change, &TForm1::DTrackBChange},
    {"GTrackR", EditorEvent::Change, &TForm1::GTrackRChange},
    {"GTrackG", EditorEvent::Change, &TForm1::GTrackGChange},
    {"GTrackB", EditorEvent::Change, &TForm1::GTrackBChange},
};

}  // namespace

bool DispatchEditorEvent(TForm1& form, const std::string& name, EditorEvent event) {
  for (const HandlerRow& row : kHandlers) {
    if (row.event == event && name == row.name) {
      (form.*row.handler)();
      return true;
    }
  }
  return false;
}

}  // namespace tw
