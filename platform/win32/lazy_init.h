// COM, the common controls and the file dialog, set up once for the
// user-interface thread when something first needs them (track bars, tab
// pages, up-down boxes, shell links, the file dialog). Their DLLs are loaded
// here and not imported by the exe: loading them at start would cost a tray
// program that sits idle for days megabytes it never uses. Repeated calls
// cost nothing.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace tw {

// CoInitialize for this thread, once. True when COM can be used.
bool EnsureCom();
// Releases COM at exit if EnsureCom initialised it.
void ReleaseCom();
// CoCreateInstance for an in-process server, after EnsureCom.
HRESULT CreateComObject(REFCLSID classId, REFIID interfaceId, void** object);

// Registers the common control window classes the forms use, once.
void EnsureCommonControls();

// GetOpenFileNameA. FALSE also when the dialog's DLL cannot be loaded.
BOOL ShowOpenFileDialog(OPENFILENAMEA* request);

}  // namespace tw
