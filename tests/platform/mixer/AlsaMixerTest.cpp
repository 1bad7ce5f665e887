// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer/AlsaMixer.h"

#include "TempDir.h"
#include "mixer/MixerSetup.h"

#include <alsa/asoundlib.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace tessmar {
namespace {

using Values = std::vector<long>;
using CardState = std::map<std::string, Values>;

constexpr const char* kLayouts[] = {"older", "newer", "mixing", "desktop"};

// Runs the mixer code against the emulated cards of the test plugin, through an ALSA
// configuration of the test's own: ctl.older, ctl.newer, ctl.mixing, ctl.desktop, and
// ctl.default, a desktop card too.
class AlsaMixerTest : public testing::Test {
protected:
    static constexpr int kStallMs = 5000;

    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        std::ofstream config(*dir_ / "asound.conf");
        config << "ctl_type.tessmar_test { lib \"" << TESSMAR_TEST_CTL_PLUGIN << "\" }\n";
        for (const char* layout : kLayouts) {
            config << "ctl." << layout << " { type tessmar_test layout \"" << layout
                   << "\" state \"" << StatePath(layout) << "\" }\n";
        }
        config << "ctl.default { type tessmar_test layout \"desktop\" state \""
               << StatePath("default") << "\" }\n";
        config << "ctl.stalled { type tessmar_test layout \"desktop\" state \""
               << StatePath("stalled") << "\" stall " << kStallMs << " }\n";
        config.close();
        // ALSA reads its configuration once, at the first device it opens.
        setenv("ALSA_CONFIG_PATH", (*dir_ / "asound.conf").c_str(), 1);
    }

    static void TearDownTestSuite() {
        snd_config_update_free_global();
        dir_.reset();
    }

    // Every test starts from the cards' initial values.
    void SetUp() override {
        for (const char* layout : kLayouts) {
            std::remove(StatePath(layout).c_str());
        }
        std::remove(StatePath("default").c_str());
    }

    static std::string StatePath(const std::string& card) { return *dir_ / (card + ".state"); }

    static CardState StateOf(const std::string& card) {
        CardState state;
        std::ifstream in(StatePath(card));
        std::string line;
        while (std::getline(in, line)) {
            const auto equals = line.rfind('=');
            std::istringstream values(line.substr(equals + 1));
            Values& parsed = state[line.substr(0, equals)];
            for (long value; values >> value;) {
                parsed.push_back(value);
            }
        }
        return state;
    }

    static void SetUpMixer(const std::string& device, int position) {
        AlsaMixer mixer(device);
        MixerSetup setup(mixer);
        setup.Apply(position);
    }

    static inline std::unique_ptr<test::TempDir> dir_;
};

// A level is an amplitude fraction below the element's top: on a dB scale 30 % is
// top - 10.5 dB and the speakers' 50 % top - 6 dB, at the nearest step.
TEST_F(AlsaMixerTest, OlderCardAtSlider30) {
    SetUpMixer("older", 30);
    const CardState state = StateOf("older");
    // Speakers unmuted at -6 dB (-46.5 + 27 × 1.5), the synthesizer on at +1.5 dB of
    // its +12 dB top.
    EXPECT_EQ(state.at("Master Playback Volume"), (Values{27, 27}));
    EXPECT_EQ(state.at("Master Playback Switch"), (Values{1, 1}));
    EXPECT_EQ(state.at("Synth Playback Volume"), (Values{24, 24}));
    EXPECT_EQ(state.at("Synth Playback Switch"), (Values{1, 1}));
    // Recording unmuted at +12 dB of its +22.5 dB top, the microphone selected and the
    // same.
    EXPECT_EQ(state.at("Capture Volume"), (Values{8, 8}));
    EXPECT_EQ(state.at("Capture Switch"), (Values{1, 1}));
    EXPECT_EQ(state.at("Capture Source"), (Values{0, 0}));
    EXPECT_EQ(state.at("Mic Capture Volume"), (Values{8}));
    // Playback of the inputs stays as it was: no feedback from the microphone.
    EXPECT_EQ(state.at("Mic Playback Switch"), (Values{0}));
    EXPECT_EQ(state.at("Line Playback Switch"), (Values{0, 0}));
    EXPECT_EQ(state.at("PCM Playback Volume"), (Values{20, 20}));
}

TEST_F(AlsaMixerTest, NewerCardAtSlider30) {
    SetUpMixer("newer", 30);
    const CardState state = StateOf("newer");
    EXPECT_EQ(state.at("Master Playback Volume"), (Values{79, 79})); // -6 dB
    EXPECT_EQ(state.at("Master Playback Switch"), (Values{1, 1}));
    EXPECT_EQ(state.at("Capture Volume"), (Values{49, 49})); // +19.5 of +30 dB
    EXPECT_EQ(state.at("Capture Switch"), (Values{1, 1}));
    // "Rear Mic" and "Front Mic" both name a microphone; the enumeration takes the later.
    EXPECT_EQ(state.at("Input Source"), (Values{1, 1}));
    // The boost is a capture source with a volume: +20 dB, the step nearest to +19.5.
    EXPECT_EQ(state.at("Front Mic Boost Volume"), (Values{2, 2}));
    EXPECT_EQ(state.at("Front Mic Playback Switch"), (Values{0, 0}));
    EXPECT_EQ(state.at("Headphone Playback Volume"), (Values{10, 10}));
}

TEST_F(AlsaMixerTest, IndependentCaptureSwitchesAtSlider30) {
    SetUpMixer("mixing", 30);
    const CardState state = StateOf("mixing");
    EXPECT_EQ(state.at("Capture Volume"), (Values{24, 24})); // +24 of +34.5 dB
    EXPECT_EQ(state.at("Mic Capture Switch"), (Values{1}));
    // No dB scale on a plugin's control: cubic, 7 × ∛0.3.
    EXPECT_EQ(state.at("Mic Capture Volume"), (Values{5}));
    EXPECT_EQ(state.at("Line Capture Switch"), (Values{0, 0}));
    EXPECT_EQ(state.at("CD Capture Switch"), (Values{0, 0}));
}

// What a sound server's mixer offers: speakers at 50 %, recording at the slider, and no
// source to select. "default" is such a mixer here; TESSMAR_MIXER names another. Its
// volume v is the amplitude (v / 65536)³: 65536 × ∛0.5 and 65536 × ∛0.3 are the same
// -6 dB and -10.5 dB as on a card.
TEST_F(AlsaMixerTest, DefaultDeviceAndDesktopMixer) {
    unsetenv("TESSMAR_MIXER");
    EXPECT_EQ(AlsaMixer::DefaultDevice(), "default");
    SetUpMixer(AlsaMixer::DefaultDevice(), 30);
    const CardState state = StateOf("default");
    EXPECT_EQ(state.at("Master Playback Volume"), (Values{52016, 52016}));
    EXPECT_EQ(state.at("Master Playback Switch"), (Values{1, 1}));
    EXPECT_EQ(state.at("Capture Volume"), (Values{43872, 43872}));
    EXPECT_EQ(state.at("Capture Switch"), (Values{1, 1}));

    setenv("TESSMAR_MIXER", "older", 1);
    EXPECT_EQ(AlsaMixer::DefaultDevice(), "older");
    unsetenv("TESSMAR_MIXER");
}

// A card whose server stopped after the open: the first write that keeps the setup waiting
// is given up, and the setup ends without waiting for it or for any other write.
TEST_F(AlsaMixerTest, AStalledWriteIsLeftBehind) {
    AlsaMixer mixer("stalled");
    mixer.SetSlowCallWait([](std::chrono::milliseconds waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return waited < std::chrono::milliseconds(100);
    });
    const auto start = std::chrono::steady_clock::now();
    MixerSetup(mixer).Apply(30);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kStallMs))
        << "waited for a stalled write to end";
}

// Slider 0 is the element's lowest value (silence where it can be silent) and 100 its
// top; in between the value never falls as the slider rises, and slider 1 is not
// silence yet (the older card's recording can't go below 0 dB: it stays there).
TEST_F(AlsaMixerTest, SliderEndsAndOrder) {
    for (const char* card : {"older", "newer", "desktop"}) {
        long previous = -1;
        for (const int position : {0, 1, 10, 30, 50, 70, 99, 100}) {
            SetUpMixer(card, position);
            const long value = StateOf(card).at("Capture Volume").front();
            EXPECT_GE(value, previous) << card << " at " << position;
            if (position == 0) {
                EXPECT_EQ(value, 0) << card;
            } else if (position == 1) {
                EXPECT_EQ(value > 0, std::string(card) != "older") << card;
            } else if (position == 100) {
                EXPECT_EQ(value, std::string(card) == "older"   ? 15
                                 : std::string(card) == "newer" ? 63
                                                                : 65536);
            }
            previous = value;
        }
    }
}

// Quietly: ALSA's own messages don't reach standard error.
TEST_F(AlsaMixerTest, MissingDeviceOpensNothing) {
    AlsaMixer mixer("no_such_mixer");
    HMIXER handle = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(mixer.mixerOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(mixer.mixerClose(0), MMSYSERR_INVALHANDLE);
}

class OlderCardLines : public AlsaMixerTest {
protected:
    void SetUp() override {
        AlsaMixerTest::SetUp();
        ASSERT_EQ(mixer_.mixerOpen(&handle_, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    }
    void TearDown() override { EXPECT_EQ(mixer_.mixerClose(handle_), MMSYSERR_NOERROR); }

    MIXERLINEA Destination(DWORD index) {
        MIXERLINEA line{};
        line.cbStruct = kMixerLineSize;
        line.dwDestination = index;
        EXPECT_EQ(mixer_.mixerGetLineInfoA(handle_, &line, MIXER_GETLINEINFOF_DESTINATION),
                  MMSYSERR_NOERROR);
        return line;
    }

    // The recording destination's controls, the selection control last.
    std::vector<MIXERCONTROLA> RecordingControls() {
        const MIXERLINEA line = Destination(1);
        std::vector<MIXERCONTROLA> controls(line.cControls);
        MIXERLINECONTROLSA request{kMixerLineControlsSize, line.dwLineID,     {},
                                   line.cControls,         kMixerControlSize, controls.data()};
        EXPECT_EQ(mixer_.mixerGetLineControlsA(handle_, &request, MIXER_GETLINECONTROLSF_ALL),
                  MMSYSERR_NOERROR);
        return controls;
    }

    MIXERCONTROLDETAILS Request(DWORD controlId, DWORD items, DWORD size, void* buffer) {
        return {kMixerControlDetailsSize, controlId, 1, items, size, buffer};
    }

    AlsaMixer mixer_{"older"};
    HMIXER handle_ = 0;
};

// The "Capture Source" entries reach the setup as a MUX over the elements they name,
// each with its source line and a component type from its name.
TEST_F(OlderCardLines, LinesControlsAndSelectionItems) {
    const MIXERLINEA speakers = Destination(0);
    EXPECT_EQ(speakers.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_STREQ(speakers.szName, "Master");
    EXPECT_EQ(speakers.cConnections, 5u); // PCM, Synth, Mic, Line, CD
    EXPECT_EQ(speakers.cControls, 2u);
    const MIXERLINEA recording = Destination(1);
    EXPECT_EQ(recording.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);

    const std::vector<MIXERCONTROLA> controls = RecordingControls();
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].dwControlType, MIXERCONTROL_CONTROLTYPE_VOLUME);
    EXPECT_EQ(controls[0].Bounds.lMinimum, 0);
    EXPECT_EQ(controls[0].Bounds.lMaximum, 65535); // a level, whatever the element's range
    EXPECT_EQ(controls[0].Metrics.cSteps, 15u);    // the element's steps
    EXPECT_EQ(controls[1].dwControlType, MIXERCONTROL_CONTROLTYPE_MUTE);
    EXPECT_EQ(controls[1].Bounds.lMaximum, 1);
    const MIXERCONTROLA& mux = controls[2];
    EXPECT_EQ(mux.dwControlType, MIXERCONTROL_CONTROLTYPE_MUX);
    ASSERT_EQ(mux.cMultipleItems, 7u);

    MIXERCONTROLDETAILS_LISTTEXTA texts[7] = {};
    MIXERCONTROLDETAILS details = Request(mux.dwControlID, 7, kListTextSize, texts);
    ASSERT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
              MMSYSERR_NOERROR);
    std::map<std::string, DWORD> types;
    for (const auto& item : texts) {
        types[item.szName] = item.dwParam2;
        EXPECT_NE(item.dwParam1, 0u) << item.szName; // each names its source line
    }
    EXPECT_EQ(types, (std::map<std::string, DWORD>{{"Aux", 0x1009},
                                                   {"CD", 0x1005},
                                                   {"Line", 0x1002},
                                                   {"Mic", 0x1003},
                                                   {"Mix", 0x1000},
                                                   {"Phone", 0x1006},
                                                   {"Video", 0x1000}}));
    // Of the synthesizer, only its playback side exists: component type 0x1004 finds it.
    MIXERLINEA synth{};
    synth.cbStruct = kMixerLineSize;
    synth.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
    ASSERT_EQ(mixer_.mixerGetLineInfoA(handle_, &synth, MIXER_GETLINEINFOF_COMPONENTTYPE),
              MMSYSERR_NOERROR);
    EXPECT_STREQ(synth.szName, "Synth");
    EXPECT_EQ(synth.dwDestination, 0u);
}

// What the setup writes reads back as the same level, within the element's step.
TEST_F(OlderCardLines, VolumeReadsBackItsLevel) {
    const MIXERCONTROLA volume = RecordingControls().front();
    for (const LONG level : {0, 19660, 65535}) {
        LONG written = level;
        MIXERCONTROLDETAILS details = Request(volume.dwControlID, 0, kUnsignedSize, &written);
        ASSERT_EQ(mixer_.mixerSetControlDetails(handle_, &details, MIXER_SETCONTROLDETAILSF_VALUE),
                  MMSYSERR_NOERROR);
        LONG read = -1;
        details = Request(volume.dwControlID, 0, kUnsignedSize, &read);
        ASSERT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_VALUE),
                  MMSYSERR_NOERROR);
        EXPECT_NEAR(read, level, 0.02 * 65535) << level; // a step is 1.5 dB here
    }
}

// Requests that don't fit the control or the caller's buffer are refused or served only
// as far as the caller asked: nothing is written past what the request declares.
TEST_F(OlderCardLines, ServesOnlyWhatTheRequestHolds) {
    const MIXERCONTROLA mux = RecordingControls().back();
    MIXERCONTROLDETAILS_LISTTEXTA texts[8] = {};
    texts[3].dwParam1 = 0xDEAD;
    MIXERCONTROLDETAILS details = Request(mux.dwControlID, 3, kListTextSize, texts);
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
              MMSYSERR_NOERROR);
    EXPECT_EQ(texts[3].dwParam1, 0xDEADu);

    details.cMultipleItems = 8; // more than the control has
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
              MMSYSERR_INVALPARAM);
    details.cMultipleItems = 3;
    details.cbDetails = kBooleanSize; // texts need 72 bytes each
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
              MMSYSERR_INVALPARAM);

    const MIXERCONTROLA volume = RecordingControls().front();
    LONG value = 0;
    details = Request(volume.dwControlID, 0, kListTextSize, texts);
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
              MMSYSERR_INVALPARAM); // a volume has no items
    details = Request(volume.dwControlID, 2, kBooleanSize, &value);
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_, &details, MIXER_GETCONTROLDETAILSF_VALUE),
              MMSYSERR_INVALPARAM);
    details = Request(volume.dwControlID, 0, kBooleanSize, &value);
    EXPECT_EQ(mixer_.mixerGetControlDetailsA(handle_ + 1, &details, MIXER_GETCONTROLDETAILSF_VALUE),
              MMSYSERR_INVALHANDLE);

    const MIXERLINEA recording = Destination(1);
    MIXERCONTROLA one[1] = {};
    MIXERLINECONTROLSA request{
        kMixerLineControlsSize, recording.dwLineID, {}, 1, kMixerControlSize, one};
    EXPECT_EQ(mixer_.mixerGetLineControlsA(handle_, &request, MIXER_GETLINECONTROLSF_ALL),
              MMSYSERR_INVALPARAM); // the line has three
    MIXERLINEA line{};
    line.cbStruct = 100;
    EXPECT_EQ(mixer_.mixerGetLineInfoA(handle_, &line, MIXER_GETLINEINFOF_DESTINATION),
              MMSYSERR_INVALPARAM);
}

} // namespace
} // namespace tessmar
