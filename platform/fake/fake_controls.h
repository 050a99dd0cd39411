// In-memory controls that remember what the program put into them, and a
// form made of them from a layout table, addressed by component name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/form_layout.h"
#include "platform/named_controls.h"

namespace tw {

// The state every control has.
class FakeControl : public Control {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  Bounds GetBounds() const override { return bounds_; }
  void SetBounds(const Bounds& bounds) override { bounds_ = bounds; }
  std::string Hint() const override { return hint_; }
  void SetHint(const std::string& hint) override { hint_ = hint; }

 private:
  std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  Bounds bounds_;
  std::string hint_;
};

class FakeListControl : public FakeControl, public ListControl {
 public:
  // What the field shows: typed text if something was typed since the last
  // selection, else the selected entry.
  std::string Text() const override;
  // Typing into the field; the selection stays as the list had it.
  void SetText(const std::string& text) override;
  void Clear() override;
  void Add(const std::string& caption) override { items_.push_back(caption); }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return index_; }

  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  bool typed_ = false;
  std::string typedText_;
};

class FakeCheckBox : public FakeControl, public CheckBoxControl {
 public:
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }

 private:
  bool checked_ = false;
};

class FakeTrackBar : public FakeControl, public TrackBarControl {
 public:
  FakeTrackBar(int min, int max) : min_(min), max_(max), position_(min) {}
  int Position() const override { return position_; }
  void SetPosition(int position) override;
  int Min() const override { return min_; }
  int Max() const override { return max_; }

 private:
  int min_;
  int max_;
  int position_;
};

class FakePageControl : public FakeControl, public PageControl {
 public:
  void AddPage(const std::string& page);
  std::string ActivePage() const override;
  void SetActivePage(const std::string& page) override;
  bool TabVisible(const std::string& page) const override;
  void SetTabVisible(const std::string& page, bool visible) override;

 private:
  std::size_t Find(const std::string& page) const;  // throws for unknown pages

  struct Page {
    std::string name;
    bool tabVisible;
  };
  std::vector<Page> pages_;
  std::size_t active_ = 0;
};

class FakeImage : public FakeControl, public ImageControl {
 public:
  void ShowFileIcon(const std::string& path) override { shown_ = "file:" + path; }
  void ShowStockIcon(StockIcon icon) override {
    shown_ = icon == StockIcon::Broken ? "broken" : "application";
  }
  // "file:<path>", "broken", "application" or "" before any icon.
  const std::string& Shown() const { return shown_; }

 private:
  std::string shown_;
};

// Text is measured at a fixed width per character.
class FakeFormWindow : public FormWindow {
 public:
  static constexpr int kCharWidth = 6;

  int Left() const override { return left_; }
  int Top() const override { return top_; }
  void SetPosition(int left, int top) override {
    left_ = left;
    top_ = top;
  }
  int ClientHeight() const override { return clientHeight_; }
  void SetClientHeight(int height) override { clientHeight_ = height; }
  // Frameless: the outer size is the client area.
  int Width() const override { return clientWidth_; }
  int Height() const override { return clientHeight_; }
  Bounds WorkArea() const override { return workArea_; }
  void SetClientWidth(int width) { clientWidth_ = width; }
  void SetWorkArea(const Bounds& area) { workArea_ = area; }
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  bool Visible() const override { return visible_; }
  int TextWidth(const std::string& text) const override {
    return kCharWidth * static_cast<int>(text.size());
  }
  int Dpi() const override { return kDesignDpi; }

 private:
  int left_ = 0;
  int top_ = 0;
  int clientHeight_ = 0;
  int clientWidth_ = 0;
  Bounds workArea_{0, 0, 1024, 768};
  bool visible_ = false;
};

// Holds the form window ahead of the controls, which refer to it.
struct FakeFormWindowHolder {
  FakeFormWindow window_;
};

// A form's controls made in memory from its layout table, in the state the
// table gives them.
class FakeForm : private FakeFormWindowHolder, public NamedControls {
 public:
  explicit FakeForm(const FormLayout& layout);
  FakeFormWindow& Window() { return window_; }
};

class FakeSubmenu : public SubmenuControl {
 public:
  struct Item {
    int id;
    std::string caption;
    int tag;
    bool checked;
    bool enabled;
  };

  // Ids are handed out from `firstId` on, so two submenus can keep apart.
  explicit FakeSubmenu(int firstId = 1) : nextId_(firstId) {}

  int InsertAtTop(const std::string& caption, int tag) override;
  void RemoveFirst() override;
  int Count() const override { return static_cast<int>(items_.size()); }
  bool Has(int item) const override;
  std::string Caption(int item) const override;
  int Tag(int item) const override;
  void SetChecked(int item, bool checked) override;
  bool Checked(int item) const override;
  void SetEnabled(int item, bool enabled) override;

  // Items from the top of the submenu down.
  const std::vector<Item>& Items() const { return items_; }
  std::vector<std::string> Captions() const;
  // Id of the item at a position from the top.
  int IdAt(int position) const { return items_.at(static_cast<size_t>(position)).id; }

 private:
  size_t Find(int item) const;  // position of an id; throws for unknown ids

  std::vector<Item> items_;
  int nextId_;
};

}  // namespace tw
