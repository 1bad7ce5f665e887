// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaMixerHandle.h"

#include <mutex>

namespace tessmar {
namespace {

// The mixer reports nothing itself (a failed call only skips what depends on it), and
// ALSA's own messages on standard error would only puzzle the user.
void QuietAlsaMessages(const char*, int, const char*, int, const char*, ...) {}

} // namespace

std::unique_ptr<AlsaMixerHandle> AlsaMixerHandle::Open(const std::string& device) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaMessages); });
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) {
        return nullptr;
    }
    // Owned from here on, so that every failure below closes it.
    std::unique_ptr<AlsaMixerHandle> handle(new AlsaMixerHandle(mixer));
    if (snd_mixer_attach(mixer, device.c_str()) < 0 ||
        snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 || snd_mixer_load(mixer) < 0) {
        return nullptr;
    }
    snd_hctl_t* hctl = nullptr;
    handle->plugin_ = snd_mixer_get_hctl(mixer, device.c_str(), &hctl) == 0 &&
                      snd_ctl_type(snd_hctl_ctl(hctl)) == SND_CTL_TYPE_EXT;
    return handle;
}

AlsaMixerHandle::~AlsaMixerHandle() {
    snd_mixer_close(mixer_);
}

void AlsaMixerHandle::Refresh() {
    // A device that reports no changes answers with an error; there is nothing to take in.
    snd_mixer_handle_events(mixer_);
}

} // namespace tessmar
