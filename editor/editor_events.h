// Which handler of the editor runs for which control event, by component
// name. The window turns messages into these rows; tests fire them the same way.
#pragma once

#include <string>

#include "editor/profile_editor.h"

namespace tw {

enum class EditorEvent {
  Click,   // a button or check box was clicked
  Change,  // an edit box's text, a slider's position or the page changed
};

// Runs the handler bound to the component's event; false when none is.
bool DispatchEditorEvent(ProfileEditor& form, const std::string& name, EditorEvent event);

}  // namespace tw
