// The about box: name, version and author, with the home page and the
// author's mail address as clickable labels.
#pragma once

#include "platform/desktop_shell.h"
#include "platform/form_layout.h"
#include "platform/ui.h"

namespace tw {

constexpr const char* kAuthorMail = "tarnwick@example.org";
constexpr const char* kHomePage = "http://www.example.com/tarnwick/";
constexpr const char* kMailLink = "mailto:tarnwick@example.org";

class AboutBox {
 public:
  AboutBox(DesktopShell& shell, UserInterface& ui) : shell_(shell), ui_(ui) {}
  AboutBox(const AboutBox&) = delete;
  AboutBox& operator=(const AboutBox&) = delete;

  void VisitWebpage() { shell_.OpenLink(kHomePage); }
  void MailAuthor() { shell_.OpenLink(kMailLink); }
  // OK and the title bar's close button: the main window destroys the box
  // once this handler has returned.
  void Close() { RequestRelease(); }

 private:
  void RequestRelease();

  DesktopShell& shell_;
  UserInterface& ui_;
  bool releaseRequested_ = false;
};

const FormLayout& AboutBoxLayout();

}  // namespace tw
