// A form's controls kept by component name. Each name has its common
// control and, by its kind, one of the kind's interfaces (on the same object).
// Both the Win32 forms and the in-memory ones fill it from their layout table.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/command_error.h"
#include "platform/controls.h"

namespace tw {

class NamedControls : public FormView {
 public:
  explicit NamedControls(FormWindow& form) : form_(form) {}

  FormWindow& Form() override { return form_; }
  Control& Get(const char* name) override { return *Find(name).control; }
  ListControl& List(const char* name) override { return Kind(Find(name).list, name); }
  CheckBoxControl& CheckBox(const char* name) override {
    return Kind(Find(name).check, name);
  }
  TrackBarControl& TrackBar(const char* name) override {
    return Kind(Find(name).track, name);
  }
  PageControl& Pages(const char* name) override { return Kind(Find(name).pages, name); }
  ImageControl& Image(const char* name) override { return Kind(Find(name).image, name); }

 protected:
  struct Entry {
    const char* name;  // the layout table's text, which outlives the form
    std::unique_ptr<Control> control;
    ListControl* list = nullptr;
    CheckBoxControl* check = nullptr;
    TrackBarControl* track = nullptr;
    PageControl* pages = nullptr;
    ImageControl* image = nullptr;
  };
  // The controls are few (under a hundred): a list searched by name is enough.
  Entry& Add(const char* name, std::unique_ptr<Control> control) {
    entries_.push_back(Entry());
    entries_.back().name = name;
    entries_.back().control = std::move(control);
    return entries_.back();
  }

 private:
  Entry& Find(const char* name) {
    for (Entry& entry : entries_) {
      if (std::strcmp(entry.name, name) == 0) return entry;
    }
    Missing(name, "");
  }
  template <class T>
  static T& Kind(T* control, const char* name) {
    if (!control) Missing(name, " of that kind");
    return *control;
  }
  [[noreturn]] static void Missing(const char* name, const char* what) {
    throw CommandError(std::string("no control '") + name + "'" + what);
  }

  FormWindow& form_;
  std::vector<Entry> entries_;
};

}  // namespace tw
