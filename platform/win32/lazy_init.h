// COM and the common control classes, set up once for the user-interface
// thread. Whatever needs them (track bars, tab pages, up-down boxes, shell
// links, the file dialog) calls these first; repeated calls cost nothing.
#pragma once

namespace tw {

// CoInitialize for this thread, once. True when COM can be used.
bool EnsureCom();
// Releases COM at exit if EnsureCom initialised it.
void ReleaseCom();
// Registers the common control window classes the forms use, once.
void EnsureCommonControls();

}  // namespace tw
