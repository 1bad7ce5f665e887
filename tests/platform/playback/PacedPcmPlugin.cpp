// SPDX-License-Identifier: GPL-3.0-or-later
// An ALSA PCM plugin for the tests: a sound card without a card. For playback it takes
// 16-bit frames and "plays" them at the pace of their rate (times `speed`; 0 never plays),
// so positions, delays and draining behave as on real hardware. For capture it records
// numbered frames at that pace (frame i carries i + 1: low half in channel 0, high half in
// channel 1). What it has been given or has delivered, and how often it was stopped, go
// to the `status` file; a `lock` file makes it a device that only one may hold at a time;
// `channels_max` makes it refuse wider sound. Failures of a real card: `fail_after` N
// frames it fails with -ENODEV as an unplugged card does; while the `block_file` exists,
// every call that looks at the card's position hangs, as with a stuck driver or server.
#include <algorithm>
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/file.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Paced {
    snd_pcm_ioplug_t io{};
    double speed = 1.0;
    std::string statusPath;
    int timerFd = -1;
    int lockFd = -1;
    bool running = false;
    Clock::time_point startTime;
    snd_pcm_uframes_t startPointer = 0;
    snd_pcm_uframes_t pointer = 0;
    unsigned long long received = 0; // frames played, or delivered by capture
    int stops = 0;
    long long failAfter = -1; // frames; negative: never
    std::string blockPath;

    bool Failed() const { return failAfter >= 0 && received >= (unsigned long long)failAfter; }
    // Hangs while the block file is there; a file beside it, named with ".waiting" added,
    // tells that it hangs.
    void MaybeBlock() const {
        if (blockPath.empty()) {
            return;
        }
        for (bool told = false; access(blockPath.c_str(), F_OK) == 0; usleep(10000)) {
            if (!told) {
                told = true;
                if (FILE* file = std::fopen((blockPath + ".waiting").c_str(), "w")) {
                    std::fclose(file);
                }
            }
        }
    }

    ~Paced() {
        if (timerFd >= 0) {
            close(timerFd);
        }
        if (lockFd >= 0) {
            close(lockFd);
        }
    }

    // Replaced whole, so that a reader never sees half of it.
    void WriteStatus() const {
        if (statusPath.empty()) {
            return;
        }
        const std::string temporary = statusPath + ".new";
        if (FILE* file = std::fopen(temporary.c_str(), "w")) {
            std::fprintf(file, "%llu %d\n", received, stops);
            std::fclose(file);
            std::rename(temporary.c_str(), statusPath.c_str());
        }
    }
};

Paced* Of(snd_pcm_ioplug_t* io) {
    return static_cast<Paced*>(io->private_data);
}

int Start(snd_pcm_ioplug_t* io) {
    Paced* p = Of(io);
    if (p->Failed()) {
        return -ENODEV;
    }
    p->running = true;
    p->startTime = Clock::now();
    p->startPointer = p->pointer;
    return 0;
}

int Stop(snd_pcm_ioplug_t* io) {
    Paced* p = Of(io);
    p->running = false;
    ++p->stops;
    p->WriteStatus();
    return 0;
}

int Prepare(snd_pcm_ioplug_t* io) {
    Of(io)->pointer = 0;
    return Of(io)->Failed() ? -ENODEV : 0;
}

// Frames played since the start, never more than were given.
snd_pcm_sframes_t Pointer(snd_pcm_ioplug_t* io) {
    Paced* p = Of(io);
    p->MaybeBlock();
    if (p->running) {
        const double seconds = std::chrono::duration<double>(Clock::now() - p->startTime).count();
        const auto played = static_cast<snd_pcm_uframes_t>(seconds * io->rate * p->speed);
        if (io->stream == SND_PCM_STREAM_PLAYBACK) {
            const snd_pcm_uframes_t given = io->appl_ptr;
            p->pointer = std::min(p->startPointer + played, given);
        } else {
            p->pointer = p->startPointer + played;
        }
    }
    return static_cast<snd_pcm_sframes_t>(p->pointer);
}

// Captured frames: the number of each frame, split over the first two channels.
void Record(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas, snd_pcm_uframes_t offset,
            snd_pcm_uframes_t count, unsigned long long first) {
    for (snd_pcm_uframes_t i = 0; i < count; ++i) {
        const unsigned long long n = first + i + 1;
        for (unsigned c = 0; c < io->channels; ++c) {
            const snd_pcm_channel_area_t& a = areas[c];
            auto* sample = reinterpret_cast<std::int16_t*>(static_cast<char*>(a.addr) +
                                                           (a.first + a.step * (offset + i)) / 8);
            *sample = static_cast<std::int16_t>(c == 0   ? n & 0xFFFF
                                                : c == 1 ? (n >> 16) & 0xFFFF
                                                         : 0);
        }
    }
}

snd_pcm_sframes_t Transfer(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas,
                           snd_pcm_uframes_t offset, snd_pcm_uframes_t size) {
    Paced* p = Of(io);
    if (p->Failed()) {
        return -ENODEV;
    }
    if (p->failAfter >= 0) {
        size = std::min<snd_pcm_uframes_t>(size, p->failAfter - p->received);
    }
    if (io->stream == SND_PCM_STREAM_CAPTURE) {
        Record(io, areas, offset, size, p->received);
    }
    p->received += size;
    p->WriteStatus();
    return static_cast<snd_pcm_sframes_t>(size);
}

// The timer ticks every few milliseconds: time to look at the pointer again.
int PollRevents(snd_pcm_ioplug_t* io, struct pollfd* pfd, unsigned int, unsigned short* revents) {
    std::uint64_t ticks = 0;
    if (read(pfd[0].fd, &ticks, sizeof ticks) < 0 && errno != EAGAIN) {
        return -errno;
    }
    const bool active = io->state == SND_PCM_STATE_RUNNING || io->state == SND_PCM_STATE_DRAINING ||
                        io->state == SND_PCM_STATE_PREPARED;
    *revents = !active                                ? 0
               : Of(io)->Failed()                     ? POLLERR
               : io->stream == SND_PCM_STREAM_CAPTURE ? POLLIN
                                                      : POLLOUT;
    return 0;
}

int Close(snd_pcm_ioplug_t* io) {
    delete Of(io);
    return 0;
}

const snd_pcm_ioplug_callback_t kCallbacks = [] {
    snd_pcm_ioplug_callback_t c{};
    c.start = Start;
    c.stop = Stop;
    c.pointer = Pointer;
    c.transfer = Transfer;
    c.prepare = Prepare;
    c.poll_revents = PollRevents;
    c.close = Close;
    return c;
}();

int SetConstraints(snd_pcm_ioplug_t* io, unsigned channelsMax) {
    static const unsigned accesses[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    static const unsigned formats[] = {SND_PCM_FORMAT_S16_LE};
    int err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_ACCESS, 1, accesses);
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_FORMAT, 1, formats);
    }
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_CHANNELS, 1, channelsMax);
    }
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_RATE, 1000, 384000);
    }
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64, 1 << 20);
    }
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_BUFFER_BYTES, 256, 1 << 22);
    }
    if (err >= 0) {
        err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIODS, 2, 1024);
    }
    return err;
}

} // namespace

extern "C" SND_PCM_PLUGIN_DEFINE_FUNC(tessmar_paced) {
    (void)root;
    auto* p = new Paced;
    long channelsMax = 8;
    long frames = 0;
    std::string lockPath;
    snd_config_iterator_t i, next;
    snd_config_for_each(i, next, conf) {
        snd_config_t* n = snd_config_iterator_entry(i);
        const char* id = nullptr;
        const char* text = nullptr;
        if (snd_config_get_id(n, &id) < 0 || !strcmp(id, "comment") || !strcmp(id, "type") ||
            !strcmp(id, "hint")) {
            continue;
        }
        if (!strcmp(id, "speed")) {
            snd_config_get_ireal(n, &p->speed);
        } else if (!strcmp(id, "channels_max")) {
            snd_config_get_integer(n, &channelsMax);
        } else if (!strcmp(id, "status") && snd_config_get_string(n, &text) >= 0) {
            p->statusPath = text;
        } else if (!strcmp(id, "lock") && snd_config_get_string(n, &text) >= 0) {
            lockPath = text;
        } else if (!strcmp(id, "fail_after") && snd_config_get_integer(n, &frames) >= 0) {
            p->failAfter = frames;
        } else if (!strcmp(id, "block_file") && snd_config_get_string(n, &text) >= 0) {
            p->blockPath = text;
        }
    }
    if (!lockPath.empty()) {
        p->lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (p->lockFd < 0 || flock(p->lockFd, LOCK_EX | LOCK_NB) < 0) {
            delete p;
            return -EBUSY;
        }
    }
    p->timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const itimerspec every5ms{{0, 5000000}, {0, 5000000}};
    timerfd_settime(p->timerFd, 0, &every5ms, nullptr);

    p->io.version = SND_PCM_IOPLUG_VERSION;
    p->io.name = "Tessmar paced test output";
    p->io.flags = SND_PCM_IOPLUG_FLAG_BOUNDARY_WA;
    p->io.poll_fd = p->timerFd;
    p->io.poll_events = POLLIN;
    p->io.callback = &kCallbacks;
    p->io.private_data = p;
    int err = snd_pcm_ioplug_create(&p->io, name, stream, mode);
    if (err < 0) {
        delete p;
        return err;
    }
    err = SetConstraints(&p->io, static_cast<unsigned>(channelsMax));
    if (err < 0) {
        snd_pcm_ioplug_delete(&p->io); // calls Close
        return err;
    }
    p->WriteStatus();
    *pcmp = p->io.pcm;
    return 0;
}
extern "C" {
SND_PCM_PLUGIN_SYMBOL(tessmar_paced)
}
