#include "driver/restore_journal.h"

#include "driver/text_escape.h"
#include "platform/ascii_case.h"
#include "store/profile_store.h"
#include "store/registry_error.h"
#include "store/setting_catalogue.h"

namespace tw {

namespace {

// The record's fields by their names in the text; the stages in their order.
constexpr const char* kStageNames[] = {"applying", "watching", "restoring"};
struct TextField {
  const char* name;
  std::string JournalRecord::*field;
};
constexpr TextField kTextFields[] = {
    {"profile", &JournalRecord::profile},
    {"program", &JournalRecord::program},
    {"folder", &JournalRecord::folder},
    {"adapter", &JournalRecord::adapter},
};
struct NumberField {
  const char* name;
  int JournalRecord::*field;
};
constexpr NumberField kNumberFields[] = {
    {"desktop mode", &JournalRecord::desktopMode},
    {"saved mode", &JournalRecord::savedMode},
};
struct PlanField {
  const char* name;
  DriverPlan JournalRecord::*field;
};
constexpr PlanField kPlanFields[] = {
    {"apply", &JournalRecord::apply},
    {"restore", &JournalRecord::restore},
    {"before", &JournalRecord::before},
};

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
  Field(out, "stage", kStageNames[static_cast<int>(record.stage)]);
  for (const TextField& field : kTextFields) Field(out, field.name, record.*field.field);
  for (const NumberField& field : kNumberFields) {
    Field(out, field.name, std::to_string(record.*field.field));
  }
  for (const std::string& file : record.watched) Field(out, "watched", file);
  for (const PlanField& field : kPlanFields) {
    if (field.field == &JournalRecord::before) {
      if (!record.hasBefore) break;
      Field(out, "exact", "1");
    }
    PlanFields(out, field.name, record.*field.field);
  }
  return out;
}

bool RestoreJournal::Decode(const std::string& text, JournalRecord* record) {
  JournalRecord out;
  std::string plans[3];  // the plans' lines, in kPlanFields' order
  bool haveStage = false;
  for (const std::string& line : SplitLines(text)) {
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = line.substr(0, equals);
    std::string value;
    if (!UnescapeText(line.substr(equals + 1), &value)) return false;
    bool known = false;
    for (const TextField& field : kTextFields) {
      if (name == field.name) {
        out.*field.field = value;
        known = true;
      }
    }
    for (const NumberField& field : kNumberFields) {
      if (name == field.name) {
        if (!ParseInt(value, &(out.*field.field))) return false;
        known = true;
      }
    }
    for (int i = 0; i < 3; ++i) {
      if (name == kPlanFields[i].name) {
        plans[i] += value + '\n';
        known = true;
      }
    }
    if (name == "stage") {
      haveStage = false;
      for (int i = 0; i < 3; ++i) {
        if (value == kStageNames[i]) {
          out.stage = static_cast<JournalRecord::Stage>(i);
          haveStage = true;
        }
      }
      if (!haveStage) return false;
    } else if (name == "watched") {
      out.watched.push_back(value);
    } else if (name == "exact") {
      out.hasBefore = value == "1";
    } else if (!known) {
      return false;
    }
  }
  if (!haveStage || out.profile.empty()) return false;
  for (int i = 0; i < 3; ++i) {
    if (!DecodePlan(plans[i], &(out.*kPlanFields[i].field))) return false;
  }
  *record = std::move(out);
  return true;
}

std::optional<std::string> RestoreJournal::ReadText(RegistryHandle& registry,
                                                    const std::string& path) {
  ScopedKey key(registry, path, false);
  // A key or value the registry will not hand out now may still hold a
  // record: that is an error, not "no record", and the record is kept.
  if (key.Refused()) throw RegistryError::GetFailed(kJournalValue);
  if (!key || !registry.ValueExists(kJournalValue)) return std::nullopt;
  return registry.HasString(kJournalValue) ? registry.ReadString(kJournalValue) : std::string();
}

bool RestoreJournal::MoveFromUser(std::string* text) {
  std::optional<std::string> left = ReadText(user_, kProgramKey);
  if (!left) return false;
  try {
    ScopedKey key(registry_, kMachineJournalKey, true);
    registry_.WriteString(kJournalValue, *left);
    registry_.Flush();
  } catch (const RegistryError&) {
    return false;
  }
  // Only once it is on disk in the machine's key; killed in between, the
  // next read finds both and drops this copy.
  DropUserCopy();
  *text = std::move(*left);
  return true;
}

void RestoreJournal::DropUserCopy() {
  ScopedKey key(user_, kProgramKey, false);
  if (key) user_.DeleteValue(kJournalValue);
}

std::optional<JournalRecord> RestoreJournal::Read() {
  std::optional<std::string> text = ReadText(registry_, kMachineJournalKey);
  // A copy left behind by a move cut off after the machine's record was
  // written: honoured once, it must not come back when that one is settled.
  if (text && ReadText(user_, kProgramKey) == text) DropUserCopy();
  if (!text) {
    text.emplace();
    if (!MoveFromUser(&*text)) return std::nullopt;
  }
  JournalRecord record;
  if (Decode(*text, &record)) return record;
  Clear();
  return std::nullopt;
}

void RestoreJournal::Write(const JournalRecord& record) {
  ScopedKey key(registry_, kMachineJournalKey, true);
  registry_.WriteString(kJournalValue, Encode(record));
  registry_.Flush();
}

bool RestoreJournal::Update(const JournalRecord& record) {
  ScopedKey key(registry_, kMachineJournalKey, false);
  if (key.Refused()) throw RegistryError::SetFailed(kJournalValue);
  if (!key || !registry_.ValueExists(kJournalValue)) return false;
  registry_.WriteString(kJournalValue, Encode(record));
  return true;
}

void RestoreJournal::Clear() {
  ScopedKey key(registry_, kMachineJournalKey, false);
  if (key.Refused()) throw RegistryError::SetFailed(kJournalValue);
  if (key) registry_.DeleteValue(kJournalValue);
}

DriverSettings RestoreJournal::Target(DriverSettings& driver, const JournalRecord& owed) {
  if (owed.adapter.empty() || !driver.AdapterExists(owed.adapter)) return driver;
  return driver.At(owed.adapter);
}

std::string RestoreJournal::TargetNote(DriverSettings& driver, const JournalRecord& owed) {
  const std::string& found = driver.AdapterKey();
  if (owed.adapter.empty() || AsciiLower(owed.adapter) == AsciiLower(found)) return std::string();
  if (driver.AdapterExists(owed.adapter)) return "Restore owed to " + owed.adapter + ", which the run wrote";
  return "Restore owed to " + owed.adapter + ", which is gone: it goes to " + found;
}

void RestoreJournal::Restore(DriverSettings& driver, int desktopMode, int savedMode) {
  std::optional<JournalRecord> owed = Read();
  if (!owed) {
    driver.ApplyPlan(driver.PlanRestore());
    return;
  }
  DriverSettings target = Target(driver, *owed);
  owed->stage = JournalRecord::Stage::Restoring;
  owed->restore = owed->hasBefore ? target.PlanRestoreTo(owed->before) : target.PlanRestore();
  owed->desktopMode = desktopMode;
  owed->savedMode = savedMode;
  Update(*owed);
  target.ApplyPlan(owed->restore);
  // The record goes next: the driver must not lose this restore then.
  target.Flush();
}

bool RestoreJournal::FinishWrites(DriverSettings& driver, const JournalRecord& owed) {
  DriverSettings target = Target(driver, owed);
  const bool restoring = owed.stage == JournalRecord::Stage::Restoring;
  if (restoring) {
    target.ApplyPlan(owed.restore);
  } else if (owed.stage == JournalRecord::Stage::Applying) {
    target.ApplyPlan(owed.apply);
  } else {
    return false;
  }
  target.Flush();
  return restoring;
}

bool RestoreJournal::Exists() {
  return ReadText(registry_, kMachineJournalKey) || ReadText(user_, kProgramKey);
}

}  // namespace tw
