// A form's controls kept by component name, one map per kind, so a lookup
// needs no run-time type information. Both the Win32 forms and the in-memory
// ones fill it from their layout table.
#pragma once

#include <map>
#include <memory>
#include "platform/command_error.h"
#include <string>

#include "platform/controls.h"

namespace tw {

class NamedControls : public FormView {
 public:
  explicit NamedControls(FormWindow& form) : form_(form) {}

  FormWindow& Form() override { return form_; }
  Control& Get(const std::string& name) override { return *Lookup(all_, name); }
  ListControl& List(const std::string& name) override { return *Lookup(lists_, name); }
  CheckBoxControl& CheckBox(const std::string& name) override { return *Lookup(checks_, name); }
  TrackBarControl& TrackBar(const std::string& name) override { return *Lookup(tracks_, name); }
  PageControl& Pages(const std::string& name) override { return *Lookup(pages_, name); }
  ImageControl& Image(const std::string& name) override { return *Lookup(images_, name); }

  bool Has(const std::string& name) const { return all_.count(name) != 0; }

 protected:
  void Add(const std::string& name, std::unique_ptr<Control> control) {
    all_[name] = control.get();
    owned_[name] = std::move(control);
  }
  void Add(const std::string& name, std::unique_ptr<ListControl> control) {
    lists_[name] = control.get();
    Add(name, std::unique_ptr<Control>(std::move(control)));
  }
  void Add(const std::string& name, std::unique_ptr<CheckBoxControl> control) {
    checks_[name] = control.get();
    Add(name, std::unique_ptr<Control>(std::move(control)));
  }
  void Add(const std::string& name, std::unique_ptr<TrackBarControl> control) {
    tracks_[name] = control.get();
    Add(name, std::unique_ptr<Control>(std::move(control)));
  }
  void Add(const std::string& name, std::unique_ptr<PageControl> control) {
    pages_[name] = control.get();
    Add(name, std::unique_ptr<Control>(std::move(control)));
  }
  void Add(const std::string& name, std::unique_ptr<ImageControl> control) {
    images_[name] = control.get();
    Add(name, std::unique_ptr<Control>(std::move(control)));
  }

 private:
  template <class T>
  static T* Lookup(const std::map<std::string, T*>& map, const std::string& name) {
    auto it = map.find(name);
    if (it == map.end()) throw CommandError("no control '" + name + "' of that kind");
    return it->second;
  }

  FormWindow& form_;
  std::map<std::string, std::unique_ptr<Control>> owned_;
  std::map<std::string, Control*> all_;
  std::map<std::string, ListControl*> lists_;
  std::map<std::string, CheckBoxControl*> checks_;
  std::map<std::string, TrackBarControl*> tracks_;
  std::map<std::string, PageControl*> pages_;
  std::map<std::string, ImageControl*> images_;
};

}  // namespace tw
