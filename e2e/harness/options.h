// What one run of an end-to-end test program works on, from its command line:
// the programs under test, the fixture folder and the Windows version that
// Wine reports to the programs it starts.
#pragma once

#include <string>

namespace e2e {

struct Options {
  std::string tarnwickExe;  // Windows path
  std::string gameExe;      // Windows path
  std::string fixtureDir;   // Windows path, no trailing backslash
  std::string winVersion;   // a Wine version name: "win98", "win2k", "winxp"
  std::string setupExe;     // Windows path; only the install tests need it
};

// Takes --tarnwick=, --game=, --fixtures=, --winver= and the optional
// --setup= out of argv (paths may be Unix paths) and returns an error text,
// empty when the four were given.
std::string ParseOptions(int* argc, char** argv);

const Options& TestOptions();

// The Windows form of a path; Unix paths go through Wine's own conversion.
std::string ToWindowsPath(const std::string& path);

}  // namespace e2e
