// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaMixerModel.h"

#include <cctype>

namespace tessmar {
namespace {

constexpr DWORD kSpeakers = 0;
constexpr DWORD kRecording = 1;

struct NamedType {
    const char* word;
    DWORD type;
};

// Checked in this order, so "Digital Mic" is a digital line and "Synth Line" a synthesizer.
constexpr NamedType kNamedTypes[] = {
    {"Synth", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER},
    {"FM", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER},
    {"MIDI", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER},
    {"IEC958", MIXERLINE_COMPONENTTYPE_SRC_DIGITAL},
    {"S/PDIF", MIXERLINE_COMPONENTTYPE_SRC_DIGITAL},
    {"Digital", MIXERLINE_COMPONENTTYPE_SRC_DIGITAL},
    {"Mic", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
    {"Line", MIXERLINE_COMPONENTTYPE_SRC_LINE},
    {"CD", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC},
    {"Aux", MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY},
    {"Phone", MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE},
    {"PC Speaker", MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER},
    {"Beep", MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER},
    {"PCM", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},
    {"Wave", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},
};

// Whole words only: "Headphone" is no telephone, but "Line-In" and "Mic2" count.
bool ContainsWord(const std::string& name, const std::string& word) {
    for (auto at = name.find(word); at != std::string::npos; at = name.find(word, at + 1)) {
        const auto end = at + word.size();
        const bool startsWord = at == 0 || !std::isalpha(static_cast<unsigned char>(name[at - 1]));
        const bool endsWord =
            end == name.size() || !std::isalpha(static_cast<unsigned char>(name[end]));
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

DWORD ComponentTypeOf(const std::string& name) {
    for (const NamedType& named : kNamedTypes) {
        if (ContainsWord(name, named.word)) {
            return named.type;
        }
    }
    return MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
}

std::string NameOf(snd_mixer_elem_t* element) {
    return snd_mixer_selem_get_name(element);
}

} // namespace

AlsaMixerModel::AlsaMixerModel(std::unique_ptr<AlsaMixerHandle> mixer, const std::string& device)
    : mixer_(std::move(mixer)), device_(device) {
    std::vector<snd_mixer_elem_t*> elements;
    snd_mixer_elem_t* master = nullptr;
    snd_mixer_elem_t* capture = nullptr;
    for (auto* e = snd_mixer_first_elem(mixer_->get()); e; e = snd_mixer_elem_next(e)) {
        elements.push_back(e);
        if (!master && NameOf(e) == "Master") {
            master = e;
        }
        if (!capture && NameOf(e) == "Capture") {
            capture = e;
        }
    }
    // Lines are added in place below; no reallocation may move them meanwhile.
    lines_.reserve(2 + 2 * elements.size());

    Line& speakers =
        AddLine(kSpeakers, false, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, master, "Master");
    if (master && snd_mixer_selem_has_playback_volume(master)) {
        AddControl(speakers, AlsaControl::Kind::PlaybackVolume, master);
    }
    if (master && snd_mixer_selem_has_playback_switch(master)) {
        AddControl(speakers, AlsaControl::Kind::PlaybackMute, master);
    }
    Line& recording =
        AddLine(kRecording, false, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, capture, "Capture");
    if (capture && snd_mixer_selem_has_capture_volume(capture)) {
        AddControl(recording, AlsaControl::Kind::CaptureVolume, capture);
    }
    if (capture && snd_mixer_selem_has_capture_switch(capture)) {
        AddControl(recording, AlsaControl::Kind::CaptureMute, capture);
    }

    for (auto* e : elements) {
        const bool volume = snd_mixer_selem_has_playback_volume(e);
        const bool mute = snd_mixer_selem_has_playback_switch(e);
        if (e != master && (volume || mute)) {
            Line& line = AddLine(kSpeakers, true, ComponentTypeOf(NameOf(e)), e, NameOf(e));
            if (volume) {
                AddControl(line, AlsaControl::Kind::PlaybackVolume, e);
            }
            if (mute) {
                AddControl(line, AlsaControl::Kind::PlaybackMute, e);
            }
        }
    }
    for (auto* e : elements) {
        const bool volume = snd_mixer_selem_has_capture_volume(e);
        const bool mute = snd_mixer_selem_has_capture_switch(e);
        if (e != capture && (volume || mute)) {
            Line& line = AddLine(kRecording, true, ComponentTypeOf(NameOf(e)), e, NameOf(e));
            if (volume) {
                AddControl(line, AlsaControl::Kind::CaptureVolume, e);
            }
            if (mute) {
                AddControl(line, AlsaControl::Kind::CaptureMute, e);
            }
        }
    }
    AddSelectionControl(lines_[kRecording]);
}

// The recording source selection, the first of these that the mixer has:
// 1. An enumerated element "Capture Source" or "Input Source": a MUX over its entries.
//    (ALSA's simple mixer usually splits a "Capture Source" enumeration into capture
//    switches of the elements named by its entries, which then fall under 2.)
// 2. Elements whose capture switches exclude each other: a MUX over these elements.
// 3. Elements with capture switches: a MIXER over them, an item is selected while its
//    element's capture switch is on.
// "Capture" itself is never an item: switching it off would silence every recording.
void AlsaMixerModel::AddSelectionControl(Line& recording) {
    std::vector<snd_mixer_elem_t*> exclusive;
    std::vector<snd_mixer_elem_t*> switches;
    for (auto* e = snd_mixer_first_elem(mixer_->get()); e; e = snd_mixer_elem_next(e)) {
        const std::string name = NameOf(e);
        if (snd_mixer_selem_is_enumerated(e) &&
            (name == "Capture Source" || name == "Input Source")) {
            std::vector<AlsaControl::Item> items;
            const int count = snd_mixer_selem_get_enum_items(e);
            for (int i = 0; i < count; ++i) {
                char entry[MIXER_LONG_NAME_CHARS] = {};
                snd_mixer_selem_get_enum_item_name(e, static_cast<unsigned>(i), sizeof entry - 1,
                                                   entry);
                items.push_back(
                    {entry, SourceLineId(kRecording, entry), ComponentTypeOf(entry), nullptr});
            }
            if (!items.empty()) {
                AddControl(recording, AlsaControl::Kind::EnumeratedMux, e, std::move(items));
                return;
            }
        }
        if (name != "Capture" && snd_mixer_selem_has_capture_switch(e)) {
            switches.push_back(e);
            if (snd_mixer_selem_has_capture_switch_exclusive(e)) {
                exclusive.push_back(e);
            }
        }
    }
    const bool mux = !exclusive.empty();
    std::vector<AlsaControl::Item> items;
    for (auto* e : mux ? exclusive : switches) {
        items.push_back(
            {NameOf(e), SourceLineId(kRecording, NameOf(e)), ComponentTypeOf(NameOf(e)), e});
    }
    if (!items.empty()) {
        snd_mixer_elem_t* first = items.front().element; // named by the control
        AddControl(recording, mux ? AlsaControl::Kind::SwitchMux : AlsaControl::Kind::SwitchMixer,
                   first, std::move(items));
    }
}

AlsaMixerModel::Line& AlsaMixerModel::AddLine(DWORD destination, bool isSource, DWORD componentType,
                                              snd_mixer_elem_t* element, const std::string& name) {
    Line& line = lines_.emplace_back();
    MIXERLINEA& r = line.record;
    r.dwDestination = destination;
    r.dwSource = isSource ? lines_[destination].record.cConnections++ : 0;
    r.dwLineID = static_cast<DWORD>(lines_.size());
    r.fdwLine = MIXERLINE_LINEF_ACTIVE | (isSource ? MIXERLINE_LINEF_SOURCE : 0);
    r.dwComponentType = componentType;
    const bool mono =
        element && (destination == kSpeakers ? snd_mixer_selem_is_playback_mono(element)
                                             : snd_mixer_selem_is_capture_mono(element));
    r.cChannels = mono ? 1 : 2;
    CopyMixerName(r.szShortName, name);
    CopyMixerName(r.szName, name);
    CopyMixerName(r.Target.szPname, device_);
    return line;
}

void AlsaMixerModel::AddControl(Line& line, AlsaControl::Kind kind, snd_mixer_elem_t* element,
                                std::vector<AlsaControl::Item> items) {
    line.controls.emplace_back(nextControlId_++, kind, element, mixer_->isPlugin(),
                               std::move(items));
    line.record.cControls = static_cast<DWORD>(line.controls.size());
}

DWORD AlsaMixerModel::SourceLineId(DWORD destination, const std::string& name) const {
    for (const Line& line : lines_) {
        if ((line.record.fdwLine & MIXERLINE_LINEF_SOURCE) &&
            line.record.dwDestination == destination && name == line.record.szName) {
            return line.record.dwLineID;
        }
    }
    return 0;
}

const AlsaMixerModel::Line* AlsaMixerModel::Destination(DWORD destination) const {
    return destination <= kRecording ? &lines_[destination] : nullptr;
}

const AlsaMixerModel::Line* AlsaMixerModel::Source(DWORD destination, DWORD source) const {
    for (const Line& line : lines_) {
        if ((line.record.fdwLine & MIXERLINE_LINEF_SOURCE) &&
            line.record.dwDestination == destination && line.record.dwSource == source) {
            return &line;
        }
    }
    return nullptr;
}

const AlsaMixerModel::Line* AlsaMixerModel::WithComponentType(DWORD componentType) const {
    for (const Line& line : lines_) {
        if (line.record.dwComponentType == componentType) {
            return &line;
        }
    }
    return nullptr;
}

AlsaMixerModel::Line* AlsaMixerModel::WithId(DWORD lineId) {
    return lineId >= 1 && lineId <= lines_.size() ? &lines_[lineId - 1] : nullptr;
}

AlsaControl* AlsaMixerModel::Control(DWORD controlId) {
    for (Line& line : lines_) {
        for (AlsaControl& control : line.controls) {
            if (control.id() == controlId) {
                return &control;
            }
        }
    }
    return nullptr;
}

} // namespace tessmar
