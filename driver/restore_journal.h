// The pending-restore journal: while a watched run owes the driver a
// restore, the program key holds one value saying so, so that a restore
// owed when Tarnwick died (or was left during a game) is not forgotten.
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
  explicit RestoreJournal(RegistryHandle& programRegistry) : registry_(programRegistry) {}

  // Nothing when no restore is owed. A record that cannot be read is no
  // record: it is cleared, since nothing sound could be done with it.
  std::optional<JournalRecord> Read();
  // On disk before it returns: the driver is written only once the record
  // of what to give back would survive a power cut.
  void Write(const JournalRecord& record);
  // Rewrites the record only while one exists, so a watch never brings back
  // a record that a reset or the removal has cleared.
  bool Update(const JournalRecord& record);
  void Clear();
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
  RegistryHandle& registry_;
};

}  // namespace tw
