// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempDir.h"
#include "analysis/SemitoneDetector.h"
#include "audio/WaveFileWriter.h"
#include "platform/playback/AlsaMediaDevice.h"

#include <alsa/asoundlib.h>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tessmar {
namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + 30s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A program of this test's own, ended and waited for when the object goes.
class Child {
public:
    Child(std::vector<std::string> args, const std::string& output) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

// On the private sound server that the test fixture started (PulseAudio or PipeWire,
// tests/platform/sound_server.sh): the tone played into its default sink "tessmar_sink"
// through ALSA's pulse plugin is recorded from the sink's monitor.
class PulsePlaybackTest : public testing::Test {
protected:
    void SetUp() override {
        const char* fixture = std::getenv("TESSMAR_SOUND_DIR");
        ASSERT_NE(fixture, nullptr);
        std::ifstream skip(std::string(fixture) + "/skip");
        if (std::string reason; std::getline(skip, reason)) {
            GTEST_SKIP() << reason;
        }
        const char* pulse = std::getenv("PULSE_SERVER");
        ASSERT_NE(pulse, nullptr);
        server = pulse;
        setenv("ALSA_CONFIG_PATH", TESSMAR_TEST_ALSA_CONF, 1);
        setenv("TESSMAR_TEST_PULSE_SERVER", server.c_str(), 1);
    }
    void TearDown() override { snd_config_update_free_global(); }

    test::TempDir dir;
    std::string server;
};

TEST_F(PulsePlaybackTest, AToneComesBackThroughTheSinksMonitor) {
    // A-3, 440 Hz, for a second and a half.
    std::vector<std::int16_t> tone(2 * 16538);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<std::int16_t>(
            std::lround(8000 * std::sin(2 * M_PI * 440.0 * double(i / 2) / 11025)));
    }
    const std::string file = dir / "tone.wav";
    ASSERT_TRUE(WriteWaveFile(file, tone.data(), static_cast<std::int32_t>(tone.size() * 2), 11025,
                              true, true));

    const std::string recorded = dir / "monitor.raw";
    {
        Child recorder({"parec", "--server=" + server, "--device=tessmar_sink.monitor", "--raw",
                        "--format=s16le", "--rate=11025", "--channels=2", "--latency-msec=20"},
                       recorded);
        ASSERT_TRUE(recorder.Started());
        // The monitor delivers silence from the start: the recorder is listening.
        ASSERT_TRUE(WaitUntil([&] { return SizeOf(recorded) > 0; }));

        AlsaMediaDevice device("pulse_null");
        ASSERT_EQ(device.Open(file), 0u);
        device.Play();
        ASSERT_TRUE(WaitUntil([&] {
            std::uint32_t mode = 0;
            device.Mode(mode);
            return mode != mci::MCI_MODE_PLAY;
        }));
        device.Close();
        // Half a second more, so that the end of the tone is through the recorder too.
        const std::uintmax_t atEnd = SizeOf(recorded);
        ASSERT_TRUE(WaitUntil([&] { return SizeOf(recorded) >= atEnd + 22050; }));
    }

    const std::vector<unsigned char> bytes = test::ReadBytes(recorded);
    std::map<std::int32_t, int> notes; // detected note → blocks
    for (std::size_t at = 0; at + kBlockBytes <= bytes.size(); at += kBlockBytes) {
        ++notes[DetectNote(bytes.data() + at)];
    }
    notes.erase(-1); // silence
    ASSERT_EQ(notes.size(), 1u) << "only the tone was heard";
    EXPECT_EQ(notes.begin()->first, 45);
    EXPECT_GE(notes.begin()->second, 12) << "of the 16 blocks the tone lasts";
}

} // namespace
} // namespace tessmar
