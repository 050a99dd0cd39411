// TForm3, the about box: name, version and author, with the home page and the
// author's mail address as clickable labels.
#pragma once

#include "platform/desktop_shell.h"
#include "platform/form_layout.h"
#include "platform/ui.h"

namespace tw {

constexpr const char* kAuthorMail = "tarnwick@example.org";
constexpr const char* kHomePage = "http://www.example.com/tarnwick/";
constexpr const char* kMailLink = "mailto:tarnwick@example.org";

class TForm3 {
 public:
  TForm3(DesktopShell& shell, UserInterface& ui) : shell_(shell), ui_(ui) {}
  TForm3(const TForm3&) = delete;
  TForm3& operator=(const TForm3&) = delete;

  void Label1Click() { shell_.OpenLink(kHomePage); }
  void Label4Click() { shell_.OpenLink(kMailLink); }
  // OK and the title bar's close button: the main window destroys the box
  // once this handler has returned.
  void Button1Click() { RequestRelease(); }
  void FormClose() { RequestRelease(); }

 private:
  void RequestRelease();

  DesktopShell& shell_;
  UserInterface& ui_;
  bool releaseRequested_ = false;
};

const FormLayout& AboutBoxLayout();

}  // namespace tw
