// Copies of tarnwick.exe over one fake machine (registry, processes,
// display, watch lock, session): each is the program as WinMain and the main
// window wire it, its messages handled as the window procedure carries them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/fake_session_copies.h"
#include "platform/fake/fake_watch_lock.h"
#include "shell/tray_claim.h"
#include "tests/shell/tray_commands_fixture.h"

namespace tw {

struct Copy;

struct Machine {
  Machine() { session.whileWaiting = [this] { PumpAll(); }; }
  Copy* Holder() const;  // the tray copy, once its window exists
  void PumpAll() const;

  FakeRegistry reg;
  FakeProcesses processes;
  FakeDisplay display;
  FakeMachineLock lock;
  FakeSession session;
  std::vector<Copy*> copies;  // the processes started, in order
  uint32_t answerAfter = 0;   // how long the tray copy takes to answer
  int showCommand = 0;        // the window state the clicked icon's shortcut asks for
  int processCount = 0;
};

struct Copy : ProgramStack, ForwardingStartupView, WatchListener {
  static constexpr unsigned kCloseMessage = 0x10;  // WM_CLOSE

  explicit Copy(Machine& m) : Copy(m, m.reg, m.session, 1) {}
  // A copy in another account's session, over that account's view of the
  // machine's registry.
  Copy(Machine& m, RegistryBackend& account, FakeSession& session, int sessionNumber)
      : ProgramStack(account, m.processes, m.display), m(m), session(session),
        id(++m.processCount), lock(m.lock, id, sessionNumber), sessionCopies(session, id),
        claim(sessionCopies) {
    m.copies.push_back(this);
    tray = &form;
    launcher.SetWatchLock(&lock);
    launcher.SetWatchListener(this);
    questions.unscriptedAnswer = true;
    mainView.onClose = [this] { ui.PostToMainWindow(kCloseMessage); };
  }
  ~Copy() override { m.copies.erase(std::find(m.copies.begin(), m.copies.end(), this)); }
  // WinMain before the window: false when this copy ends there.
  bool BeforeWindow(const std::string& line) {
    const std::string handOver = ProfileToHandOver(line, programRegistry);
    alive = !(StartsInTray(line) && !claim.TrayStart()) &&
            (handOver.empty() || claim.RouteRun(handOver, m.showCommand) != RunRoute::HandedOver);
    quit = !alive;
    return alive;
  }
  void WindowStart(const std::string& line) {
    const auto takeRun = [this](const std::string& run) {
      return form.TakeHandedOverRun(run, session.now + m.answerAfter);
    };
    session.windows[id] = {takeRun, [this] { return form.AskedToStay(); }};
    RunStartup(line, catalogue, programRegistry, driverRegistry, startupRegistry, compare, state,
               *this);
    form.RunHandedOver();
    IconRunMayEnd();
    Pump();
  }
  void Start(const std::string& line) {
    if (BeforeWindow(line)) WindowStart(line);
  }
  // The posted messages, as the message loop handles them.
  void Pump() {
    while (alive && !ui.posted.empty()) {
      const unsigned message = ui.posted.front();
      ui.posted.erase(ui.posted.begin());
      if (message == kRunHandedOverMessage) form.RunHandedOver();
      if (message == kLaunchPendingMessage) form.LaunchPending();
      if (message == kRunHandedOverMessage || message == kLaunchPendingMessage) IconRunMayEnd();
      if (message == kIconRunDoneMessage) form.EndIconRun();
      if (message == kCloseMessage && form.CloseRequested()) End();
    }
    if (alive && quit && !launcher.SettingUp()) End();
  }
  // The window destroyed, or the process killed: nothing is given back.
  void End() {
    launcher.StopWatch();
    lock.Release();
    claim.Release();
    session.windows.erase(id);
    alive = false;
  }
  void IconRunMayEnd() {
    if (form.IconRunOver()) ui.PostToMainWindow(kIconRunDoneMessage);
  }

  void WatchChanged() override { IconRunMayEnd(); }
  void Notice(const std::string& text) override { ui.Notice(text); }
  void ErrorReport(const std::string& text) override { ui.ErrorReport(text); }
  void RequestQuit() override { quit = true; }
  void RunProfile(const std::string& name) override { form.RunProfile(name); }
  RunRoute RouteRun(const std::string& name) override {
    return claim.RouteRun(name, m.showCommand);
  }
  void BuildMenus() override { form.BuildMenus(); }
  std::string ResumePendingRestore() override { return launcher.ResumeFromJournal(); }

  Machine& m;
  FakeSession& session;
  int id;
  FakeWatchLock lock;
  FakeSessionCopies sessionCopies;
  TrayClaim claim;
  bool quit = false;
  bool alive = true;
};

inline Copy* Machine::Holder() const {
  for (Copy* copy : copies) {
    if (copy->alive && session.holder == copy->id && session.windows.count(copy->id)) return copy;
  }
  return nullptr;
}

inline void Machine::PumpAll() const {
  for (size_t i = 0; i < copies.size(); ++i) copies[i]->Pump();
}

}  // namespace tw
