// .reg files come from strangers (profiles shared on forums), so the reader
// takes any bytes without crashing, and whatever it accepts survives the
// round trip the companion makes: written as REGEDIT4 and read again, the
// same keys and values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/fake/fake_console.h"
#include "store/reg_file.h"

namespace {

bool SameValues(const tw::RegFileValue& a, const tw::RegFileValue& b) {
  return a.name == b.name && a.remove == b.remove && a.value.type == b.value.type &&
         a.value.bytes == b.value.bytes;
}

bool SameKeys(const tw::RegFile& a, const tw::RegFile& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const tw::RegFileKey& x = a.keys[k];
    const tw::RegFileKey& y = b.keys[k];
    if (x.path != y.path || x.remove != y.remove || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v) {
      if (!SameValues(x.values[v], y.values[v])) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tw::fuzz::Require;
  static const tw::FakeAnsiConverter ansi;
  const tw::RegFileParse read =
      tw::ParseRegFile(std::string(reinterpret_cast<const char*>(data), size), ansi);
  if (!read.ok) {
    Require(read.file.keys.empty() && !read.error.empty(), "a refused file gives no keys, and why");
    return 0;
  }
  const std::string written = tw::WriteRegedit4(read.file);
  const tw::RegFileParse again = tw::ParseRegFile(written, ansi);
  Require(again.ok, "what was written is read back");
  Require(SameKeys(read.file, again.file), "read, written and read again: the same keys and values");
  Require(tw::WriteRegedit4(again.file) == written, "writing is stable");
  return 0;
}
