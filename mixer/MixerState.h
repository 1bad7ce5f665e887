// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/MixerTypes.h"

namespace tessmar {

// Room in the item lists of the input-selection control; a control with more items is
// treated by its first kMaxSelectionItems.
inline constexpr int kMaxSelectionItems = 51;

// Everything the mixer setup works on. One instance lives as long as the program; only
// handle, level, minimum and maximum are reset when the mixer is opened or closed, the
// rest keeps what the last call left, also from the previous recording.
struct MixerState {
    HMIXER handle = 0;
    MIXERLINEA line{};
    MIXERLINECONTROLSA controlRequest{};
    // The control the most recent successful lookup found.
    MIXERCONTROLA control{};
    MIXERCONTROLDETAILS detailsRequest{};
    MIXERCONTROLDETAILS_UNSIGNED level{};
    // Bounds of the current control.
    LONG minimum = 0;
    LONG maximum = 0;
    // Items of the input-selection control: dwParam1 is the source line ID, dwParam2 its
    // component type.
    MIXERCONTROLDETAILS_LISTTEXTA itemTexts[kMaxSelectionItems]{};
    MIXERCONTROLDETAILS_BOOLEAN itemStates[kMaxSelectionItems]{};
};

} // namespace tessmar
