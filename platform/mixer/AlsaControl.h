// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/AlsaVolumeScale.h"
#include "platform/mixer/MixerTypes.h"

#include <alsa/asoundlib.h>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// One mixer control and the ALSA simple element (or elements) behind it.
class AlsaControl {
public:
    enum class Kind {
        PlaybackVolume, // playback volume, all channels alike
        PlaybackMute,   // inverted playback switch
        CaptureVolume,  // capture volume
        CaptureMute,    // inverted capture switch
        EnumeratedMux,  // one entry of an enumerated element
        SwitchMux,      // one of the elements whose capture switches exclude each other
        SwitchMixer,    // any of the elements with a capture switch
    };

    struct Item {
        std::string name;
        DWORD lineId;              // the source line of the same name, 0 for none
        DWORD componentType;       // from the name
        snd_mixer_elem_t* element; // for the switch lists: the element the item switches
    };

    // A volume control's level runs over 0..kLevelTop whatever the element's range; what
    // a level means on the element is its AlsaVolumeScale. `plugin`: the element belongs
    // to a control plugin (a sound server), not to a card's driver.
    static constexpr long kLevelTop = 65535;

    AlsaControl(DWORD id, Kind kind, snd_mixer_elem_t* element, bool plugin,
                std::vector<Item> items = {});

    DWORD id() const { return id_; }
    DWORD type() const;
    // Items of a list control, 0 for a plain control.
    DWORD itemCount() const { return static_cast<DWORD>(items_.size()); }

    void Describe(MIXERCONTROLA& record) const;
    // `count` values: the item states of a list control, else the one value.
    bool Read(LONG* values, DWORD count) const;
    bool Write(const LONG* values, DWORD count);
    void ReadTexts(MIXERCONTROLDETAILS_LISTTEXTA* texts, DWORD count) const;

private:
    LONG LevelOf(long volume) const;
    bool ReadStates(LONG* states, DWORD count) const;
    bool WriteStates(const LONG* states, DWORD count);

    DWORD id_;
    Kind kind_;
    snd_mixer_elem_t* element_;
    std::vector<Item> items_;
    std::optional<AlsaVolumeScale> scale_; // volume controls only
    long minimum_ = 0;
    long maximum_ = 1;
};

} // namespace tessmar
