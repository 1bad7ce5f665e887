// SPDX-License-Identifier: GPL-3.0-or-later
#include "mixer/MixerSetup.h"

#include "RecordingMixer.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::FakeItem;
using test::RecordingMixer;
using Calls = std::vector<std::string>;

constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
constexpr DWORD kMux = MIXERCONTROL_CONTROLTYPE_MUX;
constexpr DWORD kMixer = MIXERCONTROL_CONTROLTYPE_MIXER;

// Speakers (line 10), a digital line (20) and a synthesizer (30, volume only) on
// destination 0; the recording destination 1 (line 40) with volume, mute and an input
// MUX, and three sources: a microphone (50, range -10..10), line in (60, volume only),
// CD (70, mute only).
void LayOutRichMixer(RecordingMixer& mixer) {
    mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    mixer.AddControl(10, 11, kVolume, 0, 65535);
    mixer.AddControl(10, 12, kMute, 0, 1);
    mixer.AddSource(0, 20, MIXERLINE_COMPONENTTYPE_SRC_DIGITAL);
    mixer.AddControl(20, 21, kMute, 0, 1);
    mixer.AddControl(20, 22, kVolume, 0, 255);
    mixer.AddSource(0, 30, MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER);
    mixer.AddControl(30, 31, kVolume, 0, 31);
    mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddControl(40, 41, kVolume, 0, 65535);
    mixer.AddControl(40, 42, kMute, 0, 1);
    mixer.AddControl(40, 43, kMux, 0, 2,
                     {{60, MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line-In"},
                      {50, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Mikrofon"},
                      {70, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, "CD"}});
    mixer.SetValues(43, {1, 0, 0});
    mixer.AddSource(1, 50, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
    mixer.AddControl(50, 51, kMute, 0, 1);
    mixer.AddControl(50, 52, kVolume, -10, 10);
    mixer.AddSource(1, 60, MIXERLINE_COMPONENTTYPE_SRC_LINE);
    mixer.AddControl(60, 61, kVolume, 0, 100);
    mixer.AddSource(1, 70, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC);
    mixer.AddControl(70, 71, kMute, 0, 1);
}

TEST(MixerSetup, WholeSetupOnARichMixer) {
    RecordingMixer mixer;
    LayOutRichMixer(mixer);
    MixerSetup setup(mixer);
    setup.Apply(30);

    const Calls expected = {
        "mixerOpen(device 0, callback 0, instance 0, flags 0)",
        // speakers: unmuted, half volume
        "mixerGetLineInfoA(component type 0x4)",
        "mixerGetLineControlsA(line 10, one MUTE)",
        "mixerSetControlDetails(control 12, 0 items: 0)",
        "mixerGetLineInfoA(component type 0x4)",
        "mixerGetLineControlsA(line 10, one VOLUME)",
        "mixerSetControlDetails(control 11, 0 items: 32767)",
        // digital line, then the synthesizer, which has no mute control
        "mixerGetLineInfoA(component type 0x1001)",
        "mixerGetLineControlsA(line 20, one MUTE)",
        "mixerSetControlDetails(control 21, 0 items: 0)",
        "mixerGetLineInfoA(component type 0x1001)",
        "mixerGetLineControlsA(line 20, one VOLUME)",
        "mixerSetControlDetails(control 22, 0 items: 76)",
        "mixerGetLineInfoA(component type 0x1004)",
        "mixerGetLineControlsA(line 30, one MUTE)",
        "mixerGetLineInfoA(component type 0x1004)",
        "mixerGetLineControlsA(line 30, one VOLUME)",
        "mixerSetControlDetails(control 31, 0 items: 9)",
        // the recording destination
        "mixerGetLineInfoA(destination 1)",
        "mixerGetLineControlsA(line 40, one MUTE)",
        "mixerSetControlDetails(control 42, 0 items: 0)",
        "mixerGetLineInfoA(destination 1)",
        "mixerGetLineControlsA(line 40, one VOLUME)",
        "mixerSetControlDetails(control 41, 0 items: 19660)",
        // its three sources
        "mixerGetLineInfoA(destination 1, source 0)",
        "mixerGetLineControlsA(line 50, one MUTE)",
        "mixerSetControlDetails(control 51, 0 items: 0)",
        "mixerGetLineInfoA(destination 1, source 0)",
        "mixerGetLineControlsA(line 50, one VOLUME)",
        "mixerSetControlDetails(control 52, 0 items: -4)",
        "mixerGetLineInfoA(destination 1, source 1)",
        "mixerGetLineControlsA(line 60, one MUTE)",
        "mixerGetLineInfoA(destination 1, source 1)",
        "mixerGetLineControlsA(line 60, one VOLUME)",
        "mixerSetControlDetails(control 61, 0 items: 30)",
        "mixerGetLineInfoA(destination 1, source 2)",
        "mixerGetLineControlsA(line 70, one MUTE)",
        "mixerSetControlDetails(control 71, 0 items: 0)",
        "mixerGetLineInfoA(destination 1, source 2)",
        "mixerGetLineControlsA(line 70, one VOLUME)",
        // the input selection: the microphone, then its level
        "mixerGetLineInfoA(destination 1)",
        "mixerGetLineControlsA(line 40, all 3)",
        "mixerGetControlDetailsA(control 43, 3 items, texts)",
        "mixerGetControlDetailsA(control 43, 3 items, values)",
        "mixerSetControlDetails(control 43, 3 items: 0 1 0)",
        "mixerGetLineControlsA(line 50, one VOLUME)",
        "mixerSetControlDetails(control 52, 0 items: -4)",
        "mixerClose(77)",
    };
    EXPECT_EQ(mixer.calls(), expected);
    EXPECT_EQ(mixer.faults(), Calls{});

    // Closing resets handle and level values; the texts stay for the next recording.
    const MixerState& state = setup.state();
    EXPECT_EQ(state.handle, 0u);
    EXPECT_EQ(state.level.dwValue, 0u);
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(state.maximum, 0);
    EXPECT_STREQ(state.itemTexts[1].szName, "Mikrofon");
}

TEST(MixerSetup, NoMixerOnlyOpensAndCloses) {
    RecordingMixer mixer;
    LayOutRichMixer(mixer);
    mixer.FailOpen();
    MixerSetup setup(mixer);
    setup.Apply(30);
    EXPECT_EQ(mixer.calls(),
              (Calls{"mixerOpen(device 0, callback 0, instance 0, flags 0)", "mixerClose(0)"}));
    EXPECT_EQ(mixer.faults(), Calls{});
}

TEST(MixerSetup, SliderAtZeroWritesEveryMinimumButTheSpeakersGetHalf) {
    RecordingMixer mixer;
    LayOutRichMixer(mixer);
    MixerSetup setup(mixer);
    setup.Apply(0);
    EXPECT_EQ(mixer.Values(11), std::vector<LONG>{32767});
    for (const auto& [control, minimum] :
         std::vector<std::pair<DWORD, LONG>>{{22, 0}, {31, 0}, {41, 0}, {52, -10}, {61, 0}}) {
        EXPECT_EQ(mixer.Values(control), std::vector<LONG>{minimum}) << "control " << control;
    }
    EXPECT_EQ(mixer.faults(), Calls{});
}

// The level is computed without overflow even where (maximum - minimum) * 100 exceeds
// 32 bits, and still lands on the bounds at 0 and 100.
TEST(MixerSetup, SetLevelOnWideRanges) {
    RecordingMixer mixer;
    mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    mixer.AddControl(10, 11, kVolume, 0, INT_MAX);
    mixer.AddSource(0, 20, MIXERLINE_COMPONENTTYPE_SRC_DIGITAL);
    mixer.AddControl(20, 12, kVolume, INT_MIN, INT_MAX);
    MixerSetup setup(mixer);
    setup.OpenMixer();
    ASSERT_TRUE(setup.FindTypeControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, kVolume));
    setup.SetLevel(50);
    EXPECT_EQ(mixer.Values(11), std::vector<LONG>{INT_MAX / 2});
    ASSERT_TRUE(setup.FindTypeControl(MIXERLINE_COMPONENTTYPE_SRC_DIGITAL, kVolume));
    setup.SetLevel(0);
    EXPECT_EQ(mixer.Values(12), std::vector<LONG>{INT_MIN});
    setup.SetLevel(100);
    EXPECT_EQ(mixer.Values(12), std::vector<LONG>{INT_MAX});
    setup.SetLevel(101); // out of range: nothing written
    setup.SetLevel(-1);
    EXPECT_EQ(mixer.Values(12), std::vector<LONG>{INT_MAX});
    setup.CloseMixer();
    EXPECT_EQ(mixer.faults(), Calls{});
}

// A mixer with only the recording destination (no speakers, digital or synthesizer line)
// whose destination 1 carries the given controls. Source line 50 has a volume control.
struct SelectionCase {
    const char* name;
    std::vector<FakeItem> items;
    std::vector<LONG> selected; // expected item states afterwards
    DWORD leveledLine;          // line whose volume is set last, 0 for none
};

class Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Selection, SelectsAndLevelsTheRightSource) {
    const SelectionCase& c = GetParam();
    RecordingMixer mixer;
    mixer.AddDestination(90, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS + 100); // not the speakers
    mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddControl(40, 43, kMux, 0, LONG(c.items.size()) - 1, c.items);
    mixer.SetValues(43, std::vector<LONG>(c.items.size(), 1));
    for (DWORD line : {50u, 60u, 70u}) {
        mixer.AddSource(1, line, MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED);
        mixer.AddControl(line, line + 2, kVolume, 0, 100);
    }
    MixerSetup setup(mixer);
    setup.Apply(40);

    EXPECT_EQ(mixer.Values(43), c.selected);
    const Calls& calls = mixer.calls();
    const auto written = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
        return call.rfind("mixerSetControlDetails(control 43,", 0) == 0;
    });
    ASSERT_LT(written + 2, calls.end());
    const std::string line = std::to_string(c.leveledLine);
    EXPECT_EQ(written[1], "mixerGetLineControlsA(line " + line + ", one VOLUME)");
    if (c.leveledLine != 0) {
        EXPECT_EQ(written[2], "mixerSetControlDetails(control " +
                                  std::to_string(c.leveledLine + 2) + ", 0 items: 40)");
    }
    EXPECT_EQ(mixer.faults(), Calls{});
}

constexpr DWORD kMic = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr DWORD kSynth = MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
constexpr DWORD kLine = MIXERLINE_COMPONENTTYPE_SRC_LINE;

INSTANTIATE_TEST_SUITE_P(
    MixerSetup, Selection,
    testing::Values(
        SelectionCase{"SynthesizerTypeWinsOverNames",
                      {{50, kMic, "Mic"}, {60, kSynth, "Synth"}, {70, kSynth, "Synth 2"}},
                      {0, 1, 0},
                      60},
        SelectionCase{
            "MikrofonButNotLineIn", {{60, kLine, "Line-In"}, {50, kMic, "Mikrofon"}}, {0, 1}, 50},
        SelectionCase{"EveryMicInAnyCaseTheLastIsLeveled",
                      {{50, kMic, "front mic"}, {60, kLine, "Line"}, {70, kMic, "MiC 2"}},
                      {1, 0, 1},
                      70},
        SelectionCase{
            "NothingMatchesLevelsLineZero", {{60, kLine, "Line"}, {70, 0x1005, "CD"}}, {0, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Destination 1 offers no list control: its first control becomes current, its value is
// read and written back unchanged, and no source line is leveled.
TEST(MixerSetup, PlainFirstControlIsWrittenBackUnchanged) {
    RecordingMixer mixer;
    mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddControl(40, 41, kVolume, 0, 1000);
    mixer.AddControl(40, 42, kMute, 0, 1);
    MixerSetup setup(mixer);
    setup.Apply(25);
    const Calls& calls = mixer.calls();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(Calls(calls.end() - 7, calls.end()),
              (Calls{"mixerGetLineInfoA(destination 1)", "mixerGetLineControlsA(line 40, all 2)",
                     "mixerGetControlDetailsA(control 41, 0 items, texts)",
                     "mixerGetControlDetailsA(control 41, 0 items, values)",
                     "mixerSetControlDetails(control 41, 0 items: 250)",
                     "mixerGetLineControlsA(line 0, one VOLUME)", "mixerClose(77)"}));
    EXPECT_EQ(mixer.Values(41), std::vector<LONG>{250});
    EXPECT_EQ(mixer.faults(), Calls{});
}

// Of several list controls the last MUX or MIXER in the destination's list is used.
TEST(MixerSetup, LastListControlWins) {
    RecordingMixer mixer;
    mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddControl(40, 43, kMux, 0, 0, {{50, kMic, "Mic"}});
    mixer.AddControl(40, 44, kVolume, 0, 100);
    mixer.AddControl(40, 45, kMixer, 0, 1, {{60, kLine, "Line"}, {50, kMic, "Mic"}});
    mixer.AddControl(40, 46, kMute, 0, 1);
    MixerSetup setup(mixer);
    setup.Apply(30);
    EXPECT_EQ(mixer.Values(43), std::vector<LONG>{0});
    EXPECT_EQ(mixer.Values(45), (std::vector<LONG>{0, 1}));
    EXPECT_EQ(mixer.faults(), Calls{});
}

// Only the first 51 items are read, judged and written: the item lists have no room for
// more. A microphone beyond them stays as it was.
TEST(MixerSetup, ListsLongerThanTheItemRoomAreCut) {
    std::vector<FakeItem> items;
    for (DWORD i = 0; i < 60; ++i) {
        items.push_back({100 + i, kLine, "Line " + std::to_string(i)});
    }
    items[3].name = "Mic";
    items[55].name = "Mic 2";
    RecordingMixer mixer;
    mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddControl(40, 43, kMux, 0, 59, items);
    mixer.SetValues(43, std::vector<LONG>(60, 1));
    MixerSetup setup(mixer);
    setup.Apply(30);

    std::vector<LONG> expected(60, 1);
    std::fill(expected.begin(), expected.begin() + kMaxSelectionItems, 0);
    expected[3] = 1;
    EXPECT_EQ(mixer.Values(43), expected);
    const Calls& calls = mixer.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "mixerGetControlDetailsA(control 43, 51 items, texts)"),
              calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "mixerGetLineControlsA(line 103, one VOLUME)"),
              calls.end());
    EXPECT_EQ(mixer.faults(), Calls{});
}

// Without a usable selection control (a destination without controls, or none at all)
// nothing is read or written there, and the level goes to line ID 0.
TEST(MixerSetup, MissingSelectionControlSkipsTheSelection) {
    for (const bool destinationExists : {true, false}) {
        RecordingMixer mixer;
        mixer.AddDestination(10, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
        mixer.AddControl(10, 11, kVolume, 0, 100);
        if (destinationExists) {
            mixer.AddDestination(40, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
        }
        MixerSetup setup(mixer);
        setup.Apply(30);
        const Calls& calls = mixer.calls();
        EXPECT_EQ(Calls(calls.end() - 3, calls.end()),
                  (Calls{"mixerGetLineInfoA(destination 1)",
                         "mixerGetLineControlsA(line 0, one VOLUME)", "mixerClose(77)"}));
        // The only values written are the speakers'.
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string& call) {
                                    return call.find("ControlDetails") != std::string::npos;
                                }),
                  1);
        EXPECT_EQ(mixer.faults(), Calls{});
    }
}

} // namespace
} // namespace tessmar
