// Calls Windows 95 lacks, looked up at run time: an import of them would keep
// the loader there from starting the program at all. Where the system has no
// such function, a fallback gives the same answer.
#pragma once

#include <windows.h>

#include <string>

namespace tw {

// The system's function where it has one; the fallback otherwise, or always
// when a test forces it.
enum class CallRoute { System, Fallback };

// The long form of an existing path ("C:\PROGRA~1\GAME" becomes
// "C:\Program Files\Game"): GetLongPathNameA (98, 2000 and later), else each
// part of the path looked up with FindFirstFileA. Empty when the path does
// not exist.
std::string LongPathName(const std::string& path, CallRoute route = CallRoute::System);

// The top-level window a window sits in: GetAncestor with GA_ROOT (98, NT 4
// SP4 and later), else up through the parents of child windows. An owned
// popup is its own root: its GetParent is its owner.
HWND RootWindow(HWND window, CallRoute route = CallRoute::System);

}  // namespace tw
