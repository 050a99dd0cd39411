// The few control kinds the program logic drives, as seen by that logic. The
// Win32 side wraps real windows and menus; the tests use in-memory ones.
#pragma once

#include <string>

namespace tw {

// A drop-down list box.
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& caption) = 0;
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void SetItemIndex(int index) = 0;  // -1: nothing selected
  virtual int ItemIndex() const = 0;
};

// A submenu whose items the program creates at run time. Items are named by
// the id the submenu hands out.
class SubmenuControl {
 public:
  virtual ~SubmenuControl() = default;
  // Inserts an item as the first one of the submenu; returns its id.
  virtual int InsertAtTop(const std::string& caption, int tag) = 0;
  virtual int Tag(int item) const = 0;
  virtual void SetChecked(int item, bool checked) = 0;
  virtual bool Checked(int item) const = 0;
};

}  // namespace tw
