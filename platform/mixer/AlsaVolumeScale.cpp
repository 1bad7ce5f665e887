// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaVolumeScale.h"

#include <algorithm>
#include <cmath>

namespace tessmar {
namespace {

// top + 20·log10(f) dB, in the hundredths of a dB that ALSA counts in.
long CentibelsBelowTop(double fraction, long top) {
    return top + std::lround(2000.0 * std::log10(fraction));
}

} // namespace

AlsaVolumeScale::AlsaVolumeScale(snd_mixer_elem_t* element, bool capture, bool plugin)
    : element_(element), capture_(capture) {
    const int range =
        capture ? snd_mixer_selem_get_capture_volume_range(element, &minimum_, &maximum_)
                : snd_mixer_selem_get_playback_volume_range(element, &minimum_, &maximum_);
    if (range < 0 || maximum_ < minimum_) {
        minimum_ = maximum_ = 0;
    }
    const int db = capture ? snd_mixer_selem_get_capture_dB_range(element, &lowestDb_, &topDb_)
                           : snd_mixer_selem_get_playback_dB_range(element, &lowestDb_, &topDb_);
    if (db == 0 && topDb_ > lowestDb_) {
        curve_ = Curve::Decibels;
    } else if (plugin) {
        curve_ = Curve::Cubic;
    }
}

long AlsaVolumeScale::ValueFor(double fraction) const {
    if (!(fraction > 0.0)) {
        return minimum_;
    }
    if (fraction >= 1.0) {
        return maximum_;
    }
    const double span = static_cast<double>(maximum_ - minimum_);
    switch (curve_) {
    case Curve::Decibels: {
        const long target = std::max(CentibelsBelowTop(fraction, topDb_), lowestDb_);
        long value = minimum_;
        const int err = capture_ ? snd_mixer_selem_ask_capture_dB_vol(element_, target, 0, &value)
                                 : snd_mixer_selem_ask_playback_dB_vol(element_, target, 0, &value);
        return err < 0 ? minimum_ : std::clamp(value, minimum_, maximum_);
    }
    case Curve::Cubic:
        return minimum_ + std::lround(span * std::cbrt(fraction));
    case Curve::Raw:
        break;
    }
    return minimum_ + std::lround(span * fraction);
}

double AlsaVolumeScale::FractionOf(long value) const {
    if (value <= minimum_ || maximum_ == minimum_) {
        return 0.0;
    }
    if (value >= maximum_) {
        return 1.0;
    }
    const double part = static_cast<double>(value - minimum_) / double(maximum_ - minimum_);
    switch (curve_) {
    case Curve::Decibels: {
        long db = lowestDb_;
        const int err = capture_ ? snd_mixer_selem_ask_capture_vol_dB(element_, value, &db)
                                 : snd_mixer_selem_ask_playback_vol_dB(element_, value, &db);
        return err < 0 ? part : std::clamp(std::pow(10.0, double(db - topDb_) / 2000.0), 0.0, 1.0);
    }
    case Curve::Cubic:
        return part * part * part;
    case Curve::Raw:
        break;
    }
    return part;
}

} // namespace tessmar
