// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <alsa/asoundlib.h>
#include <memory>
#include <string>

namespace tessmar {

// An open ALSA mixer with its simple elements loaded; closed when destroyed.
class AlsaMixerHandle {
public:
    // Opens the mixer of the control device `device` ("default", "hw:0", "pulse", …).
    // Null when the device can't be opened or its elements can't be loaded.
    static std::unique_ptr<AlsaMixerHandle> Open(const std::string& device);
    ~AlsaMixerHandle();
    AlsaMixerHandle(const AlsaMixerHandle&) = delete;
    AlsaMixerHandle& operator=(const AlsaMixerHandle&) = delete;

    snd_mixer_t* get() const { return mixer_; }
    // The control device is a plugin (a sound server's, or the tests' card), not a
    // sound card's driver.
    bool isPlugin() const { return plugin_; }

    // Takes in the changes the device has reported since the last call, so that the
    // elements show what the device holds now. Writing a control that several elements
    // share (an input selection) otherwise leaves the others showing the old state.
    void Refresh();

private:
    explicit AlsaMixerHandle(snd_mixer_t* mixer) : mixer_(mixer) {}

    snd_mixer_t* mixer_;
    bool plugin_ = false;
};

} // namespace tessmar
