// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

class CaptureClock;

// Measures the time from what the output plays to what the input hears: two short sweeps,
// one rising and one falling, are played, and each is looked for in what was captured after
// it. Two sweeps that differ can't be taken for one another, and the two findings must
// agree. The delay counts from the capture time the sound was started at (CaptureClock), as
// the exercises place their targets, so the scoring can take it off as it is. Qt-free.
class DelayMeasurement {
public:
    static constexpr double kSweepSeconds = 0.15;
    static constexpr double kSweepAt[2] = {0.05, 0.45}; // in the sound
    static constexpr double kLongest = 0.6;             // the longest delay looked for
    static constexpr double kAgree = 0.004;             // seconds between the two findings
    static constexpr double kEarly = 0.1;               // looked for before it was played

    explicit DelayMeasurement(int heardRate) : rate_(heardRate) {}

    // The sound to play: interleaved 16-bit stereo at rate.
    static std::vector<std::int16_t> Sound(int rate);
    // A sweep as heard at rate, unscaled: index 0 rises, 1 falls.
    static std::vector<float> Sweep(int which, int rate);

    // The capture time at which the sound's first frame was handed to the output.
    void Started(double captureSeconds) { started_ = captureSeconds; }
    // Or the moment the output told it was heard from (steady ns), which each Place() puts
    // on the capture clock anew, as the clock grows surer with every update.
    void StartedAt(std::int64_t steadyNs) { startedNs_ = steadyNs; }
    bool soundStarted() const { return startedNs_ != 0 || started_; }
    void Place(const CaptureClock& clock);
    // Captured frames of 1 or 2 interleaved channels, the last of them at capture time
    // endSeconds.
    void Heard(const std::int16_t* frames, std::size_t count, double endSeconds, int channels = 2);
    // Enough has been heard after the sound for a result.
    bool Done() const;
    // The delay in milliseconds; without one, why not, in German.
    std::optional<int> Result(std::string& why) const;

    // Where sound begins in heard (which begins at capture time heardStart), from `from`
    // to `from + kEarly + kLongest`: the capture time, or none when it isn't clearly there.
    static std::optional<double> Find(const std::vector<float>& heard, double heardStart, int rate,
                                      const std::vector<float>& sound, double from);

private:
    const int rate_;
    std::optional<double> started_;
    std::int64_t startedNs_ = 0;
    std::vector<float> heard_; // both channels' mean
    double heardStart_ = 0.0;  // capture time of heard_'s first sample
    double heardEnd_ = 0.0;
};

} // namespace tessmar
