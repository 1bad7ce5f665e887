// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/MixerApi.h"
#include "platform/threads/SlowCall.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tessmar {

class AlsaControl;
class AlsaMixerModel;

// The mixer interface on ALSA's simple mixer (see AlsaMixerModel for how its elements
// become lines and controls). Device 0 is the ALSA control device given to the
// constructor. Each open handle holds its own ALSA mixer, closed by mixerClose or with
// this object. Values are set on all channels alike (cChannels 1).
class AlsaMixer : public MixerApi {
public:
    explicit AlsaMixer(std::string device = DefaultDevice());
    ~AlsaMixer() override;

    // The environment variable TESSMAR_MIXER when set, else "default".
    static std::string DefaultDevice();

    // How mixerOpen, and every read or write of a control, waits for a control device that
    // is slow to answer (a stopped sound server); when the wait gives up, the call fails,
    // the handle answers nothing more, and the setup goes on without it.
    void SetSlowCallWait(SlowCallWait wait) { slowCallWait_ = std::move(wait); }

    MMRESULT mixerOpen(HMIXER* mixer, DWORD deviceId, std::uintptr_t callback,
                       std::uintptr_t instance, DWORD flags) override;
    MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) override;
    MMRESULT mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* request, DWORD flags) override;
    MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                     DWORD flags) override;
    MMRESULT mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                    DWORD flags) override;
    MMRESULT mixerClose(HMIXER mixer) override;

private:
    // The control a details request names, once the request has been checked.
    MMRESULT ControlFor(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD cbDetails,
                        AlsaControl*& control);

    // Runs work on the handle's mixer aside, as the open is; false when it failed or the
    // wait gave up. The call that was given up keeps the mixer until it returns.
    bool Aside(HMIXER mixer, std::function<bool(AlsaMixerModel& model)> work);

    std::string device_;
    SlowCallWait slowCallWait_;
    std::map<HMIXER, std::shared_ptr<AlsaMixerModel>> open_;
    HMIXER nextHandle_ = 1;
};

} // namespace tessmar
