// The system's ANSI code page for the text walks of platform/ansi_text.h.
#pragma once

namespace tw {

// Called first thing at start-up, before any path or name is walked.
void UseSystemCodePage();

}  // namespace tw
