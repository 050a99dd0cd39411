// Program entry: the setting catalogue and the three registry handles exist
// before any window; then the main window and one message loop. COM and the
// common controls are set up by whatever first needs them (lazy_init.h): a
// program that sits in the tray for days should not carry them unused.
#include <windows.h>

#include "dialogs/about_box.h"
#include "editor/editor_layout.h"
#include "platform/win32/code_page_win32.h"
#include "platform/win32/lazy_init.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text_compare_win32.h"
#include "platform/win32/window_owner.h"
#include "shell/startup.h"
#include "shell/tray_claim.h"
#include "shell/win32/main_window.h"
#include "shell/win32/tray_copy.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tw::UseSystemCodePage();
  // One tray copy: a second would show a second icon and resume the same
  // restore journal, restoring a watched run twice. A game's icon claims it
  // below when none runs: it then watches its game itself.
  tw::Win32SessionCopies copies;
  tw::TrayClaim trayClaim(copies);
  if (tw::StartsInTray(GetCommandLineA()) && !trayClaim.TrayStart()) return 0;
  int exitCode = 0;
  {
    tw::SettingCatalogue catalogue;
    tw::Win32RegistryBackend backend;
    tw::RegistryHandle programRegistry(backend, tw::RootKey::CurrentUser);
    tw::RegistryHandle driverRegistry(backend, tw::RootKey::LocalMachine);
    tw::RegistryHandle startupRegistry(backend, tw::RootKey::LocalMachine);
    tw::Win32TextCompare compare;

    // A game's icon beside the tray copy: handed over before this copy
    // searches for the card or makes a window, which the tray copy has done.
    const std::string handOver = tw::ProfileToHandOver(GetCommandLineA(), programRegistry);
    if (!handOver.empty() &&
        trayClaim.RouteRun(handOver, tw::StartedShowCommand()) == tw::RunRoute::HandedOver) {
      return 0;
    }

    // The handles outlive the message loop: a last timer tick may still need them.
    tw::MainWindow mainWindow(instance, {catalogue, programRegistry, driverRegistry,
                                         startupRegistry, compare, trayClaim});
    if (mainWindow.Create(GetCommandLineA())) {
      MSG msg;
      BOOL got;
      while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        // Tab and the arrow keys move through the editor's controls as in a
        // dialog box; it has no default or cancel button, so Enter and Esc
        // choose nothing there. In the about box they mean OK and close.
        HWND active = GetActiveWindow();
        if (active && (tw::IsFormWindow(active, tw::EditorLayout()) ||
                       tw::IsFormWindow(active, tw::AboutBoxLayout())) &&
            IsDialogMessageA(active, &msg)) {
          continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (got == 0) exitCode = static_cast<int>(msg.wParam);
    }
  }
  tw::ReleaseCom();  // only if something initialised it
  return exitCode;
}
