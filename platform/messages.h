// Private window messages of the main window. Shared with the end-to-end tests.
#pragma once

namespace tw {

constexpr unsigned kWmUser = 0x400;
constexpr unsigned kTrayNotifyMessage = kWmUser + 1;        // 0x401
constexpr unsigned kEditorClosedMessage = kWmUser + 2;      // 0x402
constexpr unsigned kAboutClosedMessage = kWmUser + 3;       // 0x403
constexpr unsigned kCardDialogClosedMessage = kWmUser + 4;  // 0x404
constexpr unsigned kLaunchPendingMessage = kWmUser + 5;     // 0x405
constexpr unsigned kShowLiveSettingsMessage = kWmUser + 6;  // 0x406
constexpr unsigned kRunHandedOverMessage = kWmUser + 7;     // 0x407
constexpr unsigned kIconRunDoneMessage = kWmUser + 8;       // 0x408

}  // namespace tw
