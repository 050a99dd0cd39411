#include "driver/restore_journal.h"

#include "driver/text_escape.h"
#include "store/profile_store.h"
#include "store/registry_error.h"
#include "store/setting_catalogue.h"

namespace tw {

namespace {

const char* StageName(JournalRecord::Stage stage) {
  switch (stage) {
    case JournalRecord::Stage::Applying: return "applying";
    case JournalRecord::Stage::Watching: return "watching";
    case JournalRecord::Stage::Restoring: return "restoring";
  }
  return "";
}

void Field(std::string& out, const char* name, const std::string& value) {
  out += name;
  out += '=';
  out += EscapeText(value);
  out += '\n';
}

void PlanFields(std::string& out, const char* name, const DriverPlan& plan) {
  // Each write of the plan as its own line, the plan's line with its tab.
  for (const std::string& line : SplitLines(EncodePlan(plan))) Field(out, name, line);
}

bool ParseInt(const std::string& text, int* value) {
  const std::optional<int32_t> number = ParseDecimal(text);
  if (!number) return false;
  *value = *number;
  return true;
}

}  // namespace

std::string RestoreJournal::Encode(const JournalRecord& record) {
  std::string out;
  Field(out, "stage", StageName(record.stage));
  Field(out, "profile", record.profile);
  Field(out, "program", record.program);
  Field(out, "folder", record.folder);
  Field(out, "desktop mode", std::to_string(record.desktopMode));
  Field(out, "saved mode", std::to_string(record.savedMode));
  for (const std::string& file : record.watched) Field(out, "watched", file);
  PlanFields(out, "apply", record.apply);
  PlanFields(out, "restore", record.restore);
  if (record.hasBefore) {
    Field(out, "exact", "1");
    PlanFields(out, "before", record.before);
  }
  return out;
}

bool RestoreJournal::Decode(const std::string& text, JournalRecord* record) {
  JournalRecord out;
  std::string apply, restore, before;
  bool haveStage = false;
  for (const std::string& line : SplitLines(text)) {
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = line.substr(0, equals);
    std::string value;
    if (!UnescapeText(line.substr(equals + 1), &value)) return false;
    if (name == "stage") {
      haveStage = true;
      if (value == "applying") {
        out.stage = JournalRecord::Stage::Applying;
      } else if (value == "watching") {
        out.stage = JournalRecord::Stage::Watching;
      } else if (value == "restoring") {
        out.stage = JournalRecord::Stage::Restoring;
      } else {
        return false;
      }
    } else if (name == "profile") {
      out.profile = value;
    } else if (name == "program") {
      out.program = value;
    } else if (name == "folder") {
      out.folder = value;
    } else if (name == "desktop mode") {
      if (!ParseInt(value, &out.desktopMode)) return false;
    } else if (name == "saved mode") {
      if (!ParseInt(value, &out.savedMode)) return false;
    } else if (name == "watched") {
      out.watched.push_back(value);
    } else if (name == "apply") {
      apply += value + '\n';
    } else if (name == "restore") {
      restore += value + '\n';
    } else if (name == "exact") {
      out.hasBefore = value == "1";
    } else if (name == "before") {
      before += value + '\n';
    } else {
      return false;
    }
  }
  if (!haveStage || out.profile.empty()) return false;
  if (!DecodePlan(apply, &out.apply) || !DecodePlan(restore, &out.restore) ||
      !DecodePlan(before, &out.before)) {
    return false;
  }
  *record = std::move(out);
  return true;
}

std::optional<JournalRecord> RestoreJournal::Read() {
  std::string text;
  {
    ScopedKey key(registry_, kProgramKey, false);
    // A key or value the registry will not hand out now may still hold a
    // record: that is an error, not "no record", and the record is kept.
    if (key.Refused()) throw RegistryError::GetFailed(kJournalValue);
    if (!key || !registry_.ValueExists(kJournalValue)) return std::nullopt;
    // A value of another type is no record.
    if (registry_.HasString(kJournalValue)) text = registry_.ReadString(kJournalValue);
  }
  JournalRecord record;
  if (Decode(text, &record)) return record;
  Clear();
  return std::nullopt;
}

void RestoreJournal::Write(const JournalRecord& record) {
  ScopedKey key(registry_, kProgramKey, true);
  registry_.WriteString(kJournalValue, Encode(record));
}

bool RestoreJournal::Update(const JournalRecord& record) {
  ScopedKey key(registry_, kProgramKey, false);
  if (key.Refused()) throw RegistryError::SetFailed(kJournalValue);
  if (!key || !registry_.ValueExists(kJournalValue)) return false;
  registry_.WriteString(kJournalValue, Encode(record));
  return true;
}

void RestoreJournal::Clear() {
  ScopedKey key(registry_, kProgramKey, false);
  if (key.Refused()) throw RegistryError::SetFailed(kJournalValue);
  if (key) registry_.DeleteValue(kJournalValue);
}

DriverPlan RestoreJournal::DecideRestore(DriverSettings& driver, int desktopMode, int savedMode) {
  std::optional<JournalRecord> owed = Read();
  const DriverPlan plan =
      owed && owed->hasBefore ? driver.PlanRestoreTo(owed->before) : driver.PlanRestore();
  if (owed) {
    owed->stage = JournalRecord::Stage::Restoring;
    owed->restore = plan;
    owed->desktopMode = desktopMode;
    owed->savedMode = savedMode;
    Update(*owed);
  }
  return plan;
}

bool RestoreJournal::FinishWrites(DriverSettings& driver, const JournalRecord& owed) {
  if (owed.stage == JournalRecord::Stage::Restoring) {
    driver.ApplyPlan(owed.restore);
    return true;
  }
  if (owed.stage == JournalRecord::Stage::Applying) driver.ApplyPlan(owed.apply);
  return false;
}

bool RestoreJournal::Exists() {
  ScopedKey key(registry_, kProgramKey, false);
  if (key.Refused()) throw RegistryError::GetFailed(kJournalValue);
  return key && registry_.ValueExists(kJournalValue);
}

}  // namespace tw
