// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingMixer.h"

#include <algorithm>
#include <cstdio>

namespace tessmar::test {
namespace {

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

} // namespace

std::string ControlTypeName(DWORD type) {
    switch (type) {
    case MIXERCONTROL_CONTROLTYPE_VOLUME:
        return "VOLUME";
    case MIXERCONTROL_CONTROLTYPE_MUTE:
        return "MUTE";
    case MIXERCONTROL_CONTROLTYPE_MUX:
        return "MUX";
    case MIXERCONTROL_CONTROLTYPE_MIXER:
        return "MIXER";
    default:
        return Hex(type);
    }
}

void RecordingMixer::AddDestination(DWORD lineId, DWORD componentType) {
    const auto index = static_cast<DWORD>(
        std::count_if(lines_.begin(), lines_.end(), [](const FakeLine& l) { return !l.isSource; }));
    lines_.push_back({lineId, index, 0, false, componentType, 0, {}});
}

void RecordingMixer::AddSource(DWORD destination, DWORD lineId, DWORD componentType) {
    for (FakeLine& line : lines_) {
        if (!line.isSource && line.destination == destination) {
            lines_.push_back({lineId, destination, line.connections++, true, componentType, 0, {}});
            return;
        }
    }
    faults_.push_back("test layout: no destination " + std::to_string(destination));
}

void RecordingMixer::AddControl(DWORD lineId, DWORD controlId, DWORD type, LONG minimum,
                                LONG maximum, std::vector<FakeItem> items) {
    FakeLine* line = LineById(lineId);
    if (!line) {
        faults_.push_back("test layout: no line " + std::to_string(lineId));
        return;
    }
    std::vector<LONG> values(std::max<std::size_t>(items.size(), 1), minimum);
    line->controls.push_back({controlId, type, minimum, maximum, std::move(items), values});
}

void RecordingMixer::SetValues(DWORD controlId, std::vector<LONG> values) {
    if (FakeControl* control = ControlById(controlId)) {
        control->values = std::move(values);
    }
}

std::vector<LONG> RecordingMixer::Values(DWORD controlId) const {
    for (const FakeLine& line : lines_) {
        for (const FakeControl& control : line.controls) {
            if (control.id == controlId) {
                return control.values;
            }
        }
    }
    return {};
}

MMRESULT RecordingMixer::mixerOpen(HMIXER* mixer, DWORD deviceId, std::uintptr_t callback,
                                   std::uintptr_t instance, DWORD flags) {
    calls_.push_back("mixerOpen(device " + std::to_string(deviceId) + ", callback " +
                     std::to_string(callback) + ", instance " + std::to_string(instance) +
                     ", flags " + std::to_string(flags) + ")");
    Check(mixer != nullptr, "mixerOpen without a handle field");
    Check(!open_, "mixerOpen while open");
    if (!mixer) {
        return MMSYSERR_INVALPARAM;
    }
    Check(*mixer == 0, "handle field not cleared before mixerOpen");
    if (failOpen_) {
        return MMSYSERR_BADDEVICEID;
    }
    open_ = true;
    *mixer = kHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::mixerClose(HMIXER mixer) {
    calls_.push_back("mixerClose(" + std::to_string(mixer) + ")");
    if (!open_ || mixer != kHandle) {
        return MMSYSERR_INVALHANDLE;
    }
    open_ = false;
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) {
    if (!line) {
        Check(false, "mixerGetLineInfoA without a line record");
        return MMSYSERR_INVALPARAM;
    }
    switch (flags) {
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
        calls_.push_back("mixerGetLineInfoA(component type " + Hex(line->dwComponentType) + ")");
        break;
    case MIXER_GETLINEINFOF_DESTINATION:
        calls_.push_back("mixerGetLineInfoA(destination " + std::to_string(line->dwDestination) +
                         ")");
        break;
    case MIXER_GETLINEINFOF_SOURCE:
        calls_.push_back("mixerGetLineInfoA(destination " + std::to_string(line->dwDestination) +
                         ", source " + std::to_string(line->dwSource) + ")");
        break;
    default:
        calls_.push_back("mixerGetLineInfoA(flags " + std::to_string(flags) + ")");
        Check(false, "mixerGetLineInfoA with unknown flags");
        return MMSYSERR_INVALFLAG;
    }
    CheckHandle(mixer);
    Check(line->cbStruct == kMixerLineSize, "line cbStruct " + std::to_string(line->cbStruct));
    const FakeLine* found = LineFor(*line, flags);
    if (!found) {
        return MIXERR_INVALLINE;
    }
    line->dwDestination = found->destination;
    line->dwSource = found->source;
    line->dwLineID = found->lineId;
    line->fdwLine = MIXERLINE_LINEF_ACTIVE | (found->isSource ? MIXERLINE_LINEF_SOURCE : 0);
    line->dwComponentType = found->componentType;
    line->cChannels = 2;
    line->cConnections = found->connections;
    line->cControls = static_cast<DWORD>(found->controls.size());
    CopyMixerName(line->szName, "Line " + std::to_string(found->lineId));
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* request,
                                               DWORD flags) {
    if (!request) {
        Check(false, "mixerGetLineControlsA without a request");
        return MMSYSERR_INVALPARAM;
    }
    const std::string line = "line " + std::to_string(request->dwLineID);
    const FakeLine* found = LineById(request->dwLineID);
    std::vector<const FakeControl*> wanted;
    if (flags == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
        calls_.push_back("mixerGetLineControlsA(" + line + ", one " +
                         ControlTypeName(request->dwControlType) + ")");
        Check(request->cControls == 1, "ONEBYTYPE for " + std::to_string(request->cControls));
        for (std::size_t i = 0; found && i < found->controls.size() && wanted.empty(); ++i) {
            if (found->controls[i].type == request->dwControlType) {
                wanted.push_back(&found->controls[i]);
            }
        }
    } else if (flags == MIXER_GETLINECONTROLSF_ALL) {
        calls_.push_back("mixerGetLineControlsA(" + line + ", all " +
                         std::to_string(request->cControls) + ")");
        for (std::size_t i = 0; found && i < found->controls.size(); ++i) {
            wanted.push_back(&found->controls[i]);
        }
        Check(!found || request->cControls == wanted.size(),
              "ALL for " + std::to_string(request->cControls) + " of " +
                  std::to_string(wanted.size()) + " controls");
    } else {
        calls_.push_back("mixerGetLineControlsA(flags " + std::to_string(flags) + ")");
        Check(false, "mixerGetLineControlsA with unknown flags");
        return MMSYSERR_INVALFLAG;
    }
    CheckHandle(mixer);
    Check(request->cbStruct == kMixerLineControlsSize,
          "controls cbStruct " + std::to_string(request->cbStruct));
    Check(request->cbmxctrl == kMixerControlSize, "cbmxctrl " + std::to_string(request->cbmxctrl));
    Check(request->pamxctrl != nullptr, "no control records");
    if (!found) {
        return MIXERR_INVALLINE;
    }
    if (wanted.empty() || request->cControls != wanted.size() || !request->pamxctrl) {
        return MIXERR_INVALCONTROL;
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        MIXERCONTROLA& out = request->pamxctrl[i];
        const FakeControl& control = *wanted[i];
        out = MIXERCONTROLA{};
        out.cbStruct = kMixerControlSize;
        out.dwControlID = control.id;
        out.dwControlType = control.type;
        out.cMultipleItems = static_cast<DWORD>(control.items.size());
        if (!control.items.empty()) {
            out.fdwControl = MIXERCONTROL_CONTROLF_MULTIPLE | MIXERCONTROL_CONTROLF_UNIFORM;
        }
        out.Bounds.lMinimum = control.minimum;
        out.Bounds.lMaximum = control.maximum;
        CopyMixerName(out.szName, ControlTypeName(control.type));
    }
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                                 DWORD flags) {
    if (!details) {
        Check(false, "mixerGetControlDetailsA without a request");
        return MMSYSERR_INVALPARAM;
    }
    const bool texts = flags == MIXER_GETCONTROLDETAILSF_LISTTEXT;
    calls_.push_back("mixerGetControlDetailsA(control " + std::to_string(details->dwControlID) +
                     ", " + std::to_string(details->cMultipleItems) + " items, " +
                     (texts ? "texts" : "values") + ")");
    Check(texts || flags == MIXER_GETCONTROLDETAILSF_VALUE,
          "mixerGetControlDetailsA with unknown flags");
    FakeControl* control = CheckDetails(mixer, details, texts ? kListTextSize : kBooleanSize);
    if (!control) {
        return MIXERR_INVALCONTROL;
    }
    const DWORD count = details->cMultipleItems;
    if (texts) {
        if (control->items.empty()) {
            return MMSYSERR_INVALPARAM;
        }
        auto* out = static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(details->paDetails);
        for (DWORD i = 0; i < count; ++i) {
            out[i].dwParam1 = control->items[i].lineId;
            out[i].dwParam2 = control->items[i].componentType;
            CopyMixerName(out[i].szName, control->items[i].name);
        }
        return MMSYSERR_NOERROR;
    }
    auto* out = static_cast<LONG*>(details->paDetails);
    for (DWORD i = 0; i < std::max<DWORD>(count, 1); ++i) {
        out[i] = control->values[i];
    }
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                                DWORD flags) {
    if (!details) {
        Check(false, "mixerSetControlDetails without a request");
        return MMSYSERR_INVALPARAM;
    }
    const DWORD count = std::max<DWORD>(details->cMultipleItems, 1);
    std::string values;
    if (details->paDetails && details->cbDetails == kUnsignedSize) {
        // Exactly what the caller says it passes: the sanitizers catch a count that
        // exceeds the caller's buffer.
        for (DWORD i = 0; i < count; ++i) {
            values += i ? " " : "";
            values += std::to_string(static_cast<const LONG*>(details->paDetails)[i]);
        }
    }
    calls_.push_back("mixerSetControlDetails(control " + std::to_string(details->dwControlID) +
                     ", " + std::to_string(details->cMultipleItems) + " items: " + values + ")");
    Check(flags == MIXER_SETCONTROLDETAILSF_VALUE, "mixerSetControlDetails with unknown flags");
    FakeControl* control = CheckDetails(mixer, details, kUnsignedSize);
    if (!control) {
        return MIXERR_INVALCONTROL;
    }
    const auto* in = static_cast<const LONG*>(details->paDetails);
    for (DWORD i = 0; i < count; ++i) {
        control->values[i] = in[i];
    }
    return MMSYSERR_NOERROR;
}

FakeControl* RecordingMixer::CheckDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details,
                                          DWORD cbDetails) {
    CheckHandle(mixer);
    Check(details->cbStruct == kMixerControlDetailsSize,
          "details cbStruct " + std::to_string(details->cbStruct));
    Check(details->cChannels == 1, "cChannels " + std::to_string(details->cChannels));
    Check(details->cbDetails == cbDetails, "cbDetails " + std::to_string(details->cbDetails));
    Check(details->paDetails != nullptr, "no details buffer");
    FakeControl* control = ControlById(details->dwControlID);
    if (!control || !details->paDetails || details->cbDetails != cbDetails) {
        return nullptr;
    }
    const auto items = static_cast<DWORD>(control->items.size());
    Check(details->cMultipleItems <= items, "asks for " + std::to_string(details->cMultipleItems) +
                                                " of " + std::to_string(items) + " items");
    return details->cMultipleItems <= items ? control : nullptr;
}

FakeLine* RecordingMixer::LineById(DWORD lineId) {
    for (FakeLine& line : lines_) {
        if (line.lineId == lineId) {
            return &line;
        }
    }
    return nullptr;
}

FakeLine* RecordingMixer::LineFor(const MIXERLINEA& wanted, DWORD flags) {
    for (FakeLine& line : lines_) {
        const bool match = flags == MIXER_GETLINEINFOF_COMPONENTTYPE
                               ? line.componentType == wanted.dwComponentType
                               : line.destination == wanted.dwDestination &&
                                     line.isSource == (flags == MIXER_GETLINEINFOF_SOURCE) &&
                                     (!line.isSource || line.source == wanted.dwSource);
        if (match) {
            return &line;
        }
    }
    return nullptr;
}

FakeControl* RecordingMixer::ControlById(DWORD controlId) {
    for (FakeLine& line : lines_) {
        for (FakeControl& control : line.controls) {
            if (control.id == controlId) {
                return &control;
            }
        }
    }
    return nullptr;
}

void RecordingMixer::Check(bool ok, const std::string& what) {
    if (!ok) {
        faults_.push_back(std::to_string(calls_.size()) + ": " + what);
    }
}

void RecordingMixer::CheckHandle(HMIXER mixer) {
    Check(open_ && mixer == kHandle, "call on handle " + std::to_string(mixer));
}

} // namespace tessmar::test
