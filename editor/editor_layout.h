// The profile editor's layout: the header, the name row, the three pages and
// the button row. The catalogue pages' list boxes and their captions come from
// the setting catalogue; only their places are kept here.
#pragma once

#include <string>
#include <vector>

#include "platform/form_layout.h"
#include "store/setting_catalogue.h"

namespace tw {

const FormLayout& EditorLayout();

// The catalogue list boxes of both driver pages, in the editor's control
// order, each with the setting its name binds it to.
struct CatalogueBox {
  const char* name;
  SettingRef setting;
};
const std::vector<CatalogueBox>& CatalogueBoxes();

// Bottom edge (top + height) of a row as the layout places it.
int LayoutBottom(const std::string& name);

// Page control and pages, by component name.
constexpr const char* kPageControl = "PageControl1";
constexpr const char* kD3DPage = "D3DPage";
constexpr const char* kGlidePage = "GlidePage";
constexpr const char* kAdditionPage = "AdditionTab";

}  // namespace tw
