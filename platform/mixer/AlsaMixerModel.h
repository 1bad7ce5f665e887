// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/AlsaControl.h"
#include "platform/mixer/AlsaMixerHandle.h"

#include <memory>
#include <string>
#include <vector>

namespace tessmar {

// The simple elements of one open ALSA mixer, presented as the lines and controls of the
// mixer interface:
//
// - Destination 0, the speakers (component type DST_SPEAKERS): the "Master" element, a
//   volume control from its playback volume and a mute control from its playback switch
//   (muted = switched off). Its sources are all other elements with a playback volume or
//   playback switch, each with the same two controls from its playback side.
// - Destination 1, the recording (DST_WAVEIN): the "Capture" element, volume and mute from
//   its capture volume and capture switch. Its sources are all other elements with a
//   capture volume or capture switch, each with volume and mute from its capture side.
//   Its last control selects the recording source (see SelectionControl in the .cpp).
// - A source line's component type comes from the words of its name ("Mic" is a
//   microphone, "CD" a compact disc, …); see ComponentTypeOf in the .cpp.
// - Line IDs and control IDs count from 1, so 0 names no line and no control.
// - A volume control's bounds are 0..65535, what a level means on the element is its
//   AlsaVolumeScale; a mute control's bounds are 0..1.
//
// A destination whose element is missing is still there, without those controls.
class AlsaMixerModel {
public:
    struct Line {
        MIXERLINEA record; // all but cbStruct
        std::vector<AlsaControl> controls;
    };

    AlsaMixerModel(std::unique_ptr<AlsaMixerHandle> mixer, const std::string& device);

    const Line* Destination(DWORD destination) const;
    const Line* Source(DWORD destination, DWORD source) const;
    // The first line of that component type: destinations first, then sources.
    const Line* WithComponentType(DWORD componentType) const;
    Line* WithId(DWORD lineId);
    AlsaControl* Control(DWORD controlId);

    // Takes in changes the device reported; call before reading or writing values.
    void Refresh() { mixer_->Refresh(); }

private:
    Line& AddLine(DWORD destination, bool isSource, DWORD componentType, snd_mixer_elem_t* element,
                  const std::string& name);
    void AddControl(Line& line, AlsaControl::Kind kind, snd_mixer_elem_t* element,
                    std::vector<AlsaControl::Item> items = {});
    void AddSelectionControl(Line& recording);
    DWORD SourceLineId(DWORD destination, const std::string& name) const;

    std::unique_ptr<AlsaMixerHandle> mixer_;
    std::string device_;
    std::vector<Line> lines_; // destination 0, destination 1, then the sources
    DWORD nextControlId_ = 1;
};

} // namespace tessmar
