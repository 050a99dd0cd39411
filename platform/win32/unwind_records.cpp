// How the unwinder finds the record (FDE) that says how to leave the
// function a return address lies in, while an exception passes. The runtime's
// version keeps a registry of modules, sorts their records at the first throw
// and searches them by halves under a lock: about 10 KB of the exe. Here one
// module registers (the exe, through crtbegin) and exceptions are rare (a
// refused registry write, a failed command), so its few hundred records are
// walked in order: far less than a millisecond a throw. These definitions take
// the runtime's place at link time.
#include <cstdint>
#include <cstring>
#include <unwind.h>

namespace {

// The exe's unwind records (.eh_frame), ended by a zero length.
const unsigned char* registeredRecords = nullptr;

// Pointer encodings: the low four bits give the format, 0x70 how it applies.
constexpr unsigned char kOmitted = 0xff;
constexpr unsigned char kFormat = 0x0f;
constexpr unsigned char kApplication = 0x70;
constexpr unsigned char kPcRelative = 0x10;

// A LEB128 number, the signed form extended from its last byte's sign bit.
uintptr_t ReadLeb(const unsigned char** p, bool isSigned) {
  uintptr_t value = 0;
  unsigned shift = 0;
  unsigned char byte;
  do {
    byte = *(*p)++;
    if (shift < 8 * sizeof value) value |= static_cast<uintptr_t>(byte & 0x7f) << shift;
    shift += 7;
  } while (byte & 0x80);
  if (isSigned && shift < 8 * sizeof value && (byte & 0x40)) value |= ~uintptr_t{0} << shift;
  return value;
}

template <typename T>
uintptr_t ReadFixed(const unsigned char** p) {
  T value;
  std::memcpy(&value, *p, sizeof value);
  *p += sizeof value;
  return static_cast<uintptr_t>(value);
}

// One encoded pointer. Absolute or relative to where it is stored; false for
// a format or an application this program's records never use.
bool ReadEncoded(unsigned char encoding, const unsigned char** p, uintptr_t* value) {
  const unsigned char* at = *p;
  switch (encoding & kFormat) {
    case 0x00:  // the pointer's own size
    case 0x03: *value = ReadFixed<uint32_t>(p); break;
    case 0x0b: *value = ReadFixed<int32_t>(p); break;
    case 0x02: *value = ReadFixed<uint16_t>(p); break;
    case 0x0a: *value = ReadFixed<int16_t>(p); break;
    case 0x01: *value = ReadLeb(p, false); break;
    case 0x09: *value = ReadLeb(p, true); break;
    default: return false;
  }
  // A zero stays zero: the record of a function the linker dropped.
  if ((encoding & kApplication) == kPcRelative && *value != 0) {
    *value += reinterpret_cast<uintptr_t>(at);
  } else if ((encoding & kApplication) != 0 && (encoding & kApplication) != kPcRelative) {
    return false;
  }
  return true;
}

// How the records under a CIE encode their addresses (its augmentation's 'R').
unsigned char AddressEncoding(const unsigned char* cie) {
  const unsigned char* p = cie + 8;  // past the length and the CIE mark
  const unsigned char version = *p++;
  const char* augmentation = reinterpret_cast<const char*>(p);
  p += std::strlen(augmentation) + 1;
  if (augmentation[0] != 'z') return augmentation[0] == '\0' ? 0x00 : kOmitted;
  ReadLeb(&p, false);  // code alignment
  ReadLeb(&p, true);   // data alignment
  if (version == 1) {
    ++p;  // return address register
  } else {
    ReadLeb(&p, false);
  }
  ReadLeb(&p, false);  // length of the augmentation data
  for (const char* letter = augmentation + 1; *letter != '\0'; ++letter) {
    switch (*letter) {
      case 'R': return *p;
      case 'L': ++p; break;  // the LSDA's encoding
      case 'P': {            // the personality routine: its encoding, then its address
        const unsigned char encoding = *p++;
        uintptr_t ignored;
        if (!ReadEncoded(encoding & kFormat, &p, &ignored)) return kOmitted;
        break;
      }
      case 'S': break;  // a signal frame
      default: return kOmitted;
    }
  }
  return 0x00;
}

struct EhBases {
  void* textBase;
  void* dataBase;
  void* function;
};

}  // namespace

extern "C" {

// crtbegin registers the exe's records at start and takes them back at exit.
void __register_frame_info(const void* records, void*) {
  if (registeredRecords == nullptr) registeredRecords = static_cast<const unsigned char*>(records);
}

void* __deregister_frame_info(const void*) { return nullptr; }

// The record of the function holding `pc`, with that function's start in
// `bases`; nullptr when none holds it (the unwinder then ends the program).
const void* _Unwind_Find_FDE(void* pc, EhBases* bases) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(pc);
  const unsigned char* lastCie = nullptr;
  unsigned char encoding = kOmitted;
  for (const unsigned char* record = registeredRecords; record != nullptr;) {
    const uint32_t length = static_cast<uint32_t>(ReadFixed<uint32_t>(&record));
    if (length == 0 || length == 0xffffffffu) break;  // the end, or a 64-bit record
    const unsigned char* body = record;
    record += length;
    const int32_t cieDistance = static_cast<int32_t>(ReadFixed<int32_t>(&body));
    if (cieDistance == 0) continue;  // a CIE
    const unsigned char* cie = body - 4 - cieDistance;
    if (cie != lastCie) {
      lastCie = cie;
      encoding = AddressEncoding(cie);
    }
    uintptr_t start = 0;
    uintptr_t size = 0;
    if (encoding == kOmitted || !ReadEncoded(encoding, &body, &start) || start == 0 ||
        !ReadEncoded(encoding & kFormat, &body, &size)) {
      continue;
    }
    if (address - start < size) {
      bases->textBase = nullptr;
      bases->dataBase = nullptr;
      bases->function = reinterpret_cast<void*>(start);
      return record - length - 4;
    }
  }
  return nullptr;
}

// Link-time optimisation gives many C++ functions the C language's personality
// routine, which runs their cleanups only; their tables are C++ tables all the
// same, so the C++ routine reads them, and honours the rest of what they say.
// One routine instead of two: 1.5 KB.
_Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class,
                                         _Unwind_Exception*, _Unwind_Context*);

__attribute__((used)) _Unwind_Reason_Code __gcc_personality_v0(int version, _Unwind_Action actions,
                                         _Unwind_Exception_Class exceptionClass,
                                         _Unwind_Exception* exception, _Unwind_Context* context) {
  return __gxx_personality_v0(version, actions, exceptionClass, exception, context);
}

}  // extern "C"
