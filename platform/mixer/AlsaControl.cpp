// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaControl.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tessmar {
namespace {

constexpr auto kFirstChannel = SND_MIXER_SCHN_FRONT_LEFT; // also the mono channel

LONG ToLong(long value) {
    return static_cast<LONG>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace

AlsaControl::AlsaControl(DWORD id, Kind kind, snd_mixer_elem_t* element, bool plugin,
                         std::vector<Item> items)
    : id_(id), kind_(kind), element_(element), items_(std::move(items)) {
    if (kind_ == Kind::PlaybackVolume || kind_ == Kind::CaptureVolume) {
        scale_.emplace(element_, kind_ == Kind::CaptureVolume, plugin);
        maximum_ = kLevelTop;
    } else if (!items_.empty()) {
        maximum_ = static_cast<long>(items_.size()) - 1;
    }
    maximum_ = std::max(maximum_, minimum_);
}

DWORD AlsaControl::type() const {
    switch (kind_) {
    case Kind::PlaybackVolume:
    case Kind::CaptureVolume:
        return MIXERCONTROL_CONTROLTYPE_VOLUME;
    case Kind::PlaybackMute:
    case Kind::CaptureMute:
        return MIXERCONTROL_CONTROLTYPE_MUTE;
    case Kind::SwitchMixer:
        return MIXERCONTROL_CONTROLTYPE_MIXER;
    default:
        return MIXERCONTROL_CONTROLTYPE_MUX;
    }
}

void AlsaControl::Describe(MIXERCONTROLA& record) const {
    record = MIXERCONTROLA{};
    record.cbStruct = kMixerControlSize;
    record.dwControlID = id_;
    record.dwControlType = type();
    record.fdwControl =
        MIXERCONTROL_CONTROLF_UNIFORM | (items_.empty() ? 0 : MIXERCONTROL_CONTROLF_MULTIPLE);
    record.cMultipleItems = itemCount();
    const std::string name = snd_mixer_selem_get_name(element_);
    CopyMixerName(record.szShortName, name);
    CopyMixerName(record.szName, name);
    record.Bounds.lMinimum = ToLong(minimum_);
    record.Bounds.lMaximum = ToLong(maximum_);
    // A volume has as many steps as its element.
    record.Metrics.cSteps =
        scale_
            ? static_cast<DWORD>(std::min<long>(scale_->maximum() - scale_->minimum(), kLevelTop))
            : static_cast<DWORD>(maximum_ - minimum_);
}

bool AlsaControl::Read(LONG* values, DWORD count) const {
    if (!items_.empty()) {
        return ReadStates(values, count);
    }
    long volume = 0;
    int on = 0;
    switch (kind_) {
    case Kind::PlaybackVolume:
        if (snd_mixer_selem_get_playback_volume(element_, kFirstChannel, &volume) < 0) {
            return false;
        }
        values[0] = LevelOf(volume);
        return true;
    case Kind::CaptureVolume:
        if (snd_mixer_selem_get_capture_volume(element_, kFirstChannel, &volume) < 0) {
            return false;
        }
        values[0] = LevelOf(volume);
        return true;
    case Kind::PlaybackMute:
        if (snd_mixer_selem_get_playback_switch(element_, kFirstChannel, &on) < 0) {
            return false;
        }
        values[0] = on ? 0 : 1;
        return true;
    case Kind::CaptureMute:
        if (snd_mixer_selem_get_capture_switch(element_, kFirstChannel, &on) < 0) {
            return false;
        }
        values[0] = on ? 0 : 1;
        return true;
    default:
        return false;
    }
}

LONG AlsaControl::LevelOf(long volume) const {
    return ToLong(std::lround(scale_->FractionOf(volume) * kLevelTop));
}

bool AlsaControl::Write(const LONG* values, DWORD count) {
    if (!items_.empty()) {
        return WriteStates(values, count);
    }
    // The level arrives as an unsigned 32-bit value; held to the control's bounds.
    const long level = std::clamp<long>(values[0], minimum_, maximum_);
    const long volume = scale_ ? scale_->ValueFor(double(level) / kLevelTop) : level;
    switch (kind_) {
    case Kind::PlaybackVolume:
        return snd_mixer_selem_set_playback_volume_all(element_, volume) >= 0;
    case Kind::CaptureVolume:
        return snd_mixer_selem_set_capture_volume_all(element_, volume) >= 0;
    case Kind::PlaybackMute:
        return snd_mixer_selem_set_playback_switch_all(element_, values[0] == 0) >= 0;
    case Kind::CaptureMute:
        return snd_mixer_selem_set_capture_switch_all(element_, values[0] == 0) >= 0;
    default:
        return false;
    }
}

void AlsaControl::ReadTexts(MIXERCONTROLDETAILS_LISTTEXTA* texts, DWORD count) const {
    for (DWORD i = 0; i < count && i < itemCount(); ++i) {
        texts[i].dwParam1 = items_[i].lineId;
        texts[i].dwParam2 = items_[i].componentType;
        CopyMixerName(texts[i].szName, items_[i].name);
    }
}

bool AlsaControl::ReadStates(LONG* states, DWORD count) const {
    count = std::min(count, itemCount());
    if (kind_ == Kind::EnumeratedMux) {
        unsigned selected = 0;
        if (snd_mixer_selem_get_enum_item(element_, kFirstChannel, &selected) < 0) {
            return false;
        }
        for (DWORD i = 0; i < count; ++i) {
            states[i] = i == selected ? 1 : 0;
        }
        return true;
    }
    for (DWORD i = 0; i < count; ++i) {
        int on = 0;
        if (snd_mixer_selem_get_capture_switch(items_[i].element, kFirstChannel, &on) < 0) {
            return false;
        }
        states[i] = on ? 1 : 0;
    }
    return true;
}

// A MUX holds one item: of several selected items the last one is taken (the one whose
// line the setup levels afterwards); with none selected the selection stays as it is.
bool AlsaControl::WriteStates(const LONG* states, DWORD count) {
    count = std::min(count, itemCount());
    if (kind_ == Kind::SwitchMixer) {
        bool ok = true;
        for (DWORD i = 0; i < count; ++i) {
            ok &= snd_mixer_selem_set_capture_switch_all(items_[i].element, states[i] != 0) >= 0;
        }
        return ok;
    }
    DWORD chosen = count;
    for (DWORD i = 0; i < count; ++i) {
        if (states[i] != 0) {
            chosen = i;
        }
    }
    if (chosen == count) {
        return true;
    }
    if (kind_ == Kind::SwitchMux) {
        return snd_mixer_selem_set_capture_switch_all(items_[chosen].element, 1) >= 0;
    }
    // Every channel of the enumeration; the first channel that doesn't exist ends it.
    int channel = SND_MIXER_SCHN_FRONT_LEFT;
    while (channel <= SND_MIXER_SCHN_LAST &&
           snd_mixer_selem_set_enum_item(
               element_, static_cast<snd_mixer_selem_channel_id_t>(channel), chosen) >= 0) {
        ++channel;
    }
    return channel > SND_MIXER_SCHN_FRONT_LEFT;
}

} // namespace tessmar
