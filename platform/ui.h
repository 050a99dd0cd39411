// What the program logic needs from the user interface besides its forms:
// message boxes, the exit-watch timer and posted messages to the main window.
#pragma once

#include <string>

namespace tw {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Modal box captioned with the application title, OK only, no icon.
  virtual void Notice(const std::string& text) = 0;
  // Modal box with an error icon: the general error report.
  virtual void ErrorReport(const std::string& text) = 0;
  // Posts a private message (both parameters 0) to the main window.
  virtual void PostToMainWindow(unsigned message) = 0;
};

// The exit watch's timer.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(unsigned milliseconds) = 0;
  virtual unsigned Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace tw
