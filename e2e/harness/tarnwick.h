// What the tests know about the program under test: its window classes, its
// registry key, how to start it in a known state.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "harness/process.h"

namespace e2e {

constexpr char kAppTitle[] = "Tarnwick";
constexpr char kMainWindowClass[] = "TForm2";
constexpr char kCardDialogClass[] = "TForm4";
constexpr char kProgramKey[] = "Software\\Hexmoor\\Tarnwick";

// Fixture files of e2e/fixtures.
constexpr char kWin98Voodoo5[] = "win98-voodoo5.reg";
constexpr char kWin2000Voodoo5[] = "win2000-voodoo5.reg";
constexpr char kNoDriver[] = "no-driver.reg";

// The file name of a path ("tarnwick.exe").
std::string FileName(const std::string& path);

// Makes Wine report `version` ("win98", "winxp", ...) to every later start
// of the program with this file name.
void PinWindowsVersion(const std::string& exeName, const std::string& version);

// Applies a fixture file from the fixture folder.
void PlantFixture(const std::string& fileName);

// No Tarnwick running, no program key, no driver entry in either layout.
void ResetTarnwickState();

ChildProcess StartTarnwick(const std::string& arguments = std::string());

// tarnwick-cli.exe, built beside tarnwick.exe.
std::string CompanionExe();

// Runs a console program to its end; its exit code, or nothing when it did
// not end in time (it is then ended).
std::optional<DWORD> RunToExit(const std::string& exe, const std::string& arguments);

// Polls for a top-level window of the program; gives up early when the
// program has ended.
HWND WaitForProgramWindow(const ChildProcess& program, const std::string& className,
                          const std::optional<std::string>& caption = std::nullopt);

}  // namespace e2e
