// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mixer/MixerState.h"
#include "platform/mixer/MixerApi.h"

#include <cstdint>

namespace tessmar {

// Prepares the sound card's mixer before a recording: unmutes the speakers, the digital
// and synthesizer lines and the recording destination with all its sources, sets their
// levels from the volume slider, selects the microphone as recording source and sets its
// level. Reports nothing: a failing call only skips what depends on it.
//
// Keep one instance for the whole run of the program (its state carries over between
// recordings) and call Apply just before each capture starts.
class MixerSetup {
public:
    explicit MixerSetup(MixerApi& api) : api_(api) {}

    // The whole setup, from opening the mixer to closing it. position is the volume
    // slider's position 0..100.
    void Apply(std::int32_t position);

    const MixerState& state() const { return state_; }

    // The single steps; public so that each can be checked on its own.
    void OpenMixer();
    void CloseMixer();
    bool FindTypeControl(DWORD componentType, DWORD controlType);
    bool FindDestinationControl(DWORD controlType);
    bool FindSourceControl(DWORD source, DWORD controlType);
    bool FindLineControl(DWORD lineId, DWORD controlType);
    bool FindSelectionControl();
    void ReadSelectionTexts();
    void ReadSelectionStates();
    void WriteSelectionStates();
    void SetLevel(std::int32_t position);

private:
    // Index of the recording destination among the mixer's destinations.
    static constexpr DWORD kRecordingDestination = 1;

    bool QueryLine(DWORD flags);
    bool QueryControl(DWORD lineId, DWORD controlType);
    void RequestSelectionDetails(DWORD cbDetails, void* details);
    // Items of the current control that the item lists hold.
    int ItemCount() const;
    // Selects the recording source (step 11) and returns the line ID of the selected
    // source, 0 when none is selected.
    DWORD SelectRecordingSource();
    void MarkWantedItems();

    MixerApi& api_;
    MixerState state_;
};

} // namespace tessmar
