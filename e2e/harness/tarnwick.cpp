#include "harness/tarnwick.h"

#include <windows.h>

#include "harness/options.h"
#include "harness/reg_file.h"
#include "harness/registry.h"
#include "harness/wait.h"
#include "harness/window_probe.h"

namespace e2e {

std::string FileName(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void PinWindowsVersion(const std::string& exeName, const std::string& version) {
  WriteValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + exeName, "Version",
             StringValue(version));
}

void PlantFixture(const std::string& fileName) {
  PlantRegFile(TestOptions().fixtureDir + "\\" + fileName);
}

void ResetTarnwickState() {
  KillProcessesNamed(FileName(TestOptions().tarnwickExe));
  DeleteTree(HKEY_CURRENT_USER, kProgramKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kProgramKey);  // a restore the machine owes
  DeleteTree(HKEY_CURRENT_USER, "Software\\Hexmoor\\Tarnwick Adopted Shortcuts");
  PlantFixture(kNoDriver);
}

ChildProcess StartTarnwick(const std::string& arguments) {
  return ChildProcess::Start(TestOptions().tarnwickExe, arguments);
}

std::string CompanionExe() {
  const std::string& exe = TestOptions().tarnwickExe;
  return exe.substr(0, exe.size() - FileName(exe).size()) + "tarnwick-cli.exe";
}

std::optional<DWORD> RunToExit(const std::string& exe, const std::string& arguments) {
  ChildProcess program = ChildProcess::Start(exe, arguments);
  return program.WaitForExit(kDefaultTimeoutMs);
}

HWND WaitForProgramWindow(const ChildProcess& program, const std::string& className,
                          const std::optional<std::string>& caption) {
  HWND found = nullptr;
  WaitUntil([&] {
    found = FindTopWindow(program.id(), className, caption);
    return found != nullptr || !program.Running();
  });
  return found;
}

}  // namespace e2e
