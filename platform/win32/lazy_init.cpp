#include "platform/win32/lazy_init.h"

#include <objbase.h>

namespace tw {

namespace {

enum class ComState { NotTried, Ready, Failed };
ComState comState = ComState::NotTried;
bool commonControlsReady = false;

// A function of a system DLL, the DLL loaded on first use and kept to the end.
template <typename Function>
Function SystemFunction(const char* dll, const char* name) {
  HMODULE module = GetModuleHandleA(dll);
  if (!module) module = LoadLibraryA(dll);
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

using CoInitializeFn = HRESULT(WINAPI*)(LPVOID);
using CoUninitializeFn = void(WINAPI*)();
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using InitCommonControlsFn = void(WINAPI*)();
using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEA*);

}  // namespace

bool EnsureCom() {
  if (comState == ComState::NotTried) {
    auto coInitialize = SystemFunction<CoInitializeFn>("ole32.dll", "CoInitialize");
    comState = coInitialize && SUCCEEDED(coInitialize(nullptr)) ? ComState::Ready : ComState::Failed;
  }
  return comState == ComState::Ready;
}

void ReleaseCom() {
  if (comState == ComState::Ready) {
    if (auto coUninitialize = SystemFunction<CoUninitializeFn>("ole32.dll", "CoUninitialize")) {
      coUninitialize();
    }
  }
  comState = ComState::NotTried;
}

HRESULT CreateComObject(REFCLSID classId, REFIID interfaceId, void** object) {
  *object = nullptr;
  if (!EnsureCom()) return CO_E_NOTINITIALIZED;
  auto coCreateInstance = SystemFunction<CoCreateInstanceFn>("ole32.dll", "CoCreateInstance");
  if (!coCreateInstance) return E_NOTIMPL;
  return coCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

void EnsureCommonControls() {
  if (commonControlsReady) return;
  if (auto init = SystemFunction<InitCommonControlsFn>("comctl32.dll", "InitCommonControls")) {
    init();
    commonControlsReady = true;
  }
}

BOOL ShowOpenFileDialog(OPENFILENAMEA* request) {
  auto show = SystemFunction<GetOpenFileNameFn>("comdlg32.dll", "GetOpenFileNameA");
  return show ? show(request) : FALSE;
}

}  // namespace tw
