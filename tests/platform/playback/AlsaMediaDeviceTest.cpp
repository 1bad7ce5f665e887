// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/AlsaMediaDevice.h"

#include "TempDir.h"
#include "audio/PlaybackController.h"
#include "audio/WaveFileWriter.h"
#include "platform/playback/EMCIDeviceError.h"
#include "platform/playback/TMediaPlayer.h"

#include <alsa/asoundlib.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <thread>

namespace tessmar {
namespace {

using Samples = std::vector<std::int16_t>;
using namespace std::chrono_literals;

// Waits until done() holds; the limit only guards against a hang.
bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + 60s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Frames whose every sample differs from its neighbours, so that a lost, doubled or
// swapped frame shows.
Samples Sound(int frames, int channels) {
    Samples samples(static_cast<std::size_t>(frames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(12000 * std::sin(0.05 * double(i))) +
                                               static_cast<long>(i % 7));
    }
    return samples;
}

Samples AsSamples(const std::vector<unsigned char>& bytes) {
    Samples samples(bytes.size() / 2);
    if (!samples.empty()) {
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    }
    return samples;
}

// The outputs of tests/platform/playback/alsa-playback.conf: "default" plays in real time,
// "instant" at once, "stalled" never gets on, "mono" takes one channel only. Each writes
// what it is given to the capture file.
class AlsaMediaDeviceTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = std::make_unique<test::TempDir>();
        setenv("HOME", home_->path().c_str(), 1);
        setenv("ALSA_CONFIG_PATH", TESSMAR_TEST_ALSA_CONF, 1);
        setenv("TESSMAR_TEST_PCM_PLUGIN", TESSMAR_TEST_PCM_PLUGIN, 1);
        unsetenv("TESSMAR_OUTPUT");
    }
    static void TearDownTestSuite() {
        snd_config_update_free_global();
        home_.reset();
    }

    void SetUp() override {
        setenv("TESSMAR_TEST_CAPTURE", Capture().c_str(), 1);
        setenv("TESSMAR_TEST_STATUS", (dir / "status").c_str(), 1);
        setenv("TESSMAR_TEST_LOCK", (dir / "lock").c_str(), 1);
    }
    void TearDown() override { unsetenv("TESSMAR_OUTPUT"); }

    std::string Capture() const { return dir / "capture.raw"; }
    Samples Captured() const { return AsSamples(test::ReadBytes(Capture())); }

    // Frames the device has been given, and how often it was stopped.
    std::pair<long long, int> Status() const {
        long long received = 0;
        int stops = 0;
        std::ifstream(dir / "status") >> received >> stops;
        return {received, stops};
    }

    std::string Recording(const Samples& samples) const {
        const std::string path = dir / "take.wav";
        const auto bytes = static_cast<std::int32_t>(samples.size() * 2);
        EXPECT_TRUE(WriteWaveFile(path, samples.data(), bytes, 11025, true, true));
        return path;
    }

    static std::int32_t Length(MediaPlayerDevice& device) {
        std::int32_t value = -1;
        EXPECT_EQ(device.Length(value), 0u);
        return value;
    }
    static std::int32_t Position(MediaPlayerDevice& device) {
        std::int32_t value = -1;
        EXPECT_EQ(device.Position(value), 0u);
        return value;
    }
    static std::uint32_t Mode(MediaPlayerDevice& device) {
        std::uint32_t value = 0;
        EXPECT_EQ(device.Mode(value), 0u);
        return value;
    }

    // The text of the error that opening fileName on output raises.
    static std::string OpenError(const std::string& fileName, const std::string& output = {}) {
        AlsaMediaDevice device(output);
        TMediaPlayer player(device);
        player.FileName = fileName;
        try {
            player.Open();
        } catch (const EMCIDeviceError& error) {
            EXPECT_FALSE(player.IsOpen());
            return error.what();
        }
        return "opened";
    }

    test::TempDir dir;
    static inline std::unique_ptr<test::TempDir> home_;
};

TEST_F(AlsaMediaDeviceTest, PlaysARecordingInRealTimeUntilTheLastFrameIsHeard) {
    const Samples sound = Sound(5512, 2); // half a second
    AlsaMediaDevice device;
    ASSERT_EQ(device.Open(Recording(sound)), 0u);
    EXPECT_EQ(device.SetTimeFormat(mci::MCI_FORMAT_MILLISECONDS), 0u);
    EXPECT_EQ(Length(device), 499);
    EXPECT_EQ(Mode(device), mci::MCI_MODE_STOP);
    EXPECT_EQ(Position(device), 0);

    ASSERT_EQ(device.Play(), 0u);
    EXPECT_EQ(Mode(device), mci::MCI_MODE_PLAY) << "Play returns while the sound plays";
    std::int32_t last = 0;
    ASSERT_TRUE(WaitUntil([&] {
        const bool playing = Mode(device) == mci::MCI_MODE_PLAY;
        const std::int32_t position = Position(device);
        EXPECT_GE(position, last);
        EXPECT_LE(position, 499);
        last = position;
        return !playing;
    }));
    EXPECT_EQ(Position(device), 499);
    EXPECT_EQ(Status().first, 5512) << "every frame went to the device";
    EXPECT_EQ(device.Close(), 0u);
    EXPECT_EQ(Captured(), sound);
    EXPECT_EQ(device.Close(), mci::MCIERR_INVALID_DEVICE_ID);
}

TEST_F(AlsaMediaDeviceTest, PositionIsWhatHasBeenHeardNotWhatHasBeenHandedOver) {
    AlsaMediaDevice device("stalled");
    ASSERT_EQ(device.Open(Recording(Sound(11025 * 5, 2))), 0u);
    device.Play();
    ASSERT_TRUE(WaitUntil([&] { return Status().first > 0; }));
    EXPECT_EQ(Position(device), 0);
    EXPECT_EQ(Mode(device), mci::MCI_MODE_PLAY);
    device.Close();
}

TEST_F(AlsaMediaDeviceTest, CloseStopsTheSoundAndReleasesTheDevice) {
    const std::string file = Recording(Sound(11025 * 5, 2));
    {
        AlsaMediaDevice device("stalled");
        ASSERT_EQ(device.Open(file), 0u);
        EXPECT_EQ(OpenError(file, "stalled"),
                  EMCIDeviceError::TextFor(mci::MCIERR_WAVE_OUTPUTSINUSE))
            << "one holder at a time";
        device.Play();
        ASSERT_TRUE(WaitUntil([&] { return Status().first > 0; }));
        const int stops = Status().second;
        // Returns although the device never plays: nothing waits for the sound to end.
        EXPECT_EQ(device.Close(), 0u);
        EXPECT_GT(Status().second, stops) << "the device was stopped";
        EXPECT_LT(Status().first, 11025 * 5) << "the rest of the file was never sent";
        ASSERT_EQ(device.Open(file), 0u) << "released";
    }
    EXPECT_EQ(OpenError(file, "stalled"), "opened") << "released when destroyed";
}

TEST_F(AlsaMediaDeviceTest, PlaysAnyFormatLibsndfileReads) {
    const Samples sound = Sound(22050, 1);
    const std::string path = dir / "mono.flac";
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_short(file, sound.data(), 22050);
    sf_close(file);

    AlsaMediaDevice device("instant");
    ASSERT_EQ(device.Open(path), 0u);
    EXPECT_EQ(Length(device), 1000);
    device.Play();
    ASSERT_TRUE(WaitUntil([&] { return Mode(device) == mci::MCI_MODE_STOP; }));
    EXPECT_EQ(Position(device), 1000);
    device.Close();
    EXPECT_EQ(Captured(), sound);
}

TEST_F(AlsaMediaDeviceTest, AnEmptyRecordingHasEndedAtOnce) {
    AlsaMediaDevice device;
    ASSERT_EQ(device.Open(Recording({})), 0u);
    EXPECT_EQ(Length(device), 0);
    device.Play();
    ASSERT_TRUE(WaitUntil([&] { return Mode(device) == mci::MCI_MODE_STOP; }));
    EXPECT_EQ(Position(device), 0);
}

TEST_F(AlsaMediaDeviceTest, OpenFailuresNameTheirCause) {
    const std::string wav = Recording(Sound(100, 2));
    const std::string text = dir / "notes.wav";
    test::WriteBytes(text, "Das ist kein Klang, nur Text.\n");
    EXPECT_EQ(OpenError(dir / "missing.wav"),
              "Die Datei wurde nicht gefunden. Prüfen Sie Pfad und Dateinamen");
    EXPECT_EQ(OpenError(dir / "missing/take.wav"),
              "Die Datei wurde nicht gefunden. Prüfen Sie Pfad und Dateinamen");
    EXPECT_EQ(OpenError(""), "Es ist kein Dateiname angegeben");
    EXPECT_EQ(OpenError(text), "Die Datei ist keine Audiodatei, die abgespielt werden kann");
    EXPECT_EQ(OpenError(dir.path().string()), "Die Datei kann nicht gelesen werden");
    // A FIFO without a writer would keep the open waiting for good.
    const std::string fifo = dir / "fifo.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenError(fifo), "Das ist keine gewöhnliche Datei, sondern etwa eine Pipe oder ein "
                               "Gerät; abgespielt werden nur Dateien");
    EXPECT_EQ(OpenError(wav, "nowhere"),
              "Es ist kein Wiedergabegerät vorhanden, oder es lässt sich nicht öffnen");
    EXPECT_EQ(OpenError(wav, "mono"),
              "Das Wiedergabegerät kann Audiodaten in diesem Format nicht abspielen");
    setenv("TESSMAR_OUTPUT", "nowhere", 1);
    EXPECT_EQ(OpenError(wav),
              "Es ist kein Wiedergabegerät vorhanden, oder es lässt sich nicht öffnen");
    EXPECT_EQ(OpenError(wav, "instant"), "opened") << "a name given outranks TESSMAR_OUTPUT";
}

// The whole playback on the real-time device, the window's loop sleeping as it waits.
TEST_F(AlsaMediaDeviceTest, ThePlaybackRunsToTheEndAndReturnsToIdle) {
    struct View : PlaybackView {
        std::string file;
        std::vector<int> bars;
        std::vector<std::string> labels;
        bool playEnabled = true, stopEnabled = false;
        std::string PlaybackFileName() override { return file; }
        void AllowPlaying(bool on) override { playEnabled = on; }
        void AllowCancelling(bool on) override { stopEnabled = on; }
        void ShowTime(const std::string& text) override { labels.push_back(text); }
        void ShowProgress(int position) override { bars.push_back(position); }
        bool CancelFlag() override { return false; }
        void ClearCancelFlag() override {}
        bool ApplicationQuitting() override { return false; }
    } view;
    struct SleepingPump : EventPump {
        void ServeEvents(std::chrono::milliseconds maxWait) override {
            std::this_thread::sleep_for(maxWait);
        }
    } events;
    view.file = Recording(Sound(5512, 2));
    AlsaMediaDevice device;
    TMediaPlayer player(device);
    PlaybackController(player, view, events).Play();

    ASSERT_GE(view.bars.size(), 2u);
    EXPECT_TRUE(std::is_sorted(view.bars.begin(), view.bars.end() - 1));
    EXPECT_LE(view.bars[view.bars.size() - 2], 100);
    EXPECT_EQ(view.labels[0].substr(view.labels[0].size() - 7), " / 0:00");
    EXPECT_EQ(view.labels.back(), "");
    EXPECT_EQ(view.bars.back(), 0);
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(Captured(), Sound(5512, 2));
}

} // namespace
} // namespace tessmar
