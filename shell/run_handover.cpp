#include "shell/run_handover.h"

#include <utility>

namespace tw {

namespace {

constexpr std::string::size_type kHeaderSize = 8;

void PutWord(std::string& out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((word >> (8 * i)) & 0xFF);
}

uint32_t GetWord(const std::string& in, std::string::size_type at) {
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = (word << 8) | static_cast<unsigned char>(in[at + i]);
  return word;
}

}  // namespace

std::string EncodeHandOver(const HandedOverRun& run) {
  std::string bytes;
  PutWord(bytes, run.sentAt);
  PutWord(bytes, static_cast<uint32_t>(run.showCommand));
  return bytes + run.profile;
}

bool DecodeHandOver(const std::string& bytes, HandedOverRun* run) {
  if (bytes.size() <= kHeaderSize) return false;
  std::string profile = bytes.substr(kHeaderSize);
  if (profile.find('\0') != std::string::npos) return false;
  run->sentAt = GetWord(bytes, 0);
  run->showCommand = static_cast<int>(GetWord(bytes, 4));
  run->profile = std::move(profile);
  return true;
}

}  // namespace tw
