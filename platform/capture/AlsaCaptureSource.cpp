// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/AlsaCaptureSource.h"

#include "platform/capture/CaptureFormat.h"
#include "platform/system/ProgramName.h"
#include "platform/system/SystemErrorText.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <vector>

namespace tessmar {
namespace {

constexpr int kPollGuardMs = 1000;  // re-check a device that stays silent
constexpr int kResumeRetryMs = 100; // a suspended device that isn't awake yet

// The PCM wrapped in the plug layer; the name is quoted so that its own colons and
// commas stay part of it.
std::string PlugName(const std::string& name) {
    std::string quoted;
    for (const char c : name) {
        if (c == '\'' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return "plug:'" + quoted + "'";
}

// The capture format; on a negative result refused names the setting the PCM refused.
int SetCaptureFormat(snd_pcm_t* pcm, const CaptureTiming& timing, const char*& refused) {
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_uframes_t period = timing.periodFrames;
    snd_pcm_uframes_t buffer = AlsaCaptureSource::kBufferFrames;
    int dir = 0;
    const std::pair<const char*, std::function<int()>> steps[] = {
        {"Parameter", [&] { return snd_pcm_hw_params_any(pcm, hw); }},
        {"Umrechnung", [&] { return snd_pcm_hw_params_set_rate_resample(pcm, hw, 1); }},
        {"Zugriff",
         [&] { return snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED); }},
        {"Format", [&] { return snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE); }},
        {"Kanäle", [&] { return snd_pcm_hw_params_set_channels(pcm, hw, kChannels); }},
        {"Abtastrate",
         [&] { return snd_pcm_hw_params_set_rate(pcm, hw, unsigned(timing.rate), 0); }},
        {"Periode", [&] { return snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, &dir); }},
        {"Puffer", [&] { return snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer); }},
        {"Parameter", [&] { return snd_pcm_hw_params(pcm, hw); }},
    };
    for (const auto& [what, step] : steps) {
        if (const int err = step(); err < 0) {
            refused = what;
            return err;
        }
    }
    return 0;
}

// ALSA's result codes below its own range are errno values, which are told in German.
std::string AlsaReason(int err) {
    return -err < SND_ERROR_BEGIN ? SystemErrorText(-err) : std::string(snd_strerror(err));
}

// ALSA's own messages name its source lines; ours say in German what failed and why.
void QuietAlsaMessages(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void AlsaCaptureSource::PcmCloser::operator()(snd_pcm_t* pcm) const {
    snd_pcm_close(pcm);
}

std::unique_ptr<AlsaCaptureSource> AlsaCaptureSource::Open(const std::string& name,
                                                           MMRESULT& result, std::string& error,
                                                           CaptureTiming timing) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaMessages); });
    snd_pcm_t* raw = nullptr;
    int err = snd_pcm_open(&raw, PlugName(name).c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0) {
        result = err == -EBUSY ? MMSYSERR_ALLOCATED : MMSYSERR_BADDEVICEID;
        error = "lässt sich nicht öffnen (" + AlsaReason(err) + ")";
        return nullptr;
    }
    PcmHandle pcm(raw);
    const char* refused = "";
    err = SetCaptureFormat(pcm.get(), timing, refused);
    if (err < 0) {
        result = WAVERR_BADFORMAT;
        error = "kann nicht mit " + std::to_string(timing.rate) +
                " Hz, 16 Bit, Stereo aufnehmen (" + std::string(refused) + ": " + AlsaReason(err) +
                ")";
        return nullptr;
    }
    UniqueFd wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake) {
        result = MMSYSERR_ERROR;
        error = "kein Weckdeskriptor (" + SystemErrorText(errno) + ")";
        return nullptr;
    }
    result = MMSYSERR_NOERROR;
    return std::unique_ptr<AlsaCaptureSource>(
        new AlsaCaptureSource(name, std::move(pcm), std::move(wake)));
}

AlsaCaptureSource::AlsaCaptureSource(std::string name, PcmHandle pcm, UniqueFd wake)
    : name_(std::move(name)), pcm_(std::move(pcm)), wake_(std::move(wake)) {}

AlsaCaptureSource::~AlsaCaptureSource() = default;

void AlsaCaptureSource::Start() {
    if (!lost_) {
        StartPcm();
    }
}

void AlsaCaptureSource::Stop() {
    snd_pcm_drop(pcm_.get());
    running_ = false;
}

bool AlsaCaptureSource::StartPcm() {
    snd_pcm_drop(pcm_.get()); // input from before the start is not wanted
    int err = snd_pcm_prepare(pcm_.get());
    if (err >= 0) {
        err = snd_pcm_start(pcm_.get());
    }
    running_ = err >= 0;
    if (!running_) {
        // A device that can't even start gives nothing: told once, not asked again.
        lost_ = true;
        Complain("lässt sich nicht starten", err);
    }
    return running_;
}

std::size_t AlsaCaptureSource::Read(std::int16_t* frames, std::size_t maxFrames,
                                    std::stop_token stop) {
    const int wakeFd = wake_.get();
    std::stop_callback wakeUp(stop, [wakeFd] { eventfd_write(wakeFd, 1); });
    if (lost_ || (!running_ && !StartPcm())) {
        return 0;
    }
    while (!stop.stop_requested()) {
        const snd_pcm_sframes_t got = snd_pcm_readi(pcm_.get(), frames, maxFrames);
        if (got > 0) {
            return static_cast<std::size_t>(got);
        }
        if (got == 0 || got == -EAGAIN) {
            Wait(stop, true, kPollGuardMs);
        } else if (!Recover(static_cast<int>(got), stop)) {
            return 0;
        }
    }
    return 0;
}

bool AlsaCaptureSource::Recover(int error, std::stop_token& stop) {
    int err = 0;
    if (error == -EPIPE) {
        err = snd_pcm_prepare(pcm_.get());
        overruns_ += err >= 0 ? 1 : 0; // a server that went away reports one, too
    } else if (error == -ESTRPIPE) {
        // Resumed here, not in snd_pcm_recover: that one sleeps until the device is awake,
        // however long it takes, where a stop must be heard.
        err = snd_pcm_resume(pcm_.get());
        if (err == -EAGAIN) {
            Wait(stop, false, kResumeRetryMs);
            return true;
        }
        if (err < 0) {
            err = snd_pcm_prepare(pcm_.get()); // a device that can't resume starts over
        }
    } else {
        err = error; // unplugged, or the sound server went away: nothing to retry
    }
    if (err >= 0 && snd_pcm_state(pcm_.get()) == SND_PCM_STATE_PREPARED) {
        err = snd_pcm_start(pcm_.get());
    }
    if (err < 0) {
        running_ = false;
        lost_ = true;
        Complain("ist nicht mehr erreichbar", err);
        return false;
    }
    return true;
}

void AlsaCaptureSource::Wait(std::stop_token& stop, bool withPcm, int timeoutMs) {
    const int count = withPcm ? snd_pcm_poll_descriptors_count(pcm_.get()) : 0;
    std::vector<pollfd> fds(std::max(count, 0) + 1);
    if (count > 0) {
        snd_pcm_poll_descriptors(pcm_.get(), fds.data(), static_cast<unsigned>(count));
    }
    fds.back() = {wake_.get(), POLLIN, 0};
    if (!stop.stop_requested()) {
        poll(fds.data(), fds.size(), timeoutMs);
    }
    eventfd_t ignored = 0;
    eventfd_read(wake_.get(), &ignored); // non-blocking: clears a wake-up, if any
}

void AlsaCaptureSource::Complain(const std::string& what, int error) {
    if (!complained_) {
        complained_ = true;
        std::cerr << ProgramName() << ": Das Aufnahmegerät „" << name_ << "“ " << what << " ("
                  << AlsaReason(error) << ").\n";
    }
}

} // namespace tessmar
