// The soak run: many watched runs of the stand-in game through the real
// program, each chosen from the tray's Run submenu by its menu command. After
// every restore both driver subkeys must hold exactly what they held before
// the run, and the program's handle and GDI/USER object counts must not
// creep up. Not part of `make test`: `make soak` runs it.
//   tarnwick_soak --tarnwick=EXE --game=EXE --fixtures=DIR --winver=V [--runs=N]
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "harness/driver_game.h"
#include "harness/driver_registry.h"
#include "harness/options.h"
#include "harness/registry.h"
#include "harness/tarnwick.h"
#include "harness/tray_menu.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "shell/menu_ids.h"

namespace e2e {
namespace {

int g_runs = 200;
constexpr DWORD kRunTimeoutMs = 30000;
constexpr char kProfile[] = "Soak";
constexpr char kDriverKey[] = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0";

// The profile's values, and a driver that already holds them as previous
// values (the state every restore leaves), so that each run must give back
// exactly the key it found.
const ValueTable kProfileD3D = {
    {"SSTH3_OVERLAYMODE", "3"}, {"SSTH3_LOD_BIAS", "-2"}, {"SSTH3_RGAMMA", "1.60"},
    {"SSTH3_SWAPINTERVAL", "0"}};
const ValueTable kProfileGlide = {
    {"FX_GLIDE_BPP", "32"}, {"FX_GL_HSR", "2"}, {"SSTH3_GGAMMA", "0.90"},
    {"FX_GLIDE_TMU_MEMSIZE", "2"}};
const ValueTable kDriverD3D = {
    {"SSTH3_OVERLAYMODE", "1"},      {"Prev SSTH3_OVERLAYMODE", "3"},
    {"SSTH3_LOD_BIAS", "0"},         {"Prev SSTH3_LOD_BIAS", "-2"},
    {"SSTH3_RGAMMA", "1.10"},        {"Prev SSTH3_RGAMMA", "1.60"},
    {"SSTH3_GGAMMA", "1.30"},        {"Prev SSTH3_GGAMMA", "1.30"},
    {"SSTH3_BGAMMA", "1.30"},        {"Prev SSTH3_BGAMMA", "1.30"},
    {"Prev SSTH3_SWAPINTERVAL", "0"}, {"OtherDriverValue", "kept"}};
const ValueTable kDriverGlide = {
    {"FX_GLIDE_BPP", "16"},          {"Prev FX_GLIDE_BPP", "32"},
    {"FX_GL_HSR", "0"},              {"Prev FX_GL_HSR", "2"},
    {"SSTH3_RGAMMA", "1.30"},        {"Prev SSTH3_RGAMMA", "1.30"},
    {"SSTH3_GGAMMA", "1.20"},        {"Prev SSTH3_GGAMMA", "0.90"},
    {"SSTH3_BGAMMA", "1.30"},        {"Prev SSTH3_BGAMMA", "1.30"},
    {"Prev FX_GLIDE_TMU_MEMSIZE", "2"}};

struct Counts {
  DWORD handles = 0;
  DWORD gdi = 0;
  DWORD user = 0;
  DWORD windows = 0;     // the program's windows, top-level and child
  DWORD privateKb = 0;   // committed private memory
};

// The system's handle table, for where GetProcessHandleCount says nothing
// (Wine answers 0): the entries that belong to the process.
DWORD HandlesInSystemTable(DWORD processId) {
  struct Entry {
    USHORT process;
    USHORT backTrace;
    UCHAR type;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 0;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<char> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kLengthMismatch &&
         buffer.size() < (64u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return 0;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
  DWORD mine = 0;
  for (ULONG i = 0; i < count; ++i) {
    if (entries[i].process == static_cast<USHORT>(processId)) ++mine;
  }
  return mine;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<DWORD*>(counter);
  return TRUE;
}

struct WindowCount {
  DWORD processId;
  DWORD count;
};

BOOL CALLBACK CountTop(HWND window, LPARAM state) {
  auto* windows = reinterpret_cast<WindowCount*>(state);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->processId) return TRUE;
  ++windows->count;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&windows->count));
  return TRUE;
}

Counts CountsOf(DWORD processId) {
  Counts counts;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return counts;
  GetProcessHandleCount(process, &counts.handles);
  if (counts.handles == 0) counts.handles = HandlesInSystemTable(processId);
  counts.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  counts.user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    counts.privateKb = static_cast<DWORD>(memory.PagefileUsage / 1024);
  }
  CloseHandle(process);
  WindowCount windows{processId, 0};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&windows));
  counts.windows = windows.count;
  return counts;
}

std::string Group(const char* group) { return std::string(kDriverKey) + "\\" + group; }

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTarnwickState();
    KillProcessesNamed(FileName(TestOptions().gameExe));
    PlantFixture(kWin2000Voodoo5);
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "VoodooType", DwordValue(5500));
    WriteValue(HKEY_CURRENT_USER, kProgramKey, "Reload settings", DwordValue(1));
    const std::string profile = std::string(kProgramKey) + "\\" + kProfile;
    WriteValue(HKEY_CURRENT_USER, profile, "FilePath", StringValue(TestOptions().gameExe));
    WriteValue(HKEY_CURRENT_USER, profile, "Parameters", StringValue("--sleep=300 --exit=0"));
    WriteValue(HKEY_CURRENT_USER, profile, "Poll", DwordValue(1));
    WriteValueTable(HKEY_CURRENT_USER, profile + "\\D3D", kProfileD3D);
    WriteValueTable(HKEY_CURRENT_USER, profile + "\\Glide", kProfileGlide);
    WriteValueTable(HKEY_LOCAL_MACHINE, Group("D3D"), kDriverD3D);
    WriteValueTable(HKEY_LOCAL_MACHINE, Group("Glide"), kDriverGlide);
  }

  void TearDown() override {
    KillProcessesNamed(FileName(TestOptions().gameExe));
    ResetTarnwickState();
  }
};

TEST_F(Soak, WatchedRunsGiveBackTheDriverKeyAndLeakNothing) {
  ChildProcess tarnwick = StartTarnwick();
  ASSERT_TRUE(tarnwick.WaitForIdle(kRunTimeoutMs)) << "start-up did not finish";
  HWND main = FindTopWindow(tarnwick.id(), kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kRunTimeoutMs)) << "no tray icon";

  const std::optional<ValueTable> d3dBefore = ReadValueTable(HKEY_LOCAL_MACHINE, Group("D3D"));
  const std::optional<ValueTable> glideBefore = ReadValueTable(HKEY_LOCAL_MACHINE, Group("Glide"));
  ASSERT_TRUE(d3dBefore && glideBefore);
  const std::string game = FileName(TestOptions().gameExe);

  std::vector<Counts> counts;
  const DWORD started = GetTickCount();
  for (int run = 1; run <= g_runs; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    // "Soak" is the only item of the Run submenu.
    ASSERT_TRUE(PostMenuCommand(main, tw::menu_id::kFirstRunItem));
    ASSERT_TRUE(WaitUntil([&] { return ReadValueTable(HKEY_LOCAL_MACHINE, Group("D3D")) != d3dBefore; },
                          kRunTimeoutMs))
        << "the profile was never written";
    ASSERT_TRUE(WaitUntil([&] { return !ProcessRunningNamed(game); }, kRunTimeoutMs))
        << "the game did not end";
    const bool restored = WaitUntil(
        [&] {
          return ReadValueTable(HKEY_LOCAL_MACHINE, Group("D3D")) == d3dBefore &&
                 ReadValueTable(HKEY_LOCAL_MACHINE, Group("Glide")) == glideBefore;
        },
        kRunTimeoutMs);
    if (!restored) {
      ADD_FAILURE() << "D3D:\n"
                    << DescribeDifferences(*d3dBefore, *ReadValueTable(HKEY_LOCAL_MACHINE, Group("D3D")))
                    << "Glide:\n"
                    << DescribeDifferences(*glideBefore,
                                           *ReadValueTable(HKEY_LOCAL_MACHINE, Group("Glide")));
      break;
    }
    ASSERT_TRUE(tarnwick.Running()) << "the program ended";
    counts.push_back(CountsOf(tarnwick.id()));
  }
  const DWORD seconds = (GetTickCount() - started) / 1000;
  ASSERT_EQ(static_cast<int>(counts.size()), g_runs);

  // No creep: the second half of the runs never needs more than the first.
  auto peak = [&](size_t from, size_t to, DWORD Counts::*field) {
    DWORD most = 0;
    for (size_t i = from; i < to; ++i) most = std::max(most, counts[i].*field);
    return most;
  };
  const size_t half = counts.size() / 2;
  std::printf("soak: %d watched runs in %lu s; after run 1 / %zu / %zu:\n", g_runs,
              static_cast<unsigned long>(seconds), half, counts.size());
  for (const auto& [label, field] :
       {std::make_pair("handles", &Counts::handles), std::make_pair("GDI objects", &Counts::gdi),
        std::make_pair("USER objects", &Counts::user), std::make_pair("windows", &Counts::windows)}) {
    std::printf("  %-12s %lu / %lu / %lu (peak of the first half %lu, of the second %lu)\n", label,
                static_cast<unsigned long>(counts.front().*field),
                static_cast<unsigned long>(counts[half - 1].*field),
                static_cast<unsigned long>(counts.back().*field),
                static_cast<unsigned long>(peak(0, half, field)),
                static_cast<unsigned long>(peak(half, counts.size(), field)));
    EXPECT_LE(peak(half, counts.size(), field), peak(0, half, field)) << label << " grow";
  }
  // Memory is reported, not judged: the heap settles at its own pace.
  std::printf("  %-12s %lu / %lu / %lu KiB private\n", "memory",
              static_cast<unsigned long>(counts.front().privateKb),
              static_cast<unsigned long>(counts[half - 1].privateKb),
              static_cast<unsigned long>(counts.back().privateKb));
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // --runs=N is the soak's own; the rest are the harness options.
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--runs=", 7) == 0) {
      e2e::g_runs = std::max(2, std::atoi(argv[i] + 7));
    } else {
      rest.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(rest.size());
  const std::string error = e2e::ParseOptions(&count, rest.data());
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  const e2e::Options& options = e2e::TestOptions();
  e2e::PinWindowsVersion(e2e::FileName(options.tarnwickExe), options.winVersion);
  e2e::PinWindowsVersion(e2e::FileName(options.gameExe), options.winVersion);
  return RUN_ALL_TESTS();
}
