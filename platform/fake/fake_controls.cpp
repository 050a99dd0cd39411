#include "platform/fake/fake_controls.h"

#include <memory>
#include "platform/command_error.h"

namespace tw {

std::string FakeListControl::Text() const {
  if (typed_) return typedText_;
  return index_ >= 0 ? items_[static_cast<size_t>(index_)] : std::string();
}

void FakeListControl::SetText(const std::string& text) {
  typed_ = true;
  typedText_ = text;
}

void FakeListControl::Clear() {
  items_.clear();
  index_ = -1;
  typed_ = false;
}

std::string FakeListControl::Item(int index) const {
  return items_.at(static_cast<size_t>(index));
}

void FakeListControl::SetItemIndex(int index) {
  index_ = index >= 0 && index < Count() ? index : -1;
  typed_ = false;
}

void FakeTrackBar::SetPosition(int position) {
  position_ = position < min_ ? min_ : (position > max_ ? max_ : position);
}

void FakePageControl::AddPage(const std::string& page) { pages_.push_back({page, true}); }

std::size_t FakePageControl::Find(const std::string& page) const {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i].name == page) return i;
  }
  throw CommandError("no page '" + page + "'");
}

std::string FakePageControl::ActivePage() const {
  return active_ < pages_.size() ? pages_[active_].name : std::string();
}

void FakePageControl::SetActivePage(const std::string& page) { active_ = Find(page); }

bool FakePageControl::TabVisible(const std::string& page) const {
  return pages_[Find(page)].tabVisible;
}

void FakePageControl::SetTabVisible(const std::string& page, bool visible) {
  const std::size_t i = Find(page);
  pages_[i].tabVisible = visible;
  if (visible || i != active_) return;
  for (std::size_t j = 0; j < pages_.size(); ++j) {
    if (pages_[j].tabVisible) {
      active_ = j;
      return;
    }
  }
}

namespace {

void Prepare(FakeControl& control, const LayoutRow& row) {
  control.SetBounds({row.left, row.top, row.width, row.height});
  control.SetVisible((row.flags & layout_flag::kHidden) == 0);
  control.SetEnabled((row.flags & layout_flag::kDisabled) == 0);
}

}  // namespace

FakeForm::FakeForm(const FormLayout& layout) : NamedControls(window_) {
  window_.SetPosition(layout.left, layout.top);
  window_.SetClientHeight(layout.clientHeight);
  window_.SetClientWidth(layout.clientWidth);
  for (const LayoutRow& row : layout) {
    switch (row.kind) {
      case ControlKind::ComboBox: {
        auto list = std::make_unique<FakeListControl>();
        Prepare(*list, row);
        ListControl* typed = list.get();
        Add(row.name, std::move(list)).list = typed;
        break;
      }
      case ControlKind::CheckBox:
      case ControlKind::RadioButton: {
        auto check = std::make_unique<FakeCheckBox>();
        Prepare(*check, row);
        check->SetText(row.caption);
        check->SetChecked((row.flags & layout_flag::kChecked) != 0);
        CheckBoxControl* typed = check.get();
        Add(row.name, std::move(check)).check = typed;
        break;
      }
      case ControlKind::TrackBar: {
        auto track = std::make_unique<FakeTrackBar>(row.rangeMin, row.rangeMax);
        Prepare(*track, row);
        TrackBarControl* typed = track.get();
        Add(row.name, std::move(track)).track = typed;
        break;
      }
      case ControlKind::PageControl: {
        auto pages = std::make_unique<FakePageControl>();
        Prepare(*pages, row);
        PageControl* typed = pages.get();
        Add(row.name, std::move(pages)).pages = typed;
        break;
      }
      case ControlKind::Image: {
        auto image = std::make_unique<FakeImage>();
        Prepare(*image, row);
        ImageControl* typed = image.get();
        Add(row.name, std::move(image)).image = typed;
        break;
      }
      default: {
        if (row.kind == ControlKind::Page) {
          static_cast<FakePageControl&>(Pages(row.parent)).AddPage(row.name);
        }
        auto control = std::make_unique<FakeControl>();
        Prepare(*control, row);
        control->SetText(row.caption);
        Add(row.name, std::move(control));
        break;
      }
    }
  }
}

int FakeSubmenu::InsertAtTop(const std::string& caption, int tag) {
  const int id = nextId_++;
  items_.insert(items_.begin(), Item{id, caption, tag, false, true});
  return id;
}

void FakeSubmenu::RemoveFirst() {
  if (!items_.empty()) items_.erase(items_.begin());
}

bool FakeSubmenu::Has(int item) const {
  for (const Item& i : items_)
    if (i.id == item) return true;
  return false;
}

std::string FakeSubmenu::Caption(int item) const { return items_[Find(item)].caption; }

void FakeSubmenu::SetEnabled(int item, bool enabled) { items_[Find(item)].enabled = enabled; }

std::vector<std::string> FakeSubmenu::Captions() const {
  std::vector<std::string> captions;
  for (const Item& i : items_) captions.push_back(i.caption);
  return captions;
}

size_t FakeSubmenu::Find(int item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == item) return i;
  }
  throw CommandError("no such menu item");
}

int FakeSubmenu::Tag(int item) const { return items_[Find(item)].tag; }

void FakeSubmenu::SetChecked(int item, bool checked) { items_[Find(item)].checked = checked; }

bool FakeSubmenu::Checked(int item) const { return items_[Find(item)].checked; }

}  // namespace tw
