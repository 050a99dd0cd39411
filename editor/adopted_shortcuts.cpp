// The game's own Start menu and desktop shortcuts: after "Add program" the
// editor offers once to start them through Tarnwick; Remove and a rename
// take them along.
#include "editor/profile_editor.h"

namespace tw {

LinkAdoption ProfileEditor::Adoption() {
  return LinkAdoption(services_.programRegistry, services_.shell.Links(),
                      services_.shell.OwnExecutablePath());
}

void ProfileEditor::OfferAdoption(const std::string& name) {
  const std::string& program = services_.working.profileFilePath;
  const std::vector<FoundLink> found = FindProgramLinks(services_.shell.Links(), program);
  if (found.empty() ||
      !services_.questions.Ask(Question::ConfirmDefaultNo, AdoptQuestion(found, program))) {
    return;
  }
  ReportLinks(Adoption().Adopt(name, found));
}

void ProfileEditor::ReportLinks(const AdoptionReport& report) {
  if (report.problems.empty()) return;
  std::string text;
  for (const std::string& problem : report.problems) {
    text += problem;
    text += "\r\n";
  }
  text.resize(text.size() - 2);
  services_.ui.Notice(text);
}

}  // namespace tw
