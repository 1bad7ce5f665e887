// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeWaveIn.h"
#include "TempDir.h"
#include "analysis/PitchEstimator.h"
#include "analysis/SungPitch.h"
#include "practice/PitchFormat.h"
#include "practice/PitchListener.h"
#include "practice/PitchLog.h"
#include "practice/PitchTracker.h"
#include "practice/ReferenceTone.h"
#include "tools/measure/SungVowel.h"

#include <cmath>
#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>

namespace tessmar {
namespace {

using measure::SungVowel;

// Share of the updates after the first 200 ms within 50 cents of the pitch sung over
// the window.
double ShareWithin50Cents(const SungVowel& voice) {
    std::vector<double> truth;
    const auto frames = voice.Render(kPitchRate, kPitchRate * 2, &truth);
    PitchTracker tracker(kPitchRate, kPitchWindowFrames);
    int good = 0, counted = 0;
    for (std::size_t end = kPitchHopFrames; end <= truth.size(); end += kPitchHopFrames) {
        const PitchUpdate u =
            tracker.Feed(frames.data() + 2 * (end - kPitchHopFrames), kPitchHopFrames);
        if (end < kPitchRate / 5) {
            continue;
        }
        double sung = 0.0;
        for (std::size_t k = end - kPitchWindowFrames; k < end; ++k) {
            sung += truth[k] / kPitchWindowFrames;
        }
        ++counted;
        good += u.hz > 0 && std::abs(100.0 * u.note + u.cents - sung) <= 50.0;
    }
    return double(good) / counted;
}

TEST(PitchTracker, SungVowelsLowAndHighWithVibrato) {
    const double a[3] = {730, 1090, 2440}, o[3] = {570, 840, 2410}, u[3] = {300, 870, 2240},
                 i[3] = {270, 2290, 3010};
    struct Case {
        const double* formants;
        double hz;
    } cases[] = {{o, 65.41}, {a, 82.41},  {o, 130.81}, {u, 196.0},  {i, 146.83},
                 {a, 440.0}, {i, 523.25}, {u, 698.46}, {a, 1046.5}, {i, 1396.9}};
    for (const Case& c : cases) {
        SungVowel voice;
        std::copy(c.formants, c.formants + 3, voice.formants);
        voice.hz = c.hz;
        EXPECT_GE(ShareWithin50Cents(voice), 0.95) << c.hz << " Hz, F1 " << c.formants[0];
    }
}

TEST(PitchTracker, TimeLevelAndLogRows) {
    PitchTracker tracker(kPitchRate, kPitchWindowFrames);
    std::vector<std::int16_t> silence(kPitchHopFrames * 2, 0);
    PitchUpdate u = tracker.Feed(silence.data(), kPitchHopFrames);
    EXPECT_DOUBLE_EQ(u.seconds, 0.05); // the end of the first hop
    EXPECT_EQ(PitchLog::Row(u), "0.050,,,,-120.0\n");

    // A full-scale square wave at 440 Hz is 0 dBFS and clipped.
    std::vector<std::int16_t> square(kPitchHopFrames * 2);
    for (std::size_t k = 0; k < kPitchHopFrames * 2; ++k) {
        square[k] =
            std::int16_t(std::fmod(double(k / 2) * 440.0 / kPitchRate, 1.0) < 0.5 ? 32767 : -32767);
    }
    tracker.Feed(square.data(), kPitchHopFrames);
    u = tracker.Feed(square.data(), kPitchHopFrames);
    EXPECT_DOUBLE_EQ(u.seconds, 0.15);
    EXPECT_TRUE(u.clipped);
    EXPECT_NEAR(u.levelDbfs, 0.0, 0.1);
    EXPECT_EQ(u.note, 45);
    const std::string row = PitchLog::Row(u);
    EXPECT_EQ(row.substr(0, 10), "0.150,440.");
    EXPECT_NE(row.find(",A-3,"), std::string::npos) << row;
    EXPECT_EQ(row.substr(row.size() - 5), ",0.0\n") << row;
}

std::string Text(const std::string& path) {
    const auto bytes = test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// --log replaces only what is ours: a recording mistyped for the log, a pipe or a device is
// refused at once and left alone; a log of an earlier run, or an empty file, is replaced.
TEST(PitchLog, ReplacesOnlyItsOwnLogs) {
    test::TempDir dir;
    const std::string take = dir / "take.wav", old = dir / "old.csv", fifo = dir / "fifo";
    std::ofstream(take) << "RIFF....WAVE";
    std::ofstream(old) << PitchLog::kHeader << "0.050,,,,-120.0\n";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {take, fifo, std::string("/dev/full")}) {
        std::string error;
        EXPECT_EQ(PitchLog::Open(path, error), nullptr) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
    EXPECT_EQ(Text(take), "RIFF....WAVE");
    for (const std::string& path : {old, dir / "new.csv"}) {
        std::string error;
        auto log = PitchLog::Open(path, error);
        ASSERT_NE(log, nullptr) << error;
        log->Write(PitchUpdate{.seconds = 1.0});
        EXPECT_TRUE(log->Finish(error)) << error;
        EXPECT_EQ(Text(path), std::string(PitchLog::kHeader) + "1.000,,,,-120.0\n");
    }
}

TEST(ReferenceTone, SoundsTheNoteClicked) {
    for (const std::int32_t note : {21, 45, 64}) { // E-5
        const auto tone = ReferenceTone::Render(note);
        ASSERT_EQ(tone.size(), std::size_t(2 * ReferenceTone::kRate * ReferenceTone::kSeconds));
        PitchEstimator estimator(ReferenceTone::kRate, 4096);
        const double hz = estimator.Estimate(tone.data() + 2 * 20000);
        const SungPitch pitch = SungPitch::FromHz(hz);
        EXPECT_EQ(pitch.nearest, note);
        EXPECT_NEAR(pitch.cents, 0.0, 3.0) << hz;
    }
}

// The listener's sink, waited on by the test.
class WaitingSink : public PitchListener::Sink {
public:
    void Shown(const PitchUpdate& update) override {
        std::lock_guard lock(mutex_);
        updates.push_back(update);
        changed_.notify_all();
    }
    void DeviceState(const std::string& message) override {
        std::lock_guard lock(mutex_);
        messages.push_back(message);
        changed_.notify_all();
    }
    template <typename P> bool WaitFor(P ready) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return ready(*this); });
    }
    std::vector<PitchUpdate> updates;
    std::vector<std::string> messages;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

TEST(PitchListener, MissingAndLostDeviceAreToldAndHeardAgain) {
    test::FakeWaveIn device;
    device.SetOpenResult(MMSYSERR_BADDEVICEID);
    WaitingSink sink;
    const std::uint32_t bytes = kPitchHopFrames * kFrameBytes;
    {
        PitchListener listener(device, sink, kPitchRate, kPitchWindowFrames, kPitchHopFrames,
                               std::chrono::milliseconds(10));
        ASSERT_TRUE(sink.WaitFor([](auto& s) { return s.messages.size() == 1; }));
        EXPECT_NE(sink.messages[0].find("Kein Aufnahmegerät"), std::string::npos);

        device.SetOpenResult(MMSYSERR_NOERROR); // plugged in
        ASSERT_TRUE(device.WaitForQueued(PitchListener::kBlocks));
        EXPECT_EQ(device.openedFormat.nSamplesPerSec, std::uint32_t(kPitchRate));
        ASSERT_TRUE(device.Fill(bytes, 0));
        ASSERT_TRUE(device.Fill(bytes, 0));
        ASSERT_TRUE(sink.WaitFor([](auto& s) { return s.updates.size() == 2; }));
        EXPECT_EQ(sink.messages.back(), "") << "ready again";
        EXPECT_DOUBLE_EQ(sink.updates[1].seconds, 0.10);

        device.Lose();
        ASSERT_TRUE(sink.WaitFor([](auto& s) { return s.messages.size() == 3; }));
        EXPECT_NE(sink.messages[2].find("nicht mehr erreichbar"), std::string::npos);
        ASSERT_TRUE(device.WaitForQueued(PitchListener::kBlocks)); // opened anew
        ASSERT_TRUE(device.Fill(bytes, 0));
        ASSERT_TRUE(sink.WaitFor([](auto& s) { return s.updates.size() == 3; }));
        EXPECT_EQ(sink.messages.back(), "");
        EXPECT_GT(sink.updates[2].seconds, 0.08) << "the clock counts on";
    }
    const auto calls = device.Calls();
    EXPECT_EQ(calls.back(), "close") << "closed when the program ends";
}

} // namespace
} // namespace tessmar
