// The start-up sequence of the main window: command line, card search, the
// stored menu states, the card model, then either a direct run or the tray.
#pragma once

#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/text_compare.h"
#include "shell/run_handover.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {

constexpr const char* kNoVoodooMessage = "No Voodoo4 or higher was detected.";

// What the sequence needs from the main window and the rest of the program.
class StartupView {
 public:
  virtual ~StartupView() = default;
  virtual void AddLogLine(const std::string& line) = 0;  // Memo1
  virtual void HideMainWindow() = 0;                      // not shown, invisible
  virtual void Notice(const std::string& text) = 0;
  virtual void ErrorReport(const std::string& text) = 0;  // the general error report
  virtual void RequestQuit() = 0;
  // Shows the card model dialog modally; `model` holds 4500 on entry and the
  // choice on return.
  virtual void AskCardModel(int& model) = 0;
  // A card model is known (stored or just chosen): check marks and the
  // Direct FSAA items follow it.
  virtual void CardModelApplied(int model) = 0;
  virtual void RunProfile(const std::string& name) = 0;
  // Starts a program as a shortcut would, nothing watched; a failure is told.
  virtual void StartProgram(const LaunchRequest& request) = 0;
  // A command-line run with reloading on: handed to this session's tray
  // copy, watched here in its place (none runs), or left as a direct run
  // (one runs but did not take it in time).
  virtual RunRoute RouteRun(const std::string& name) = 0;
  virtual void AddTrayIcon() = 0;
  virtual void BuildMenus() = 0;  // profile menus and the Video mode submenu
  // A restore the last run still owes (the restore journal): finished,
  // watched again, or asked about. Returns a line for the log, or "".
  virtual std::string ResumePendingRestore() = 0;
};

// Start-up state, kept for the whole run.
struct StartupState {
  bool debugMode = false;
  std::string commandLineProfile;
  bool runDirect = false;
  int cardModel = 4500;
  std::string driverKey;
  int namedModel = 0;           // the model the driver entry names; 0: none
  bool noCard = false;          // read by the start-up window's Close button
  bool startupFailed = false;   // an error ended the sequence; Close then ends the program
  bool startupChecked = false;  // "Start at Windows startup"
  bool reloadChecked = true;    // "Reload settings after finishing game"
  bool iconRun = false;         // a command-line run this copy watches as the tray copy
  bool takesRuns = false;       // the tray is up: a game's icon may hand its run over
  bool settlingRestore = false;  // an owed restore is being finished: runs taken wait
  bool keepTray = false;        // an icon run's copy stays the tray copy after its game
  bool administratorCan = false;  // 2000/XP: an administrator account may change the driver
};

// The arguments after the program name, split as the runtime splits a
// command line: blanks and control characters separate, double quotes group
// and are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// DebugMode, CommandLineProfile and RunDirect from the arguments.
void ParseArguments(const std::vector<std::string>& args, StartupState& state);

// A start that names no profile is the tray copy, of which one runs at a
// time; a named profile's run (a desktop shortcut) starts beside it.
bool StartsInTray(const std::string& commandLine);

// A game's icon with reloading on (not in debug mode, whose log window
// shows the start): the profile to hand to the tray copy before this copy
// does anything else of a start; "" otherwise. Only reads.
std::string ProfileToHandOver(const std::string& commandLine, RegistryHandle& programRegistry);

// True for a driver description naming a Voodoo4 or later card.
bool IsVoodooDescription(const std::string& description);
// 4500, 5500 or 6000 when a description names that model; 0 otherwise.
int CardModelNamedIn(const std::string& description);

// The driver entry a search found.
struct DriverEntry {
  std::string key;  // the driver key, ending in a backslash
  int model = 0;    // the card model its description names; 0: none
};

// Searches both driver layouts, the Windows 95/98 one first, for the first
// adapter entry of a Voodoo4 or later: by its description, or on Windows
// 98/ME by the PCI device bound to it. Only reads. Log lines go to `log`
// when it is not null.
bool FindDriverKey(RegistryHandle& driverRegistry, const TextCompare& compare, DriverEntry& found,
                   StartupView* log);
bool FindDriverKey(RegistryHandle& driverRegistry, const TextCompare& compare,
                   std::string& driverKey, StartupView* log);

// Searches both driver layouts; fills state.driverKey and the no-card flag and,
// when a card is found, the two check marks, "Reload settings" and the old
// level-of-detail conversion. Log lines go to `log` when it is not null.
bool DetectVoodoo(RegistryHandle& driverRegistry, RegistryHandle& programRegistry,
                  RegistryHandle& startupRegistry, const TextCompare& compare,
                  StartupState& state, StartupView* log);

// Applies a card model: both FSAA lists and "VoodooType". Other numbers
// apply nothing.
void ApplyCardModel(int model, SettingCatalogue& catalogue, RegistryHandle& programRegistry,
                    StartupState& state, StartupView& view);

// Reads "VoodooType" or asks for it, then applies it.
void ReadCardModel(SettingCatalogue& catalogue, RegistryHandle& programRegistry,
                   StartupState& state, StartupView& view);

// The whole sequence (the main window's StartUp). An error raised inside it is
// reported; outside debug mode the program then ends, since it would otherwise
// run on with neither window nor icon. A profile name this account has no
// profile of, but an all-users shortcut adopted by another account has
// (`driverRegistry` is the machine's registry, where its record is), starts
// that shortcut's game as it did before, before the card is looked for.
void RunStartup(const std::string& commandLine, SettingCatalogue& catalogue,
                RegistryHandle& programRegistry, RegistryHandle& driverRegistry,
                RegistryHandle& startupRegistry, const TextCompare& compare,
                StartupState& state, StartupView& view);

// The start-up window's Close button.
void StartupCloseClicked(StartupState& state, StartupView& view);

}  // namespace tw
