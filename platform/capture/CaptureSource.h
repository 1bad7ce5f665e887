// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <stop_token>

namespace tessmar {

// The input behind one open recording device, in the capture format. Used by the device's
// own thread only (it is created and destroyed while that thread does not run).
class CaptureSource {
public:
    virtual ~CaptureSource() = default;

    // Begins capturing now; input from before is not delivered.
    virtual void Start() = 0;
    // Ends capturing until the next Start.
    virtual void Stop() = 0;
    // Waits for input and stores up to maxFrames interleaved stereo frames. Returns 0 once
    // stop is requested, and may return 0 after a bounded wait without input.
    virtual std::size_t Read(std::int16_t* frames, std::size_t maxFrames, std::stop_token stop) = 0;
    // How often input was lost because it was not read in time (the source's own buffer
    // overflowed), since the source was made.
    virtual std::uint64_t Overruns() const = 0;
    // Frames those overruns dropped, where the source can tell; 0 where it can't.
    virtual std::uint64_t DroppedFrames() const { return 0; }
    // The input has gone for good (device unplugged, sound server ended): every Read
    // returns 0 at once from then on. What the last Read stored is still valid input.
    virtual bool Lost() const { return false; }
};

} // namespace tessmar
