// Entry of the end-to-end test programs: takes the harness options, pins the
// Windows version for the programs under test, runs the tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

#include "harness/options.h"
#include "harness/tarnwick.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const std::string error = e2e::ParseOptions(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  const e2e::Options& options = e2e::TestOptions();
  try {
    e2e::PinWindowsVersion(e2e::FileName(options.tarnwickExe), options.winVersion);
    e2e::PinWindowsVersion(e2e::FileName(options.gameExe), options.winVersion);
    e2e::PinWindowsVersion(e2e::FileName(e2e::CompanionExe()), options.winVersion);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cannot pin the Windows version: %s\n", e.what());
    return 2;
  }
  std::printf("Programs under test run as %s.\n", options.winVersion.c_str());
  return RUN_ALL_TESTS();
}
