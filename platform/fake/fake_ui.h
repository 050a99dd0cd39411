// Message boxes, posted messages and the exit-watch timer, recorded for tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tw {

class FakeUserInterface : public UserInterface {
 public:
  void Notice(const std::string& text) override {
    notices.push_back(text);
    if (whileNoticeShown) whileNoticeShown();
  }
  void ErrorReport(const std::string& text) override { errorReports.push_back(text); }
  void PostToMainWindow(unsigned message) override { posted.push_back(message); }

  std::vector<std::string> notices;
  std::vector<std::string> errorReports;
  std::vector<unsigned> posted;
  std::function<void()> whileNoticeShown;  // runs while each notice is up
};

class FakeTimer : public Timer {
 public:
  void SetInterval(unsigned milliseconds) override { interval_ = milliseconds; }
  unsigned Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  unsigned interval_ = 3000;
  bool enabled_ = false;
};

}  // namespace tw
