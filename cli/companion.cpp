#include "cli/companion.h"

#include <cstdint>
#include <exception>
#include <optional>

#include "driver/driver_settings.h"
#include "driver/restore_journal.h"
#include "shell/startup.h"
#include "store/editor_shortcuts.h"
#include "store/link_adoption.h"
#include "store/profile_store.h"
#include "store/profile_transfer.h"
#include "store/setting_catalogue.h"

namespace tw {

namespace {

constexpr const char* kUsage =
    "usage: tarnwick-cli COMMAND\r\n"
    "  list                                 profile names, one a line\r\n"
    "  show NAME                            a profile's program and settings\r\n"
    "  export FILE NAME...                  profiles into a REGEDIT4 file\r\n"
    "  export FILE --all                    every profile into a REGEDIT4 file\r\n"
    "  import FILE [--as NAME] [--replace]  profiles from a .reg file\r\n"
    "  import FILE --settings-only --as NAME\r\n"
    "                                       only its D3D and Glide settings, into NAME\r\n"
    "  apply NAME                           a profile's settings into the driver\r\n"
    "  restore [--owed]                     put the previous driver settings back;\r\n"
    "                                       --owed: only a restore a watched run owes\r\n"
    "  export-driver FILE                   the driver's settings into a REGEDIT4 file\r\n"
    "  adopt NAME                           the program's Start menu and desktop\r\n"
    "                                       shortcuts start it through Tarnwick\r\n"
    "  unadopt NAME | --all                 put those shortcuts back\r\n"
    "  unadopt --all-users                  every account's all-users shortcuts\r\n"
    "  relink OLD_EXE                       shortcuts adopted for the tarnwick.exe\r\n"
    "                                       at OLD_EXE start this one\r\n"
    "  remove-shortcuts                     delete the editor's shortcuts on this\r\n"
    "                                       account's desktop\r\n"
    "A NAME with blanks goes in double quotes.\r\n";

constexpr const char* kGammaColours[] = {"red", "green", "blue"};

// Ends a command with exit status 1 and its one-line message.
struct Failure {
  std::string message;
};

// A command line that does not fit the usage: exit status 2.
struct UsageError {};

class Companion {
 public:
  explicit Companion(CompanionContext& context) : c_(context) {}

  int Run(const std::vector<std::string>& args) {
    try {
      if (args.empty()) throw UsageError();
      const std::string& command = args[0];
      const std::vector<std::string> rest(args.begin() + 1, args.end());
      if (command == "list") return List(rest);
      if (command == "show") return Show(rest);
      if (command == "export") return Export(rest);
      if (command == "import") return Import(rest);
      if (command == "apply") return Apply(rest);
      if (command == "restore") return Restore(rest);
      if (command == "export-driver") return ExportDriver(rest);
      if (command == "adopt") return Adopt(rest);
      if (command == "unadopt") return Unadopt(rest);
      if (command == "relink") return Relink(rest);
      if (command == "remove-shortcuts") return RemoveShortcuts(rest);
      throw UsageError();
    } catch (const UsageError&) {
      c_.console.Err(kUsage);
      return kExitUsage;
    } catch (const Failure& failure) {
      c_.console.Err("tarnwick-cli: " + failure.message + "\r\n");
    } catch (const std::exception& error) {
      c_.console.Err(std::string("tarnwick-cli: ") + error.what() + "\r\n");
    }
    return kExitFailed;
  }

 private:
  void Line(const std::string& text) { c_.console.Out(text + "\r\n"); }

  void RequireProfile(const std::string& name) {
    if (!IsValidProfileName(name) || !c_.programRegistry.KeyExists(ProfileKeyPath(name))) {
      throw Failure{"No profile named '" + name + "'"};
    }
  }

  // Profiles as the menus list them: "User Default" is not one.
  std::vector<std::string> ProfileNames() {
    std::vector<std::string> names;
    for (const std::string& name : ListProfiles(c_.programRegistry, c_.compare)) {
      if (name != kUserDefaultProfile) names.push_back(name);
    }
    return names;
  }

  // The stored card model fills the FSAA lists; without one they stay empty
  // and the FSAA settings are neither shown by caption nor written.
  void LoadCardModel() {
    ScopedKey key(c_.programRegistry, kProgramKey, false);
    if (key && c_.programRegistry.ValueExists(kVoodooTypeValue)) {
      c_.catalogue.FillFsaaLists(c_.programRegistry.ReadInteger(kVoodooTypeValue));
    }
  }

  std::string FindDriver() {
    std::string driverKey;
    if (!FindDriverKey(c_.driverRegistry, c_.compare, driverKey, nullptr)) {
      throw Failure{kNoVoodooMessage};
    }
    ConvertPreviousLodValue(c_.driverRegistry, driverKey);
    return driverKey;
  }

  int List(const std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError();
    for (const std::string& name : ProfileNames()) Line(name);
    return kExitOk;
  }

  void ShowGroup(const std::string& name, SettingKind kind) {
    ScopedKey key(c_.programRegistry, ProfileGroupPath(name, SettingCatalogue::SubkeyName(kind)),
                  false);
    RegistryHandle& stored = c_.programRegistry;
    Line(kind == SettingKind::Direct3D ? "Direct3D" : "Glide");
    for (int n : SettingCatalogue::ListSettings(kind)) {
      const SettingInfo& info = c_.catalogue.Info(kind, n);
      std::optional<std::string> text;
      if (stored.ValueExists(info.valueName)) text = stored.ReadString(info.valueName);
      const int choice = c_.catalogue.ChoiceForText(kind, n, text);
      Line("  " + info.caption + ": " +
           (choice >= 0 ? c_.catalogue.ChoiceCaption(kind, n, choice)
                        : (text ? *text : std::string("default")) +
                              " (no card model chosen yet)"));
    }
    const SettingNumbers gammas = SettingCatalogue::GammaSettings(kind);
    for (size_t i = 0; i < gammas.size(); ++i) {
      const SettingInfo& info = c_.catalogue.Info(kind, gammas[i]);
      const std::string text = stored.ValueExists(info.valueName)
                                   ? stored.ReadString(info.valueName)
                                   : std::string(kGammaFallback);
      Line("  " + info.caption + " (" + kGammaColours[i] + "): " + text);
    }
    for (int n : SettingCatalogue::SwitchSettings(kind)) {
      const SettingInfo& info = c_.catalogue.Info(kind, n);
      Line("  " + info.caption + ": " + (stored.ValueExists(info.valueName) ? "on" : "off"));
    }
  }

  int Show(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    const std::string& name = args[0];
    RequireProfile(name);
    LoadCardModel();
    {
      ScopedKey key(c_.programRegistry, ProfileKeyPath(name), false);
      RegistryHandle& r = c_.programRegistry;
      Line("Profile: " + name);
      Line("Program: " + r.ReadString("FilePath"));
      Line("Parameters: " + r.ReadString("Parameters"));
      Line("Directory: " + r.ReadString("Directory"));
      const int32_t poll = r.ValueExists("Poll") ? r.ReadInteger("Poll") : 3;
      Line("Poll: " + std::to_string(poll) + " seconds");
      Line("Desktop mode: " + (r.ValueExists("Desktop Mode")
                                   ? std::to_string(r.ReadInteger("Desktop Mode"))
                                   : std::string("unchanged")));
    }
    ShowGroup(name, SettingKind::Direct3D);
    ShowGroup(name, SettingKind::Glide);
    const std::vector<AdoptedLink> adopted = Adoption().List(name);
    if (!adopted.empty()) Line("Adopted shortcuts");
    for (const AdoptedLink& link : adopted) {
      Line("  " + link.file + " (was " + link.original.target +
           (link.original.arguments.empty() ? "" : " " + link.original.arguments) + ")");
    }
    return kExitOk;
  }

  int Export(const std::vector<std::string>& args) {
    if (args.size() < 2) throw UsageError();
    const std::string& path = args[0];
    std::vector<std::string> names(args.begin() + 1, args.end());
    if (names.size() == 1 && names[0] == "--all") {
      names = ProfileNames();
      if (names.empty()) throw Failure{"there are no profiles to export"};
    } else {
      for (const std::string& name : names) {
        if (name == "--all") throw UsageError();
      }
    }
    RegFile file;
    std::string error;
    if (!ExportProfiles(c_.programRegistry, names, c_.compare, &file, &error)) {
      throw Failure{error};
    }
    if (!c_.console.WriteFile(path, WriteRegedit4(file), &error)) throw Failure{error};
    return kExitOk;
  }

  int Import(const std::vector<std::string>& args) {
    std::string path;
    ImportOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--replace") {
        options.replace = true;
      } else if (args[i] == "--settings-only") {
        options.settingsOnly = true;
      } else if (args[i] == "--as") {
        if (i + 1 >= args.size() || !options.asName.empty()) throw UsageError();
        options.asName = args[++i];
        if (options.asName.empty()) throw UsageError();
      } else if (args[i].compare(0, 2, "--") == 0 || !path.empty()) {
        throw UsageError();
      } else {
        path = args[i];
      }
    }
    if (path.empty() || (options.settingsOnly && options.asName.empty())) throw UsageError();
    std::string bytes, error;
    if (!c_.console.ReadFile(path, &bytes, &error)) throw Failure{error};
    const RegFileParse parsed = ParseRegFile(bytes, c_.ansi);
    if (!parsed.ok) throw Failure{path + ": " + parsed.error};
    std::vector<std::string> imported;
    if (!ImportProfiles(c_.programRegistry, parsed.file, options, &imported, &error)) {
      throw Failure{path + ": " + error};
    }
    for (const std::string& name : imported) ReportProgram(name);
    return kExitOk;
  }

  // A shared file decides what "Run" starts, so the user must see it, and
  // hear when that program is not on this machine.
  void ReportProgram(const std::string& name) {
    std::string program;
    {
      ScopedKey key(c_.programRegistry, ProfileKeyPath(name), false);
      if (key && c_.programRegistry.HasString("FilePath")) {
        program = c_.programRegistry.ReadString("FilePath");
      }
    }
    if (program.empty()) {
      Line("Imported \"" + name + "\": runs no program");
      return;
    }
    Line("Imported \"" + name + "\": runs " + program);
    if (!c_.console.FileExists(program)) {
      c_.console.Err("tarnwick-cli: warning: " + program + " does not exist on this machine\r\n");
    }
  }

  int Apply(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    const std::string& name = args[0];
    const std::string driverKey = FindDriver();
    RequireProfile(name);
    LoadCardModel();
    DriverSettings driver(c_.catalogue, c_.programRegistry, c_.driverRegistry, driverKey);
    // As a command-line run does: nothing of the profile is created.
    driver.ApplyProfileSettings(name, true);
    return kExitOk;
  }

  int Restore(const std::vector<std::string>& args) {
    if (args.size() > 1 || (args.size() == 1 && args[0] != "--owed")) throw UsageError();
    const bool owedOnly = !args.empty();
    RestoreJournal journal(c_.driverRegistry, c_.programRegistry);
    std::optional<JournalRecord> owed = journal.Read();
    // Nothing owed: a swap now would put a game's settings back on.
    if (owedOnly && !owed) return kExitOk;
    const std::string driverKey = FindDriver();
    DriverSettings driver(c_.catalogue, c_.programRegistry, c_.driverRegistry, driverKey);
    if (owed && RestoreJournal::FinishWrites(driver, *owed)) {
      journal.Clear();
      return kExitOk;
    }
    // As the tray's "Reset to previous settings": a restore owed after a
    // watched run is settled by this one, so none is left pending.
    journal.Restore(driver, -1, -1);
    journal.Clear();
    return kExitOk;
  }

  // The driver's two keys as a REGEDIT4 file that deletes them and writes
  // them whole, so importing it gives them back exactly as they are now.
  // Only reads: the driver is found without the conversions a start makes.
  int ExportDriver(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    std::string driverKey;
    if (!FindDriverKey(c_.driverRegistry, c_.compare, driverKey, nullptr)) {
      throw Failure{kNoVoodooMessage};
    }
    const std::string::size_type first = driverKey.find_first_not_of('\\');
    const std::string inFile = "HKEY_LOCAL_MACHINE\\" + driverKey.substr(first);
    const char* groups[] = {SettingCatalogue::SubkeyName(SettingKind::Direct3D),
                            SettingCatalogue::SubkeyName(SettingKind::Glide)};
    RegFile file;
    for (const char* group : groups) {
      RegFileKey removal;
      removal.path = JoinKeyPath(inFile, group);
      removal.remove = true;
      file.keys.push_back(removal);
    }
    for (const char* group : groups) {
      ExportTree(c_.driverRegistry, DriverGroupPath(driverKey, group), JoinKeyPath(inFile, group),
                 c_.compare, &file);
    }
    std::string error;
    if (!c_.console.WriteFile(args[0], WriteRegedit4(file), &error)) throw Failure{error};
    return kExitOk;
  }

  LinkAdoption Adoption() {
    // The driver's handle is the machine's registry: all users' records live there.
    return LinkAdoption(c_.programRegistry, c_.driverRegistry, c_.links, c_.tarnwickExe);
  }

  // What changed, one line each, what was left on purpose, then what was
  // left alone; 1 when anything was left alone or the work failed.
  int Report(const AdoptionReport& report, const char* verb) {
    for (const std::string& file : report.changed) Line(verb + file);
    for (const std::string& file : report.left) Line("Left " + file);
    for (const std::string& problem : report.problems) {
      c_.console.Err("tarnwick-cli: " + problem + "\r\n");
    }
    if (report.kept > 0) {
      c_.console.Err("tarnwick-cli: " + std::to_string(report.kept) +
                     " shortcut(s) still start Tarnwick; their records are kept for a later "
                     "unadopt\r\n");
    }
    return report.problems.empty() ? kExitOk : kExitFailed;
  }

  int Adopt(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    const std::string& name = args[0];
    RequireProfile(name);
    RequireTarnwick();
    std::string program;
    {
      ScopedKey key(c_.programRegistry, ProfileKeyPath(name), false);
      program = c_.programRegistry.ReadString("FilePath");
    }
    const std::vector<FoundLink> found = FindProgramLinks(c_.links, program, c_.tarnwickExe);
    if (found.empty()) throw Failure{"no shortcut starts " + program};
    return Report(Adoption().Adopt(name, found), "Adopted ");
  }

  int Unadopt(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    if (args[0] == "--all") return Report(Adoption().UnadoptAll(), "Put back ");
    if (args[0] == "--all-users") return Report(Adoption().UnadoptAllUsers(), "Put back ");
    RequireProfile(args[0]);
    return Report(Adoption().Unadopt(args[0]), "Put back ");
  }

  std::string RequireTarnwick() {
    if (c_.tarnwickExe.empty()) throw Failure{"tarnwick.exe was not found beside tarnwick-cli.exe"};
    return c_.tarnwickExe;
  }

  // After an install moved to another folder; the installer runs this from the new one.
  int Relink(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    const std::string to = RequireTarnwick();
    AdoptionReport report = Adoption().Relink(args[0]);
    const AdoptionReport desktop =
        FollowEditorShortcuts(c_.links, Adoption().RecordedFiles(), args[0], to);
    for (const std::string& file : desktop.changed) report.changed.push_back(file);
    for (const std::string& problem : desktop.problems) report.problems.push_back(problem);
    return Report(report, "Now starts this Tarnwick: ");
  }

  int RemoveShortcuts(const std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError();
    return Report(FollowEditorShortcuts(c_.links, Adoption().RecordedFiles(), RequireTarnwick(), ""),
                  "Deleted ");
  }

  CompanionContext& c_;
};

}  // namespace

int RunCompanion(const std::vector<std::string>& args, CompanionContext& context) {
  return Companion(context).Run(args);
}

}  // namespace tw
