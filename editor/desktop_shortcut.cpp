// The Shortcut button: a desktop shortcut that starts Tarnwick with the
// profile's name, which runs that profile.
#include "editor/file_names.h"
#include "editor/profile_editor.h"

namespace tw {

void ProfileEditor::AddShortcut() {
  const std::string name = view_.Get("Edit1").Text();
  if (name.empty()) return;
  // The name becomes the file name: a separator would put the file elsewhere.
  if (!IsSafeFileName(name)) {
    services_.ui.Notice("A shortcut cannot be named '" + name +
                        "': a file name cannot contain any of the characters \\ / : * ? \" < > |");
    return;
  }
  if (!services_.questions.Ask(Question::ConfirmYesNo,
                               "Do you want a shortcut for this application on your desktop?")) {
    return;
  }
  CreateDesktopShortcut(name, services_.working.profileFilePath);
}

void ProfileEditor::CreateDesktopShortcut(const std::string& name, const std::string& iconFile) {
  ShellLink link;
  link.target = services_.shell.OwnExecutablePath();
  link.workingDirectory = DirectoryPart(link.target);
  // Quoted, so the start-up sees one argument and keeps a double blank.
  link.arguments = "\"" + name + "\"";
  link.iconFile = iconFile;
  link.iconIndex = 0;
  const std::optional<std::string> desktop = services_.shell.DesktopFolder();
  if (!desktop) {
    services_.ui.Notice("The desktop folder could not be found, so no shortcut was made.");
    return;
  }
  const std::string file = *desktop + "\\" + name + ".lnk";
  if (!services_.shell.SaveShellLink(link, file)) {
    services_.ui.Notice("The shortcut " + file + " could not be saved.");
  }
}

}  // namespace tw
