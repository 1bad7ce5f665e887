// SPDX-License-Identifier: GPL-3.0-or-later
#include "mixer/MixerSetup.h"
#include "platform/mixer/AlsaMixer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace tessmar {
namespace {

// Output of `pactl ARGUMENTS`, on the server that PULSE_SERVER names.
std::string Pactl(const std::string& arguments) {
    std::string output;
    FILE* pipe = ::popen(("pactl " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) {
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    ::pclose(pipe);
    return output;
}

// The raw channel volumes of "Volume: front-left: 32768 /  50% / …, front-right: …".
std::vector<long> ChannelVolumes(const std::string& pactlOutput) {
    std::vector<long> volumes;
    const std::regex channel(R"(: (\d+) /)");
    for (auto m = std::sregex_iterator(pactlOutput.begin(), pactlOutput.end(), channel);
         m != std::sregex_iterator(); ++m) {
        volumes.push_back(std::stol((*m)[1]));
    }
    return volumes;
}

// The setup through ALSA's pulse control plugin, on the private server that the test
// fixture started (PulseAudio or PipeWire): the default sink is the speakers, the
// default source the recording.
TEST(PulseMixer, SetupAtSlider30) {
    const char* dir = std::getenv("TESSMAR_SOUND_DIR");
    ASSERT_NE(dir, nullptr);
    std::ifstream skip(std::string(dir) + "/skip");
    std::string reason;
    if (std::getline(skip, reason)) {
        GTEST_SKIP() << reason;
    }
    // Start from muted at full volume, so that every change shows.
    for (const std::string device : {"sink @DEFAULT_SINK@", "source @DEFAULT_SOURCE@"}) {
        const auto space = device.find(' ');
        const std::string kind = device.substr(0, space);
        const std::string name = device.substr(space);
        ASSERT_EQ(Pactl("set-" + kind + "-mute" + name + " 1"), "");
        ASSERT_EQ(Pactl("set-" + kind + "-volume" + name + " 100%"), "");
    }

    AlsaMixer mixer("pulse");
    MixerSetup setup(mixer);
    setup.Apply(30);

    // PulseAudio's volume v of 0..65536 is the amplitude (v / 65536)³: the speakers at
    // half the amplitude, -6 dB, the recording at 0.3, -10.5 dB, as on a card.
    EXPECT_EQ(Pactl("get-sink-mute @DEFAULT_SINK@"), "Mute: no\n");
    const std::string sink = Pactl("get-sink-volume @DEFAULT_SINK@");
    EXPECT_EQ(ChannelVolumes(sink), (std::vector<long>{52016, 52016}));
    EXPECT_NE(sink.find("-6.02 dB"), std::string::npos) << sink;
    EXPECT_EQ(Pactl("get-source-mute @DEFAULT_SOURCE@"), "Mute: no\n");
    const std::string source = Pactl("get-source-volume @DEFAULT_SOURCE@");
    EXPECT_EQ(ChannelVolumes(source), (std::vector<long>{43872, 43872}));
    EXPECT_NE(source.find("-10.46 dB"), std::string::npos) << source;
}

} // namespace
} // namespace tessmar
