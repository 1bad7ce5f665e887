// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-playdelay OUTPUT MONITOR: how the playback position that Tessmar shows lines up
// with the sound as it comes out. Plays a file of short beeps, one at the start of every
// second, through the media player on the ALSA PCM OUTPUT, while it records the PCM
// MONITOR that hears that output (a sound server's monitor source) and timestamps every
// beep's onset there. Prints the time from Play to the first sound, and for every beep the
// position the player reported at the moment the beep was heard, against the beep's place
// in the file. Exit status 1 when something can't be opened.
#include "audio/WaveFileWriter.h"
#include "platform/playback/AlsaMediaDevice.h"

#include <alsa/asoundlib.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 11025;
constexpr int kSeconds = 5;
constexpr int kMonitorRate = 44100;

double Seconds(Clock::time_point t, Clock::time_point zero) {
    return std::chrono::duration<double>(t - zero).count();
}

// A beep of 30 ms at 1 kHz at the start of every second, silence in between.
bool WriteBeeps(const std::string& path) {
    std::vector<std::int16_t> samples(2 * kRate * kSeconds, 0);
    for (int second = 0; second < kSeconds; ++second) {
        for (int i = 0; i < kRate * 30 / 1000; ++i) {
            const auto v =
                static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 1000.0 * i / kRate));
            samples[2 * (second * kRate + i)] = v;
            samples[2 * (second * kRate + i) + 1] = v;
        }
    }
    return tessmar::WriteWaveFile(path, samples.data(),
                                  static_cast<std::int32_t>(samples.size() * 2), kRate, true, true);
}

// Records the monitor and notes the time each beep was heard: the first loud frame after
// at least 0.3 s of quiet, dated by the time of the read less what the device still held.
class Listener {
public:
    bool Open(const char* name) {
        if (snd_pcm_open(&pcm_, name, SND_PCM_STREAM_CAPTURE, 0) < 0) {
            return false;
        }
        return snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                  kMonitorRate, 1, 20000) >= 0;
    }
    ~Listener() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (pcm_) {
            snd_pcm_close(pcm_);
        }
    }
    void Start() {
        snd_pcm_start(pcm_);
        thread_ = std::thread([this] { Run(); });
    }
    std::vector<Clock::time_point> Onsets() {
        std::lock_guard lock(mutex_);
        return onsets_;
    }

private:
    void Run() {
        std::vector<std::int16_t> chunk(256);
        long quiet = kMonitorRate; // frames of quiet so far
        while (!stop_) {
            const snd_pcm_sframes_t got = snd_pcm_readi(pcm_, chunk.data(), chunk.size());
            const Clock::time_point now = Clock::now();
            if (got < 0) {
                snd_pcm_recover(pcm_, static_cast<int>(got), 1);
                continue;
            }
            snd_pcm_sframes_t held = 0;
            snd_pcm_delay(pcm_, &held);
            for (snd_pcm_sframes_t i = 0; i < got; ++i) {
                if (std::abs(chunk[i]) < 2000) {
                    ++quiet;
                    continue;
                }
                if (quiet > kMonitorRate * 3 / 10) {
                    const double age =
                        double(got - i + std::max<snd_pcm_sframes_t>(held, 0)) / kMonitorRate;
                    std::lock_guard lock(mutex_);
                    onsets_.push_back(now - std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(age)));
                }
                quiet = 0;
            }
        }
    }

    snd_pcm_t* pcm_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Clock::time_point> onsets_;
};

struct Sample {
    Clock::time_point at;
    std::int32_t position;
};

// The position reported at time t, read from the polls around it.
double PositionAt(const std::vector<Sample>& polls, Clock::time_point t) {
    for (std::size_t i = 1; i < polls.size(); ++i) {
        if (polls[i].at >= t) {
            return polls[i - 1].position; // what the display showed at that moment
        }
    }
    return polls.empty() ? 0 : polls.back().position;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf: tessmar-playdelay AUSGABE MONITOR\n");
        return 2;
    }
    char folder[] = "/tmp/tessmar-playdelay-XXXXXX";
    if (!mkdtemp(folder)) {
        return 1;
    }
    const std::string file = std::string(folder) + "/beeps.wav";
    if (!WriteBeeps(file)) {
        std::fprintf(stderr, "tessmar-playdelay: %s lässt sich nicht schreiben\n", file.c_str());
        return 1;
    }
    Listener listener;
    if (!listener.Open(argv[2])) {
        std::fprintf(stderr, "tessmar-playdelay: %s lässt sich nicht aufnehmen\n", argv[2]);
        return 1;
    }
    listener.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the monitor runs

    tessmar::AlsaMediaDevice player(argv[1]);
    const Clock::time_point click = Clock::now();
    if (player.Open(file) != 0) {
        std::fprintf(stderr, "tessmar-playdelay: %s lässt sich nicht abspielen\n", argv[1]);
        return 1;
    }
    const Clock::time_point opened = Clock::now();
    player.Play();
    std::vector<Sample> polls;
    for (std::uint32_t mode = tessmar::mci::MCI_MODE_PLAY; mode == tessmar::mci::MCI_MODE_PLAY;
         player.Mode(mode)) {
        std::int32_t position = 0;
        player.Position(position);
        polls.push_back({Clock::now(), position});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    player.Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::remove(file.c_str());
    rmdir(folder);

    if (std::getenv("TESSMAR_PLAYDELAY_TRACE")) {
        std::int32_t last = -1;
        for (const Sample& s : polls) {
            if (s.position != last) {
                std::printf("%.3f s: %d ms\n", Seconds(s.at, click), s.position);
                last = s.position;
            }
        }
    }
    const std::vector<Clock::time_point> onsets = listener.Onsets();
    if (onsets.empty()) {
        std::fprintf(stderr, "tessmar-playdelay: nichts gehört\n");
        return 1;
    }
    std::printf("Klick bis Ausgabe offen: %.3f s\n", Seconds(opened, click));
    std::printf("Klick bis zum ersten Ton: %.3f s\n", Seconds(onsets[0], click));
    std::printf("Ton  gehört nach  angezeigte Position  Abweichung\n");
    for (std::size_t k = 0; k < onsets.size() && k < std::size_t(kSeconds); ++k) {
        const double shown = PositionAt(polls, onsets[k]) / 1000.0;
        std::printf("%3zu  %8.3f s  %12.3f s  %+9.3f s\n", k, Seconds(onsets[k], click), shown,
                    shown - double(k));
    }
    return 0;
}
