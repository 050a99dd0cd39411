#include "platform/win32/window_owner.h"

#include <exception>

#include "platform/win32/form_builder.h"

namespace tw {

bool WindowOwner::CreateForm(const FormLayout& layout, HINSTANCE instance, HWND owner) {
  if (!RegisterFormClass(layout, instance, &WindowOwner::WindowProc)) return false;
  return CreateFormWindow(layout, instance, owner, this) != nullptr && window_ != nullptr;
}

LRESULT CALLBACK WindowOwner::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  // The object arrives as the creation parameter and is kept in the window's
  // user data; the few messages before WM_NCCREATE have no object yet.
  WindowOwner* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<WindowOwner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  } else {
    self = reinterpret_cast<WindowOwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);

  std::string failure;
  try {
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->window_ = nullptr;
    return result;
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = "Unexpected error";
  }
  if (message == WM_NCDESTROY) self->window_ = nullptr;
  self->ReportFailure(failure);
  return 0;
}

bool IsFormWindow(HWND window, const FormLayout& layout) {
  char name[32] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, layout.className) == 0;
}

}  // namespace tw
