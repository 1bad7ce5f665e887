// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/MixerTypes.h"

namespace tessmar {

// The six operations of the sound card mixer that the mixer setup uses. A mixer is a set
// of destination lines (where sound goes: speakers, the recording input), each with source
// lines feeding it; every line has controls (volume, mute, input selection). Each call
// reports success by MMSYSERR_NOERROR and anything else is failure.
//
// AlsaMixer is the real one; the tests use a fake that records every call.
class MixerApi {
public:
    virtual ~MixerApi() = default;

    // Sets *mixer to a non-zero handle on success.
    virtual MMRESULT mixerOpen(HMIXER* mixer, DWORD deviceId, std::uintptr_t callback,
                               std::uintptr_t instance, DWORD flags) = 0;
    // MIXER_GETLINEINFOF_DESTINATION (dwDestination), _SOURCE (dwDestination, dwSource) or
    // _COMPONENTTYPE (dwComponentType) select the line; the rest of *line is filled.
    virtual MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) = 0;
    // MIXER_GETLINECONTROLSF_ONEBYTYPE fills the first control of dwControlType of the line,
    // _ALL fills all cControls of them.
    virtual MMRESULT mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* controls,
                                           DWORD flags) = 0;
    // MIXER_GETCONTROLDETAILSF_VALUE or _LISTTEXT (the items of a list control).
    virtual MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                             DWORD flags) = 0;
    virtual MMRESULT mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                            DWORD flags) = 0;
    virtual MMRESULT mixerClose(HMIXER mixer) = 0;
};

} // namespace tessmar
