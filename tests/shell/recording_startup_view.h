// A start-up view that records what the sequence asked of the window, in order.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/startup.h"

namespace tw {

class RecordingStartupView : public StartupView {
 public:
  void AddLogLine(const std::string& line) override { log.push_back(line); }
  void HideMainWindow() override { calls.push_back("Hide"); }
  void Notice(const std::string& text) override { calls.push_back("Notice: " + text); }
  void ErrorReport(const std::string& text) override { calls.push_back("Error: " + text); }
  void RequestQuit() override { calls.push_back("Quit"); }
  void AskCardModel(int& model) override {
    calls.push_back("Ask " + std::to_string(model));
    if (answer) answer(model);
  }
  void CardModelApplied(int model) override { calls.push_back("Model " + std::to_string(model)); }
  void RunProfile(const std::string& name) override {
    calls.push_back("Run " + name);
    if (runFails) throw std::runtime_error("Cannot run");
  }
  void StartProgram(const LaunchRequest& r) override {
    calls.push_back("Start " + r.file + "|" + r.parameters + "|" + r.directory);
  }
  RunRoute RouteRun(const std::string& name) override {
    calls.push_back("Route " + name);
    return route;
  }
  void AddTrayIcon() override { calls.push_back("Tray"); }
  void BuildMenus() override { calls.push_back("Menus"); }
  std::string ResumePendingRestore() override {
    calls.push_back("Resume");
    if (resumeFails) throw std::runtime_error("Failed to set data for 'SSTH3_RGAMMA'");
    return resumeNote;
  }

  std::vector<std::string> calls;
  std::vector<std::string> log;
  std::function<void(int&)> answer;  // what the user does in the card model dialog
  bool runFails = false;
  RunRoute route = RunRoute::Direct;
  bool resumeFails = false;
  std::string resumeNote;  // what resuming an owed restore has to say
};

}  // namespace tw
