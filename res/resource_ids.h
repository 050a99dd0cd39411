// Resource numbers, shared by the .rc file and the code.
#pragma once

#define IDI_MAINICON 1
#define IDI_BROKEN 2
