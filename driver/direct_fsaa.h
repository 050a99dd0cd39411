// The "Direct FSAA" items: which anti-aliasing choice each writes into the
// live driver settings, and which of them a card model offers.
#pragma once

#include "driver/driver_settings.h"

namespace tw {

enum class DirectFsaaItem { SingleChip, Fastest, Fsaa2x, Fsaa4x, Fsaa8x };

// The choice index of the FSAA list the item writes under `cardModel`; -1
// when it writes nothing ("Fastest" and "2x FSAA" without a known model).
int DirectFsaaChoice(DirectFsaaItem item, int cardModel);

// Whether the item is shown under `cardModel`; all are while no model is known.
bool DirectFsaaItemShown(DirectFsaaItem item, int cardModel);

// Writes the item's choice into both driver groups, recording the replaced
// texts as previous values. An index the current list lacks writes nothing.
void ApplyDirectFsaa(DriverSettings& driver, DirectFsaaItem item, int cardModel);

}  // namespace tw
