// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaMixer.h"

#include "platform/mixer/AlsaMixerModel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tessmar {

AlsaMixer::AlsaMixer(std::string device) : device_(std::move(device)) {}

AlsaMixer::~AlsaMixer() = default;

std::string AlsaMixer::DefaultDevice() {
    const char* device = std::getenv("TESSMAR_MIXER");
    return device && *device ? device : "default";
}

MMRESULT AlsaMixer::mixerOpen(HMIXER* mixer, DWORD deviceId, std::uintptr_t, std::uintptr_t,
                              DWORD flags) {
    if (!mixer) {
        return MMSYSERR_INVALPARAM;
    }
    if (deviceId != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    if (flags != CALLBACK_NULL) {
        return MMSYSERR_INVALFLAG; // no change notifications
    }
    // Off this thread: the window's, which must stay able to hear a signal meanwhile.
    auto opened = RunAside<std::unique_ptr<AlsaMixerHandle>>(
        [device = device_] { return AlsaMixerHandle::Open(device); }, slowCallWait_);
    auto handle = opened ? std::move(*opened) : nullptr;
    if (!handle) {
        return MMSYSERR_NODRIVER;
    }
    const HMIXER id = nextHandle_++;
    open_.emplace(id, std::make_shared<AlsaMixerModel>(std::move(handle), device_));
    *mixer = id;
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::mixerClose(HMIXER mixer) {
    return open_.erase(mixer) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT AlsaMixer::mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) {
    if (!line || line->cbStruct != kMixerLineSize) {
        return MMSYSERR_INVALPARAM;
    }
    const auto open = open_.find(mixer);
    if (open == open_.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    const AlsaMixerModel& model = *open->second;
    const AlsaMixerModel::Line* found = nullptr;
    switch (flags) {
    case MIXER_GETLINEINFOF_DESTINATION:
        found = model.Destination(line->dwDestination);
        break;
    case MIXER_GETLINEINFOF_SOURCE:
        found = model.Source(line->dwDestination, line->dwSource);
        break;
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
        found = model.WithComponentType(line->dwComponentType);
        break;
    default:
        return MMSYSERR_INVALFLAG;
    }
    if (!found) {
        return MIXERR_INVALLINE;
    }
    *line = found->record;
    line->cbStruct = kMixerLineSize;
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* request, DWORD flags) {
    if (!request || request->cbStruct != kMixerLineControlsSize ||
        request->cbmxctrl != kMixerControlSize || !request->pamxctrl) {
        return MMSYSERR_INVALPARAM;
    }
    const auto open = open_.find(mixer);
    if (open == open_.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    const AlsaMixerModel::Line* line = open->second->WithId(request->dwLineID);
    if (!line) {
        return MIXERR_INVALLINE;
    }
    if (flags == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
        if (request->cControls != 1) {
            return MMSYSERR_INVALPARAM;
        }
        const auto control =
            std::find_if(line->controls.begin(), line->controls.end(),
                         [&](const AlsaControl& c) { return c.type() == request->dwControlType; });
        if (control == line->controls.end()) {
            return MIXERR_INVALCONTROL;
        }
        control->Describe(*request->pamxctrl);
        return MMSYSERR_NOERROR;
    }
    if (flags == MIXER_GETLINECONTROLSF_ALL) {
        // The caller's array holds exactly the count the line reported.
        if (request->cControls == 0 || request->cControls != line->controls.size()) {
            return MMSYSERR_INVALPARAM;
        }
        for (std::size_t i = 0; i < line->controls.size(); ++i) {
            line->controls[i].Describe(request->pamxctrl[i]);
        }
        return MMSYSERR_NOERROR;
    }
    return MMSYSERR_INVALFLAG;
}

MMRESULT AlsaMixer::mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                            DWORD flags) {
    const bool texts = flags == MIXER_GETCONTROLDETAILSF_LISTTEXT;
    if (!texts && flags != MIXER_GETCONTROLDETAILSF_VALUE) {
        return MMSYSERR_INVALFLAG;
    }
    AlsaControl* control = nullptr;
    if (const MMRESULT r =
            ControlFor(mixer, details, texts ? kListTextSize : kBooleanSize, control);
        r != MMSYSERR_NOERROR) {
        return r;
    }
    if (texts) {
        if (control->itemCount() == 0) {
            return MMSYSERR_INVALPARAM;
        }
        control->ReadTexts(static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(details->paDetails),
                           details->cMultipleItems);
        return MMSYSERR_NOERROR;
    }
    // Read into a buffer of the call's own: a call given up must not write the caller's.
    auto values = std::make_shared<std::vector<LONG>>(std::max<DWORD>(details->cMultipleItems, 1));
    if (!Aside(mixer, [control, values](AlsaMixerModel& model) {
            model.Refresh();
            return control->Read(values->data(), DWORD(values->size()));
        })) {
        return MMSYSERR_ERROR;
    }
    std::copy(values->begin(), values->end(), static_cast<LONG*>(details->paDetails));
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                           DWORD flags) {
    if (flags != MIXER_SETCONTROLDETAILSF_VALUE) {
        return MMSYSERR_INVALFLAG;
    }
    AlsaControl* control = nullptr;
    if (const MMRESULT r = ControlFor(mixer, details, kUnsignedSize, control);
        r != MMSYSERR_NOERROR) {
        return r;
    }
    const auto* given = static_cast<const LONG*>(details->paDetails);
    std::vector<LONG> values(given, given + std::max<DWORD>(details->cMultipleItems, 1));
    return Aside(mixer,
                 [control, values](AlsaMixerModel& model) {
                     model.Refresh();
                     return control->Write(values.data(), DWORD(values.size()));
                 })
               ? MMSYSERR_NOERROR
               : MMSYSERR_ERROR;
}

bool AlsaMixer::Aside(HMIXER mixer, std::function<bool(AlsaMixerModel& model)> work) {
    const std::shared_ptr<AlsaMixerModel> model = open_.at(mixer);
    const std::optional<bool> done =
        RunAside<bool>([model, work = std::move(work)] { return work(*model); }, slowCallWait_);
    if (!done) {
        open_.erase(mixer); // stuck in the server: nothing more is asked of it
    }
    return done.value_or(false);
}

// A plain control takes cMultipleItems 0 and one value; a list control 1 up to its item
// count, and only that many items are read or written: the caller's buffer may be
// smaller than the control's list.
MMRESULT AlsaMixer::ControlFor(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD cbDetails,
                               AlsaControl*& control) {
    if (!details || details->cbStruct != kMixerControlDetailsSize || details->cChannels != 1 ||
        details->cbDetails != cbDetails || !details->paDetails) {
        return MMSYSERR_INVALPARAM;
    }
    const auto open = open_.find(mixer);
    if (open == open_.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    control = open->second->Control(details->dwControlID);
    if (!control) {
        return MIXERR_INVALCONTROL;
    }
    const DWORD items = control->itemCount();
    const bool countFits = items == 0
                               ? details->cMultipleItems == 0
                               : details->cMultipleItems >= 1 && details->cMultipleItems <= items;
    return countFits ? MMSYSERR_NOERROR : MMSYSERR_INVALPARAM;
}

} // namespace tessmar
