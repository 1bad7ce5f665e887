// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <alsa/asoundlib.h>
#include <optional>
#include <string>
#include <vector>

namespace tessmar::test {

// A volume's dB scale as a driver declares it: the lowest value's gain and the gain of
// each step, in hundredths of a dB; `mute`: the lowest value silences.
struct DbScale {
    long lowest;
    long step;
    bool mute;
};

// One control element of an emulated sound card, as its driver would name it.
struct CardControl {
    std::string name;
    snd_ctl_elem_type_t type;
    unsigned channels;
    long minimum;
    long maximum;
    long initial; // every channel; the entry index of an enumeration
    std::vector<std::string> entries;
    std::optional<DbScale> db; // volumes only; none: the driver tells no dB scale
};

// The control elements of the emulated card `layout`, empty for an unknown one:
// - "older": a card of the AC'97 era: Master, PCM, Synth, Mic, Line, CD and Capture, and
//   an enumerated "Capture Source" (which ALSA turns into exclusive capture switches).
// - "newer": an HD-audio-like card: an "Input Source" enumeration, a mic boost.
// - "mixing": capture switches that don't exclude each other; one volume without a dB
//   scale.
// - "desktop": only "Master" and "Capture" of 0..65536 without dB scales, as a sound
//   server presents itself.
// The dB scales are those of such cards' drivers.
std::vector<CardControl> CardLayout(const std::string& layout);

} // namespace tessmar::test
