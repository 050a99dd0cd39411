// The older level-of-detail texts in a profile: any stored string, with or
// without its terminator, is shortened once and then left alone.
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/fake/fake_registry.h"
#include "store/profile_store.h"
#include "store/registry_handle.h"

namespace {

constexpr const char* kD3D = "Software\\Hexmoor\\Tarnwick\\P\\D3D";
constexpr const char* kGlide = "Software\\Hexmoor\\Tarnwick\\P\\Glide";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tw::fuzz::Require;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = bytes.substr(0, bytes.find('\0'));

  tw::FakeRegistry reg;
  // The D3D text as written by a careful program, the Glide one as raw bytes.
  reg.PutString(tw::RootKey::CurrentUser, kD3D, "SSTH3_LOD_BIAS", text);
  reg.PutRaw(tw::RootKey::CurrentUser, kGlide, "FX_GLIDE_LOD_BIAS",
             tw::RawValue{tw::reg_type::kString, bytes});
  tw::RegistryHandle program(reg, tw::RootKey::CurrentUser);

  tw::ConvertLegacyLodBias(program, "P");
  const auto d3d = reg.GetString(tw::RootKey::CurrentUser, kD3D, "SSTH3_LOD_BIAS");
  const auto glide = reg.GetString(tw::RootKey::CurrentUser, kGlide, "FX_GLIDE_LOD_BIAS");
  Require(d3d.has_value() && glide.has_value(), "both values stay strings");
  Require(*d3d == *glide, "both groups shorten alike");
  if (text.size() <= 2) {
    Require(*d3d == text, "short texts stay");
  } else {
    Require(d3d->size() <= 2 && text.compare(0, d3d->size(), *d3d) == 0,
            "a long text becomes its first one or two characters");
    const bool signed_ = text[0] == '-' || text[0] == '+';
    Require(d3d->size() == (signed_ ? 2u : 1u), "a sign keeps its digit");
  }

  tw::ConvertLegacyLodBias(program, "P");
  Require(reg.GetString(tw::RootKey::CurrentUser, kD3D, "SSTH3_LOD_BIAS") == d3d,
          "a second conversion changes nothing");
  Require(reg.OpenHandles() == 0, "every key is closed");
  return 0;
}
