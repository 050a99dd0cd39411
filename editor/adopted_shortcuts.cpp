// The game's own Start menu, Quick Launch and desktop shortcuts: after "Add
// program" the editor offers once to start them through Tarnwick; Remove and
// a rename take them along.
#include "editor/profile_editor.h"

namespace tw {

LinkAdoption ProfileEditor::Adoption() {
  // The driver's handle is the machine's registry, where all users' records live.
  return LinkAdoption(services_.programRegistry, services_.driverRegistry,
                      services_.shell.Links(), services_.shell.OwnExecutablePath());
}

void ProfileEditor::OfferAdoption(const std::string& name) {
  const std::string& program = services_.working.profileFilePath;
  const std::vector<FoundLink> found =
      FindProgramLinks(services_.shell.Links(), program, services_.shell.OwnExecutablePath());
  if (found.empty() ||
      !services_.questions.Ask(Question::ConfirmDefaultNo, AdoptQuestion(found, program))) {
    return;
  }
  ReportLinks(Adoption().Adopt(name, found));
}

void ProfileEditor::ReportLinks(const AdoptionReport& report) {
  const std::string text = AdoptionNotice(report);
  if (!text.empty()) services_.ui.Notice(text);
}

}  // namespace tw
