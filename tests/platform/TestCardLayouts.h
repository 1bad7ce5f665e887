#pragma once

#include <alsa/asoundlib.h>
#include <string>
#include <vector>

namespace tessmar::test {

// One control element of an emulated sound card, as its driver would name it.
struct CardControl {
    std::string name;
    snd_ctl_elem_type_t type;
    unsigned channels;
    long minimum;
    long maximum;
    long initial; // every channel; the entry index of an enumeration
    std::vector<std::string> entries;
};

// The control elements of the emulated card `layout`, empty for an unknown one:
// - "older": a card of the AC'97 era: Master, PCM, Synth, Mic, Line, CD and Capture, and
//   an enumerated "Capture Source" (which ALSA turns into exclusive capture switches).
// - "newer": an HD-audio-like card: an "Input Source" enumeration, a mic boost.
// - "mixing": capture switches that don't exclude each other.
// - "desktop": only "Master" and "Capture", as a sound server presents itself.
std::vector<CardControl> CardLayout(const std::string& layout);

} // namespace tessmar::test
