#include "editor/profile_editor.h"

#include "editor/editor_layout.h"
#include "editor/file_names.h"
#include "platform/ascii_case.h"
#include "platform/messages.h"
#include "store/profile_store.h"
#include "store/registry_error.h"
#include "store/window_position.h"

namespace tw {

namespace {

constexpr const char* kLeftValue = "Left";
constexpr const char* kTopValue = "Top";
constexpr const char* kReservedName = "USER DEFAULT";
constexpr const char* kProfileButtons[] = {"Button1", "Button4", "Button7"};  // OK, Remove, Shortcut
constexpr const char* kAllButtons[] = {"Button1", "Button2", "Button3",
                                       "Button4", "Button5", "Button7"};
// The lowest control of each page sets the page control's height. These
// lengths are the layout's, at 96 dpi.
struct PageFoot {
  const char* page;
  const char* lowest;
};
constexpr PageFoot kPageFeet[] = {
    {kD3DPage, "DComboBox4"}, {kGlidePage, "GComboBoxA"}, {kAdditionPage, "Label24"}};
constexpr int kBelowLowest = 35;
constexpr int kButtonGap = 3;
constexpr int kBelowButtons = 2;
constexpr int kHeaderRightMargin = 4;

}  // namespace

ProfileEditor::ProfileEditor(FormView& view, const EditorServices& services)
    : view_(view), services_(services), sliders_(view, services.catalogue) {}

void ProfileEditor::ShowHeader(const std::string& filePath) {
  view_.Get("Label14").SetText(FileNamePart(filePath));
  const std::string folder = DirectoryPart(filePath);
  const Bounds panel = view_.Get("Panel1").GetBounds();
  const Bounds line = view_.Get("Label15").GetBounds();
  const int margin = ScaleToDpi(kHeaderRightMargin, view_.Form().Dpi());
  view_.Get("Label15").SetText(ShortenPath(folder, panel.width - line.left - margin, view_.Form()));
  view_.Get("Label15").SetHint(folder);
}

void ProfileEditor::SetName(const std::string& name) {
  view_.Get("Edit1").SetText(name);
  NameChanged();
}

void ProfileEditor::ShowProgramFile() {
  const std::string& path = services_.working.profileFilePath;
  ShowHeader(path);
  if (!path.empty()) view_.Image("Image1").ShowFileIcon(path);
  SetName(FileNamePart(path));
  view_.Get("Edit3").SetText(DirectoryPart(path));
}

void ProfileEditor::ConfigureMode(EditorMode mode) {
  auto show = [this](const char* name, bool visible) { view_.Get(name).SetVisible(visible); };
  PageControl& pages = view_.Pages(kPageControl);
  switch (mode) {
    case EditorMode::NewProgram:
    case EditorMode::EditProfile:
      show("Button1", true);
      show("Button7", true);
      show("Button4", mode == EditorMode::EditProfile);
      show("Button3", false);
      pages.SetTabVisible(kAdditionPage, true);
      return;
    case EditorMode::UserDefaults:
    case EditorMode::LiveSettings: {
      const bool defaults = mode == EditorMode::UserDefaults;
      pages.SetTabVisible(kAdditionPage, false);
      view_.Get("Label14").SetText(defaults ? "Default user settings" : "Current Voodoo-settings");
      view_.Get("Label15").SetText("");
      view_.Get("Label15").SetHint("");
      view_.Image("Image1").ShowStockIcon(StockIcon::Application);
      for (const char* hidden : {"Button1", "Button7", "Button4", "Button3", "Button5"}) {
        show(hidden, false);
      }
      // The mode's own confirming button stands where OK stands.
      Control& confirm = view_.Get(defaults ? "Button3" : "Button5");
      Bounds place = confirm.GetBounds();
      place.left = view_.Get("Button1").GetBounds().left;
      confirm.SetBounds(place);
      confirm.SetVisible(true);
      view_.Get("Label16").SetEnabled(false);
      view_.Get("Edit1").SetEnabled(false);
      SetName("");
      return;
    }
  }
}

void ProfileEditor::ShowEditor() {
  {
    ScopedKey key(services_.programRegistry, kProgramKey, true);
    RegistryHandle& reg = services_.programRegistry;
    FormWindow& form = view_.Form();
    int left = form.Left();
    int top = form.Top();
    // A stored place of the wrong type is ignored: the editor must still open.
    try {
      if (reg.ValueExists(kLeftValue)) left = reg.ReadInteger(kLeftValue);
      if (reg.ValueExists(kTopValue)) top = reg.ReadInteger(kTopValue);
    } catch (const RegistryError&) {
    }
    // Sized for its page first, so the whole of it is brought on screen.
    FitToActivePage();
    const Bounds shown = FitIntoWorkArea({left, top, form.Width(), form.Height()}, form.WorkArea());
    form.SetPosition(shown.left, shown.top);
  }
  view_.Form().Show();
  FitToActivePage();
}

void ProfileEditor::FitToActivePage() {
  const int dpi = view_.Form().Dpi();
  Control& pageControl = view_.Get(kPageControl);
  const std::string page = view_.Pages(kPageControl).ActivePage();
  Bounds pages = pageControl.GetBounds();
  for (const PageFoot& foot : kPageFeet) {
    if (page == foot.page) pages.height = ScaleToDpi(LayoutBottom(foot.lowest) + kBelowLowest, dpi);
  }
  pageControl.SetBounds(pages);
  for (const char* name : kAllButtons) {
    Control& button = view_.Get(name);
    Bounds place = button.GetBounds();
    place.top = pages.top + pages.height + ScaleToDpi(kButtonGap, dpi);
    button.SetBounds(place);
  }
  const Bounds ok = view_.Get("Button1").GetBounds();
  view_.Form().SetClientHeight(ok.top + ok.height + ScaleToDpi(kBelowButtons, dpi));
}

void ProfileEditor::NameChanged() {
  const std::string name = view_.Get("Edit1").Text();
  const bool enabled = !name.empty() && AsciiUpper(name) != kReservedName;
  for (const char* button : kProfileButtons) view_.Get(button).SetEnabled(enabled);
}

void ProfileEditor::DesktopModeToggled() {
  view_.Get("SetDesktopCombo0").SetEnabled(view_.CheckBox("CheckBox1").Checked());
}

void ProfileEditor::Cancel() { Close(); }

void ProfileEditor::Remove() {
  const std::string name = view_.Get("Edit1").Text();
  // An empty name would name the program key itself.
  if (name.empty()) return;
  if (!IsProfileKeyName(name)) {
    services_.ui.Notice("A profile name cannot contain a backslash (\\).");
    return;
  }
  RegistryHandle& reg = services_.programRegistry;
  // Its adopted shortcuts go back before the profile goes; the records of
  // those that cannot be written now are kept outside it.
  ReportLinks(Adoption().Unadopt(name));
  bool removed = false;
  {
    ScopedKey key(reg, kProgramKey, true);
    if (!key) return;
    if (reg.KeyExists(ProfileKeyPath(name))) {
      RemoveProfile(reg, name);
      removed = true;
    }
  }
  if (!removed) {
    services_.ui.Notice("Could not find '" + name + "'");
    return;
  }
  // The profile is gone: the editor closes even when the rebuild fails.
  WriteAndClose(nullptr, name, true);
}

void ProfileEditor::StorePlaceAndRelease() {
  try {
    ScopedKey key(services_.programRegistry, kProgramKey, true);
    services_.programRegistry.WriteInteger(kLeftValue, view_.Form().Left());
    services_.programRegistry.WriteInteger(kTopValue, view_.Form().Top());
  } catch (...) {
    // The main window must free the editor even when its place is not stored.
    services_.ui.PostToMainWindow(kEditorClosedMessage);
    throw;
  }
  services_.ui.PostToMainWindow(kEditorClosedMessage);
}

void ProfileEditor::Close() {
  if (closed_) return;
  closed_ = true;
  try {
    StorePlaceAndRelease();
  } catch (...) {
    view_.Form().Hide();
    throw;
  }
  view_.Form().Hide();
}

}  // namespace tw
