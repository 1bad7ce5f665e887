// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <alsa/asoundlib.h>

namespace tessmar {

// What a volume level means on one ALSA element, so that the same fraction of the level
// range gives about the same loudness on every card and sound server. The fraction f
// (0..1) is an amplitude factor below the element's top:
//
// - Elements whose driver gives a dB scale: top + 20·log10(f) dB, held to the element's
//   range, at the nearest step. 30 % is -10.5 dB, 50 % -6 dB. (ALSA's "mapped volume" of
//   its mixer front ends is cubic on wide ranges, 60·log10(f): 30 % would be -31.4 dB,
//   below where an ordinary voice shows a note at all.)
// - A sound server's control (an ALSA plugin without a dB scale; PulseAudio's and
//   PipeWire's both are): their volume v of 0..max is the amplitude (v/max)³, so the
//   value is max·∛f, the same amplitude f.
// - Any other element without a dB scale: the raw range, linearly.
//
// f = 0 is always the element's lowest value (silence where the element can be silent),
// f = 1 its top.
class AlsaVolumeScale {
public:
    enum class Curve { Decibels, Cubic, Raw };

    // The scale of the element's capture or playback volume; `plugin` says that the
    // element belongs to a control plugin rather than to a sound card's driver.
    AlsaVolumeScale(snd_mixer_elem_t* element, bool capture, bool plugin);

    Curve curve() const { return curve_; }
    long minimum() const { return minimum_; }
    long maximum() const { return maximum_; }

    // The element value for the fraction f of the level range, and back.
    long ValueFor(double fraction) const;
    double FractionOf(long value) const;

private:
    snd_mixer_elem_t* element_;
    bool capture_;
    Curve curve_ = Curve::Raw;
    long minimum_ = 0;
    long maximum_ = 0;
    long lowestDb_ = 0; // hundredths of a dB
    long topDb_ = 0;
};

} // namespace tessmar
