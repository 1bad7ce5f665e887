// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PitchEstimator.h"

#include "analysis/SungPitch.h"
#include "platform/capture/CaptureFormat.h"

#include <algorithm>
#include <aubio/aubio.h>
#include <cmath>
#include <limits>
#include <new>
#include <numbers>

namespace tessmar {
namespace {

// YIN's period comes from a parabola through three lags of its difference function; at
// 11025 frames/s a period of 880 Hz spans only 12.5 frames and that parabola errs by
// about 6 cents. The window therefore goes to YIN at twice the rate, which brings the
// error under 2 cents from 110 to 880 Hz.
constexpr int kUpsampling = 2;
// aubio's own default: a period counts when YIN's normalised difference falls below this.
constexpr smpl_t kTolerance = 0.15f;
// Without a dip under the tolerance YIN falls back to its deepest one. A pitch that glides
// into its note (a slow attack) or voices a few cents apart (a choir) repeat less exactly
// there, so that dip still counts up to kUnclearTolerance, for a period that fits at least
// kUnclearPeriods times into the window (with fewer, a rumble's random dips are as deep).
// In a window across a change of note the deepest dip can lie at two to five times a
// period, so it also counts only where each of those fractions of it repeats at least
// kUnclearWorse times worse.
constexpr double kUnclearTolerance = 0.3;
constexpr int kUnclearPeriods = 4;
constexpr int kUnclearFractions = 5;
constexpr double kUnclearWorse = 2.0;
constexpr smpl_t kSilenceDb = -50.0f;
// Twice the period must repeat this much better to be taken: a voice with its own period
// repeats no better after two (its vibrato and jitter make it a little worse), while one
// heard an octave up repeats several times better there.
constexpr double kOctaveBelowRatio = 0.4;
// A period found that repeats this well is the voice's own: only a fundamental well under
// its second harmonic leaves that much difference after half the period.
constexpr double kClearRepeat = 0.05;

struct PitchDeleter {
    void operator()(aubio_pitch_t* p) const { del_aubio_pitch(p); }
};
struct VectorDeleter {
    void operator()(fvec_t* v) const { del_fvec(v); }
};

} // namespace

struct PitchEstimator::Aubio {
    std::unique_ptr<aubio_pitch_t, PitchDeleter> pitch;
    std::unique_ptr<fvec_t, VectorDeleter> input;
    std::unique_ptr<fvec_t, VectorDeleter> output;
};

PitchEstimator::PitchEstimator(int rate, int windowFrames)
    : aubio_(std::make_unique<Aubio>()), windowFrames_(windowFrames), rate_(rate),
      left_(std::size_t(windowFrames) + 2 * std::tuple_size_v<decltype(taps_)>) {
    const auto yinFrames = uint_t(windowFrames * kUpsampling);
    const auto yinRate = uint_t(rate * kUpsampling);
    // "yinfast" is aubio's YIN with the difference function computed through the FFT:
    // the same periods as "yin", but in the same short time for every block, where the
    // direct form takes more than ten times as long on noise.
    aubio_->pitch.reset(new_aubio_pitch("yinfast", yinFrames, yinFrames, yinRate));
    aubio_->input.reset(new_fvec(yinFrames));
    aubio_->output.reset(new_fvec(1));
    if (!aubio_->pitch || !aubio_->input || !aubio_->output) {
        throw std::bad_alloc();
    }
    aubio_pitch_set_unit(aubio_->pitch.get(), "Hz");
    aubio_pitch_set_tolerance(aubio_->pitch.get(), kTolerance);
    aubio_pitch_set_silence(aubio_->pitch.get(), kSilenceDb);

    // Half-band windowed sinc (Blackman) for the sample halfway between two frames; flat
    // within 0.1 % up to 2 kHz, far above any sung fundamental.
    const double half = double(taps_.size()) + 0.5;
    double sum = 0.0;
    for (std::size_t i = 0; i < taps_.size(); ++i) {
        const double x = double(i) + 0.5;
        const double window = 0.42 + 0.5 * std::cos(std::numbers::pi * x / half) +
                              0.08 * std::cos(2.0 * std::numbers::pi * x / half);
        taps_[i] = float(std::sin(std::numbers::pi * x) / (std::numbers::pi * x) * window);
        sum += 2.0 * taps_[i];
    }
    for (float& tap : taps_) {
        tap = float(tap / sum);
    }
}

PitchEstimator::~PitchEstimator() = default;

double PitchEstimator::Estimate(const std::int16_t* frames) {
    // The left channel with the edge frames repeated beyond both ends, so that the
    // interpolation below needs no bounds checks.
    constexpr int kTaps = int(std::tuple_size_v<decltype(taps_)>);
    const int n = windowFrames_;
    float* left = left_.data();
    for (int k = 0; k < n; ++k) {
        left[kTaps + k] = float(frames[k * kChannels]) / 32768.0f;
    }
    for (int i = 0; i < kTaps; ++i) {
        left[i] = left[kTaps];
        left[kTaps + n + i] = left[kTaps + n - 1];
    }
    // Frames at even positions, interpolated ones between them.
    smpl_t* in = aubio_->input->data;
    for (int k = 0; k < n; ++k) {
        const float* at = left + kTaps + k;
        float between = 0.0f;
        for (int i = 0; i < kTaps; ++i) {
            between += taps_[i] * (at[-i] + at[1 + i]);
        }
        in[2 * k] = at[0];
        in[2 * k + 1] = between;
    }
    aubio_pitch_do(aubio_->pitch.get(), aubio_->input.get(), aubio_->output.get());
    double hz = aubio_->output->data[0];
    // Nothing below C-0, which no note name fits.
    if (!(hz > 0.0) || SungPitch::FromHz(hz).nearest < 0) {
        return 0.0;
    }
    const double lag = double(kUpsampling) * rate_ / hz;
    const double once = Unlikeness(in, std::lround(lag));
    const double dip = 1.0 - double(aubio_pitch_get_confidence(aubio_->pitch.get()));
    if (dip > double(kTolerance)) {
        if (dip > kUnclearTolerance || hz * windowFrames_ < double(kUnclearPeriods) * rate_) {
            return 0.0;
        }
        for (int k = 2; k <= kUnclearFractions; ++k) {
            if (Unlikeness(in, std::lround(lag / k)) < kUnclearWorse * once) {
                return 0.0;
            }
        }
    }
    // YIN takes the first period that repeats well enough. A voice whose second harmonic
    // is much louder than its fundamental (a tenor's ä, ö or schwa around 250 Hz) repeats
    // nearly as well after half its period, and is heard an octave up. Where the wave
    // repeats clearly better after twice the period found, that is the voice's period.
    if (once > kClearRepeat && SungPitch::FromHz(hz / 2.0).nearest >= 0 &&
        Unlikeness(in, std::lround(2.0 * lag)) < kOctaveBelowRatio * once) {
        // The dip YIN found is pulled aside by the fundamental it missed: the period is
        // where the wave repeats best near twice that lag, between lags by a parabola.
        const long twice = std::lround(2.0 * lag);
        long best = twice;
        for (long l = twice - 3; l <= twice + 3; ++l) {
            best = Unlikeness(in, l) < Unlikeness(in, best) ? l : best;
        }
        const double before = Unlikeness(in, best - 1), at = Unlikeness(in, best),
                     after = Unlikeness(in, best + 1);
        const double bend = before - 2.0 * at + after;
        const double shift =
            bend > 0.0 && std::isfinite(bend) ? 0.5 * (before - after) / bend : 0.0;
        hz = double(kUpsampling) * rate_ / (double(best) + std::clamp(shift, -0.5, 0.5));
    }
    return hz;
}

// How unlike the window's first half is to what follows it lag samples later: the energy
// of their difference over the energy of both, 0 for a perfect repeat. Infinite where the
// window is too short for the lag.
double PitchEstimator::Unlikeness(const float* in, long lag) const {
    const long half = windowFrames_ * kUpsampling / 2;
    if (lag <= 0 || lag > half) {
        return std::numeric_limits<double>::infinity();
    }
    double difference = 0.0, energy = 0.0;
    for (long j = 0; j < half; ++j) {
        const double a = in[j], b = in[j + lag];
        difference += (a - b) * (a - b);
        energy += a * a + b * b;
    }
    return energy > 0.0 ? difference / energy : std::numeric_limits<double>::infinity();
}

} // namespace tessmar
