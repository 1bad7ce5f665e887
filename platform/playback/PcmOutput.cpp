// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/PcmOutput.h"

#include <cerrno>

namespace tessmar {
std::unique_ptr<PcmOutput> PcmOutput::Open(const std::string& name, int channels, int rate,
                                           mci::Error& error, unsigned latencyMicroseconds) {
    snd_pcm_t* raw = nullptr;
    // Non-blocking, so that a device someone else holds is reported, not waited for.
    int code = snd_pcm_open(&raw, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (code < 0) {
        error = code == -EBUSY    ? mci::MCIERR_WAVE_OUTPUTSINUSE
                : code == -ENOMEM ? mci::MCIERR_OUT_OF_MEMORY
                                  : mci::MCIERR_DEVICE_NOT_INSTALLED;
        return nullptr;
    }
    std::unique_ptr<PcmOutput> output(new PcmOutput(raw));
    code = snd_pcm_set_params(raw, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                              static_cast<unsigned>(channels), static_cast<unsigned>(rate), 1,
                              latencyMicroseconds);
    if (code < 0) {
        error = code == -EBUSY ? mci::MCIERR_WAVE_OUTPUTSINUSE : mci::MCIERR_WAVE_OUTPUTSUNSUITABLE;
        return nullptr;
    }
    error = mci::MMSYSERR_NOERROR;
    return output;
}

long PcmOutput::Write(const std::int16_t* frames, std::size_t frameCount) {
    const snd_pcm_sframes_t written = snd_pcm_writei(pcm_.get(), frames, frameCount);
    if (written >= 0) {
        return written;
    }
    if (written == -EAGAIN) {
        return 0;
    }
    // An underrun (the thread fell behind) or a suspend: start again where the sound is.
    const int code = snd_pcm_recover(pcm_.get(), static_cast<int>(written), 1);
    return code < 0 ? code : 0;
}

long PcmOutput::Delay() {
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_delay(pcm_.get(), &delay) < 0 || delay < 0) {
        return 0;
    }
    return delay;
}

void PcmOutput::Wait(std::chrono::milliseconds maxWait) {
    snd_pcm_wait(pcm_.get(), static_cast<int>(maxWait.count()));
}

void PcmOutput::StartDrain() {
    // A stream shorter than the device's start threshold hasn't started yet.
    if (snd_pcm_state(pcm_.get()) == SND_PCM_STATE_PREPARED) {
        snd_pcm_start(pcm_.get());
    }
    // Returns -EAGAIN while the device is still playing out, in non-blocking mode.
    snd_pcm_drain(pcm_.get());
}

bool PcmOutput::Draining() {
    // Some plugins only notice the end when asked for the free space.
    snd_pcm_avail_update(pcm_.get());
    return snd_pcm_state(pcm_.get()) == SND_PCM_STATE_DRAINING;
}

void PcmOutput::Drop() {
    snd_pcm_drop(pcm_.get());
}

} // namespace tessmar
