#include "platform/AlsaMixerHandle.h"

namespace tessmar {

std::unique_ptr<AlsaMixerHandle> AlsaMixerHandle::Open(const std::string& device) {
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
