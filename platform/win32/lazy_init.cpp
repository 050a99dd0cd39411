#include "platform/win32/lazy_init.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace tw {

namespace {

enum class ComState { NotTried, Ready, Failed };
ComState comState = ComState::NotTried;
bool commonControlsReady = false;

}  // namespace

bool EnsureCom() {
  if (comState == ComState::NotTried) {
    comState = SUCCEEDED(CoInitialize(nullptr)) ? ComState::Ready : ComState::Failed;
  }
  return comState == ComState::Ready;
}

void ReleaseCom() {
  if (comState == ComState::Ready) CoUninitialize();
  comState = ComState::NotTried;
}

void EnsureCommonControls() {
  if (commonControlsReady) return;
  InitCommonControls();
  commonControlsReady = true;
}

}  // namespace tw
