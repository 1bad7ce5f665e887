// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/delay/DelayMeasurement.h"

#include "practice/CaptureClock.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace tessmar {
namespace {

constexpr double kAmplitude = 0.3; // about -10 dBFS: loud enough to find, not startling
// A normalised correlation below this is noise or another sound, not the sweep.
constexpr double kClear = 0.3;

} // namespace

std::vector<float> DelayMeasurement::Sweep(int which, int rate) {
    const double low = 400.0, high = 3000.0; // heard by any microphone, kept by any rate
    const double from = which == 0 ? low : high, to = which == 0 ? high : low;
    const auto n = std::size_t(kSweepSeconds * rate);
    std::vector<float> sweep(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double t = double(k) / rate;
        const double phase =
            2.0 * std::numbers::pi * (from * t + (to - from) * t * t / (2.0 * kSweepSeconds));
        // Soft edges: no click, which would match anywhere.
        const double edge = std::min(1.0, double(std::min(k, n - 1 - k)) / (0.01 * rate));
        sweep[k] = float(edge * std::sin(phase));
    }
    return sweep;
}

std::vector<std::int16_t> DelayMeasurement::Sound(int rate) {
    // Silence after the sweeps for as long as an echo is looked for: a device that delays
    // by buffering, a sound server's effect say, lets the end out only while a stream plays.
    const auto length = std::size_t((kSweepAt[1] + kSweepSeconds + kLongest) * rate);
    std::vector<std::int16_t> sound(2 * length, 0);
    for (int which = 0; which < 2; ++which) {
        const std::vector<float> sweep = Sweep(which, rate);
        const auto at = std::size_t(kSweepAt[which] * rate);
        for (std::size_t k = 0; k < sweep.size(); ++k) {
            sound[2 * (at + k)] = sound[2 * (at + k) + 1] =
                std::int16_t(std::lround(kAmplitude * 32767.0 * sweep[k]));
        }
    }
    return sound;
}

void DelayMeasurement::Heard(const std::int16_t* frames, std::size_t count, double endSeconds,
                             int channels) {
    if (heard_.empty()) {
        heardStart_ = endSeconds - double(count) / rate_;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const int sum = channels == 2 ? frames[2 * k] + frames[2 * k + 1] : 2 * frames[k];
        heard_.push_back(float(sum / 65536.0));
    }
    heardEnd_ = endSeconds;
}

bool DelayMeasurement::Done() const {
    return started_ && heardEnd_ >= *started_ + kSweepAt[1] + kSweepSeconds + kLongest;
}

std::optional<double> DelayMeasurement::Find(const std::vector<float>& heard, double heardStart,
                                             int rate, const std::vector<float>& sound,
                                             double from) {
    const long first = std::max(0L, std::lround((from - heardStart) * rate));
    const long last = std::min(long(heard.size()) - long(sound.size()),
                               std::lround((from + kEarly + kLongest - heardStart) * rate));
    if (last < first + 2) {
        return std::nullopt;
    }
    const double soundEnergy = std::inner_product(sound.begin(), sound.end(), sound.begin(), 0.0);
    // The energy of the heard stretch under the sound, slid along.
    double heardEnergy = 0.0;
    for (std::size_t k = 0; k < sound.size(); ++k) {
        heardEnergy += double(heard[first + k]) * heard[first + k];
    }
    std::vector<double> match(std::size_t(last - first + 1));
    for (long lag = first; lag <= last; ++lag) {
        const double dot = std::inner_product(sound.begin(), sound.end(), heard.begin() + lag, 0.0);
        match[lag - first] = heardEnergy > 0.0 ? dot / std::sqrt(soundEnergy * heardEnergy) : 0.0;
        const double out = heard[lag],
                     in = lag + sound.size() < heard.size() ? heard[lag + sound.size()] : 0.0f;
        heardEnergy = std::max(0.0, heardEnergy - out * out + in * in);
    }
    const auto best = std::max_element(match.begin(), match.end());
    if (*best < kClear) {
        return std::nullopt;
    }
    // Between the samples: a parabola through the peak and its neighbours.
    const std::size_t i = std::size_t(best - match.begin());
    double shift = 0.0;
    if (i > 0 && i + 1 < match.size()) {
        const double a = match[i - 1], b = match[i], c = match[i + 1];
        const double bend = a - 2.0 * b + c;
        shift = bend < 0.0 ? 0.5 * (a - c) / bend : 0.0;
    }
    return heardStart + (double(first) + double(i) + shift) / rate;
}

std::optional<int> DelayMeasurement::Result(std::string& why) const {
    if (!Done()) {
        why = "Die Aufnahme endete vor dem Ende der Messung";
        return std::nullopt;
    }
    double found[2];
    for (int which = 0; which < 2; ++which) {
        const double played = *started_ + kSweepAt[which];
        // A virtual device's monitor can hear a sound a moment before its start is stamped.
        const auto at = Find(heard_, heardStart_, rate_, Sweep(which, rate_), played - kEarly);
        if (!at) {
            why = "Der Messton war im Mikrofon nicht zu hören; bitte Lautsprecher lauter "
                  "stellen oder näher ans Mikrofon rücken. Mit Kopfhörern die Verzögerung "
                  "von Hand einstellen";
            return std::nullopt;
        }
        found[which] = *at - played;
    }
    if (std::abs(found[0] - found[1]) > kAgree) {
        why = "Die Messung ist unsicher (" + std::to_string(std::lround(found[0] * 1000)) +
              " und " + std::to_string(std::lround(found[1] * 1000)) +
              " ms); bitte in ruhiger Umgebung noch einmal messen";
        return std::nullopt;
    }
    return int(std::lround(std::max(0.0, (found[0] + found[1]) / 2.0) * 1000.0));
}

void DelayMeasurement::Place(const CaptureClock& clock) {
    if (startedNs_ != 0 && clock.known()) {
        started_ = clock.SecondsAt(startedNs_);
    }
}

} // namespace tessmar
