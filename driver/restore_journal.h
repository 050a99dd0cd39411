// The pending-restore journal: while a watched run owes the driver a
// restore, one value says so, so that a restore owed when Tarnwick died (or
// was left during a game) is not forgotten.
//
// The driver is the machine's, so the record is too: it lives under
// HKEY_LOCAL_MACHINE, where every account's Tarnwick finds it, and whoever
// may write the driver may write it (everyone on 95/98/ME; on 2000/XP
// administrators, as a key below HKLM\Software gets their right to write
// and the users' right to read). Tarnwick's own key there rather than a
// value in the driver's: the driver's setup and control panel own that key,
// a reinstall may move it (the record names the key the run wrote), and the
// record is read before the driver is found. Earlier versions kept the
// record in the account's own program key; one found there is moved once.
//
// The whole record is one registry value, so every change of it is a
// single write that either happens or does not. A restore first stores its
// plan in the record, then carries it out, then deletes the record: killed
// anywhere in between, the next start finishes that same plan, and the
// driver's values are never swapped twice.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/driver_plan.h"
#include "driver/driver_settings.h"
#include "store/registry_handle.h"

namespace tw {

constexpr const char* kJournalValue = "Pending Restore";
// Under HKEY_LOCAL_MACHINE.
constexpr const char* kMachineJournalKey = "\\Software\\Hexmoor\\Tarnwick\\";

struct JournalRecord {
  enum class Stage {
    Applying,   // the profile's settings are being written; `apply` holds them
    Watching,   // the program was started; `watched` are the files it runs as
    Restoring,  // the restore is decided; `restore` holds its writes
  };
  Stage stage = Stage::Applying;
  std::string profile;
  std::string program;               // the profile's program file
  std::string folder;                // processes handed over to must run from here
  std::string adapter;               // the driver key the run wrote; older records: ""
  int desktopMode = -1;              // the mode the run switched to; -1: none
  int savedMode = -1;                // the mode to switch back to
  std::vector<std::string> watched;  // program files of the watched processes
  DriverPlan apply;
  DriverPlan restore;
  // The driver values the run changes, as they were before it: the restore
  // gives exactly these back. Records of older versions have none and get
  // the plain swap.
  bool hasBefore = false;
  DriverPlan before;
};

class RestoreJournal {
 public:
  // `machineRegistry` on HKEY_LOCAL_MACHINE; `userRegistry` this account's,
  // where an earlier version may have left a record.
  RestoreJournal(RegistryHandle& machineRegistry, RegistryHandle& userRegistry)
      : registry_(machineRegistry), user_(userRegistry) {}

  // Nothing when no restore is owed. A record that cannot be read is no
  // record: it is cleared, since nothing sound could be done with it. An
  // earlier version's record in this account's key is moved to the
  // machine's first, once the machine owes no other; while the machine's
  // key refuses it (a limited account, which may not write the driver
  // either) it stays and waits for an account that may.
  std::optional<JournalRecord> Read();
  // On disk before it returns: the driver is written only once the record
  // of what to give back would survive a power cut.
  void Write(const JournalRecord& record);
  // Rewrites the record only while one exists, so a watch never brings back
  // a record that a reset or the removal has cleared.
  bool Update(const JournalRecord& record);
  void Clear();
  // A record in the machine's key or one left in this account's.
  bool Exists();

  // "Reset to previous settings": for an owed run, back to the driver as
  // the run found it, the plan first stored in the record with the display
  // mode to return to, then carried out and on disk; with nothing owed, the
  // plain swap. The caller then switches the display back and clears the
  // record: killed in between, the next start finishes this plan.
  void Restore(DriverSettings& driver, int desktopMode, int savedMode);
  // A record cut off part-way is finished before anything else: a decided
  // restore is carried out as decided, never swapped anew (true: only the
  // display mode and the clearing remain); a profile cut off while being
  // written is written whole, so a restore gives back what the run replaced.
  static bool FinishWrites(DriverSettings& driver, const JournalRecord& owed);
  // Where an owed restore goes: the adapter key the run wrote while it
  // exists (a reinstall may have moved the driver since), else the one
  // found now. The line for the start-up log when that is not the one
  // found now; "" otherwise.
  static DriverSettings Target(DriverSettings& driver, const JournalRecord& owed);
  static std::string TargetNote(DriverSettings& driver, const JournalRecord& owed);

  static std::string Encode(const JournalRecord& record);
  static bool Decode(const std::string& text, JournalRecord* record);

 private:
  // The record's text; nothing when there is none. A value of another type
  // reads as "", which is no record.
  std::optional<std::string> ReadText(RegistryHandle& registry, const std::string& key);
  bool MoveFromUser(std::string* text);
  void DropUserCopy();

  RegistryHandle& registry_;
  RegistryHandle& user_;
};

}  // namespace tw
