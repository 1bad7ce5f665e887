// SPDX-License-Identifier: GPL-3.0-or-later
#include "mixer/MixerSetup.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace tessmar {
namespace {

// The speakers are always set to half volume, whatever the slider says.
constexpr std::int32_t kSpeakerPosition = 50;

bool IsSelectionType(DWORD controlType) {
    return controlType == MIXERCONTROL_CONTROLTYPE_MUX ||
           controlType == MIXERCONTROL_CONTROLTYPE_MIXER;
}

bool NamesMicrophone(const MIXERCONTROLDETAILS_LISTTEXTA& item) {
    std::string name(item.szName, ::strnlen(item.szName, sizeof item.szName));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    // "MIK" catches the German "Mikrofon".
    return name.find("MIK") != std::string::npos || name.find("MIC") != std::string::npos;
}

} // namespace

void MixerSetup::Apply(std::int32_t position) {
    OpenMixer();

    if (FindTypeControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_MUTE)) {
        SetLevel(0);
    }
    if (FindTypeControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME)) {
        SetLevel(kSpeakerPosition);
    }
    for (const DWORD source :
         {MIXERLINE_COMPONENTTYPE_SRC_DIGITAL, MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER}) {
        if (FindTypeControl(source, MIXERCONTROL_CONTROLTYPE_MUTE)) {
            SetLevel(0);
        }
        if (FindTypeControl(source, MIXERCONTROL_CONTROLTYPE_VOLUME)) {
            SetLevel(position);
        }
    }

    if (FindDestinationControl(MIXERCONTROL_CONTROLTYPE_MUTE)) {
        SetLevel(0);
    }
    if (FindDestinationControl(MIXERCONTROL_CONTROLTYPE_VOLUME)) {
        SetLevel(position);
    }
    // Taken once: every source query below refills the line record.
    const DWORD sources = state_.line.cConnections;
    for (DWORD source = 0; source < sources; ++source) {
        if (FindSourceControl(source, MIXERCONTROL_CONTROLTYPE_MUTE)) {
            SetLevel(0);
        }
        if (FindSourceControl(source, MIXERCONTROL_CONTROLTYPE_VOLUME)) {
            SetLevel(position);
        }
    }

    const DWORD selectedLine = SelectRecordingSource();
    if (FindLineControl(selectedLine, MIXERCONTROL_CONTROLTYPE_VOLUME)) {
        SetLevel(position);
    }

    CloseMixer();
}

void MixerSetup::OpenMixer() {
    state_.handle = 0;
    state_.level.dwValue = 0;
    state_.minimum = 0;
    state_.maximum = 0;
    api_.mixerOpen(&state_.handle, 0, 0, 0, CALLBACK_NULL);
}

void MixerSetup::CloseMixer() {
    api_.mixerClose(state_.handle);
    state_.handle = 0;
    state_.level.dwValue = 0;
    state_.minimum = 0;
    state_.maximum = 0;
}

bool MixerSetup::FindTypeControl(DWORD componentType, DWORD controlType) {
    if (state_.handle == 0) {
        return false;
    }
    state_.line.cbStruct = kMixerLineSize;
    state_.line.dwComponentType = componentType;
    return QueryLine(MIXER_GETLINEINFOF_COMPONENTTYPE) &&
           QueryControl(state_.line.dwLineID, controlType);
}

bool MixerSetup::FindDestinationControl(DWORD controlType) {
    if (state_.handle == 0) {
        return false;
    }
    state_.line.cbStruct = kMixerLineSize;
    state_.line.dwDestination = kRecordingDestination;
    state_.line.dwSource = 0;
    return QueryLine(MIXER_GETLINEINFOF_DESTINATION) &&
           QueryControl(state_.line.dwLineID, controlType);
}

bool MixerSetup::FindSourceControl(DWORD source, DWORD controlType) {
    if (state_.handle == 0) {
        return false;
    }
    state_.line.cbStruct = kMixerLineSize;
    state_.line.dwDestination = kRecordingDestination;
    state_.line.dwSource = source;
    return QueryLine(MIXER_GETLINEINFOF_SOURCE) && QueryControl(state_.line.dwLineID, controlType);
}

bool MixerSetup::FindLineControl(DWORD lineId, DWORD controlType) {
    return state_.handle != 0 && QueryControl(lineId, controlType);
}

bool MixerSetup::QueryLine(DWORD flags) {
    return api_.mixerGetLineInfoA(state_.handle, &state_.line, flags) == MMSYSERR_NOERROR;
}

// Fetches the first control of controlType on the line; on success it becomes the
// current control and its bounds are taken over.
bool MixerSetup::QueryControl(DWORD lineId, DWORD controlType) {
    MIXERLINECONTROLSA& request = state_.controlRequest;
    request.cbStruct = kMixerLineControlsSize;
    request.dwLineID = lineId;
    request.dwControlType = controlType;
    request.cControls = 1;
    request.cbmxctrl = kMixerControlSize;
    request.pamxctrl = &state_.control;
    if (api_.mixerGetLineControlsA(state_.handle, &request, MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    state_.minimum = state_.control.Bounds.lMinimum;
    state_.maximum = state_.control.Bounds.lMaximum;
    return true;
}

// Makes the recording destination's input-selection control current: the last MUX or
// MIXER control in its list, else its first control. Bounds are not taken over; the
// level is never set on this control.
bool MixerSetup::FindSelectionControl() {
    if (state_.handle == 0) {
        return false;
    }
    state_.line.cbStruct = kMixerLineSize;
    state_.line.dwDestination = kRecordingDestination;
    state_.line.dwSource = 0;
    if (!QueryLine(MIXER_GETLINEINFOF_DESTINATION)) {
        return false;
    }
    // A destination without controls has no first control to fall back on.
    const DWORD count = state_.line.cControls;
    if (count == 0) {
        return false;
    }
    std::vector<MIXERCONTROLA> controls;
    try {
        controls.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    MIXERLINECONTROLSA& request = state_.controlRequest;
    request.cbStruct = kMixerLineControlsSize;
    request.dwLineID = state_.line.dwLineID;
    request.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX; // ignored when asking for all
    request.cControls = count;
    request.cbmxctrl = kMixerControlSize;
    request.pamxctrl = controls.data();
    const MMRESULT result =
        api_.mixerGetLineControlsA(state_.handle, &request, MIXER_GETLINECONTROLSF_ALL);
    request.pamxctrl = nullptr; // the array goes away with this call
    if (result != MMSYSERR_NOERROR) {
        return false;
    }
    state_.control = controls.front();
    for (const MIXERCONTROLA& control : controls) {
        if (IsSelectionType(control.dwControlType)) {
            state_.control = control;
        }
    }
    return true;
}

void MixerSetup::ReadSelectionTexts() {
    if (state_.handle != 0) {
        RequestSelectionDetails(kListTextSize, state_.itemTexts);
        api_.mixerGetControlDetailsA(state_.handle, &state_.detailsRequest,
                                     MIXER_GETCONTROLDETAILSF_LISTTEXT);
    }
}

void MixerSetup::ReadSelectionStates() {
    if (state_.handle != 0) {
        RequestSelectionDetails(kBooleanSize, state_.itemStates);
        api_.mixerGetControlDetailsA(state_.handle, &state_.detailsRequest,
                                     MIXER_GETCONTROLDETAILSF_VALUE);
    }
}

void MixerSetup::WriteSelectionStates() {
    if (state_.handle != 0) {
        RequestSelectionDetails(kBooleanSize, state_.itemStates);
        api_.mixerSetControlDetails(state_.handle, &state_.detailsRequest,
                                    MIXER_SETCONTROLDETAILSF_VALUE);
    }
}

// The item count asked for never exceeds the item lists, so the mixer cannot write
// past them whatever the control reports.
void MixerSetup::RequestSelectionDetails(DWORD cbDetails, void* details) {
    MIXERCONTROLDETAILS& request = state_.detailsRequest;
    request.cbStruct = kMixerControlDetailsSize;
    request.dwControlID = state_.control.dwControlID;
    request.cChannels = 1;
    request.cMultipleItems = static_cast<DWORD>(ItemCount());
    request.cbDetails = cbDetails;
    request.paDetails = details;
}

int MixerSetup::ItemCount() const {
    return static_cast<int>(
        std::min<DWORD>(state_.control.cMultipleItems, DWORD{kMaxSelectionItems}));
}

void MixerSetup::SetLevel(std::int32_t position) {
    if (state_.handle == 0 || position < 0 || position > 100) {
        return;
    }
    // Computed in 64 bits: a range wider than 2^31 / 100 would overflow 32 bits. The
    // result lies between minimum and maximum.
    const std::int64_t span = std::int64_t{state_.maximum} - state_.minimum;
    const auto level = static_cast<LONG>(span * position / 100 + state_.minimum);
    state_.level.dwValue = static_cast<DWORD>(level);

    MIXERCONTROLDETAILS& request = state_.detailsRequest;
    request.cbStruct = kMixerControlDetailsSize;
    request.dwControlID = state_.control.dwControlID;
    request.cChannels = 1; // all channels alike
    request.cMultipleItems = 0;
    request.cbDetails = kUnsignedSize;
    request.paDetails = &state_.level;
    api_.mixerSetControlDetails(state_.handle, &request, MIXER_SETCONTROLDETAILSF_VALUE);
}

DWORD MixerSetup::SelectRecordingSource() {
    if (!FindSelectionControl()) {
        // The current control is then whatever an earlier lookup left: a volume or mute
        // control, or a list control from an earlier recording. It is left alone, and
        // no source line is leveled (line ID 0 names none).
        return 0;
    }
    ReadSelectionTexts();
    ReadSelectionStates();
    MarkWantedItems();
    WriteSelectionStates();
    for (int i = ItemCount() - 1; i >= 0; --i) {
        if (state_.itemStates[i].fValue != 0) {
            return state_.itemTexts[i].dwParam1;
        }
    }
    return 0;
}

// Clears every item, then selects the first synthesizer-type item; only without one,
// every item whose name contains "MIC" or "MIK" in any letter case.
void MixerSetup::MarkWantedItems() {
    const int count = ItemCount();
    for (int i = 0; i < count; ++i) {
        state_.itemStates[i].fValue = 0;
    }
    for (int i = 0; i < count; ++i) {
        if (state_.itemTexts[i].dwParam2 == MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER) {
            state_.itemStates[i].fValue = 1;
            return;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (NamesMicrophone(state_.itemTexts[i])) {
            state_.itemStates[i].fValue = 1;
        }
    }
}

} // namespace tessmar
