// A sweep's scenario as a test name: the letters and digits of its own name.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tw {

template <typename Scenario>
std::string ScenarioTestName(const ::testing::TestParamInfo<Scenario>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name;
}

}  // namespace tw
