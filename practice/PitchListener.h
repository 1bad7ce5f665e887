// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/WaveIn.h"
#include "practice/PitchTracker.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tessmar {

// Listens on the recording device without end: opens it at the pitch format, hands every
// filled hop to the tracker and the update to the sink. A device that is missing or goes
// away is told to the sink in German and tried again every retry interval, until it is
// back. The sink is called on the listener's own thread and must not block.
class PitchListener {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void Shown(const PitchUpdate& update) = 0;
        // The captured frames (interleaved stereo) behind the next update, for a sink that
        // listens to the sound itself.
        virtual void Frames(const std::int16_t* frames, std::size_t count, double endSeconds) {
            (void)frames, (void)count, (void)endSeconds;
        }
        // A German message while no input is heard; empty once the device delivers again.
        virtual void DeviceState(const std::string& message) = 0;
    };

    static constexpr int kBlocks = 4; // hops queued on the device

    PitchListener(WaveInApi& device, Sink& sink, int rate, int windowFrames, std::size_t hopFrames,
                  std::chrono::milliseconds retry = std::chrono::milliseconds(1000),
                  double concertA = kConcertA);
    // Stops listening and closes the device.
    ~PitchListener();
    PitchListener(const PitchListener&) = delete;
    PitchListener& operator=(const PitchListener&) = delete;

private:
    void Run(std::stop_token stop);
    // One session with the device, until it is lost or listening stops; false when it
    // could not be opened.
    bool Listen(std::stop_token& stop);
    void Tell(const std::string& message);

    WaveInApi& device_;
    Sink& sink_;
    const int rate_;
    const std::size_t hopFrames_;
    const std::chrono::milliseconds retry_;
    PitchTracker tracker_;
    std::chrono::steady_clock::time_point firstFrame_{};
    bool heard_ = false;
    std::string told_ = "-"; // nothing told yet
    std::mutex waitMutex_;
    std::condition_variable_any wake_;
    std::jthread thread_;
};

} // namespace tessmar
