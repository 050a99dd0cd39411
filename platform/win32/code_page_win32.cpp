#include "platform/win32/code_page_win32.h"

#include <windows.h>

#include "platform/ansi_text.h"

namespace tw {

void UseSystemCodePage() {
  // The system's own lead-byte ranges: right for any double-byte code page,
  // not only those the native tests know.
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info)) return;
  CodePage page{GetACP(), {}};
  for (int i = 0; i + 1 < MAX_LEADBYTES && i + 1 < 12; i += 2) {
    page.leadRanges[i] = info.LeadByte[i];
    page.leadRanges[i + 1] = info.LeadByte[i + 1];
  }
  SetSystemCodePage(page);
}

}  // namespace tw
