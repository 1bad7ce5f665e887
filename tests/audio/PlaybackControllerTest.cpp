// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlaybackController.h"

#include "FakePlaybackView.h"
#include "ScriptedMediaDevice.h"
#include "platform/playback/EMCIDeviceError.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

using Log = std::vector<std::string>;

class PlaybackControllerTest : public testing::Test {
protected:
    Log log;
    test::ScriptedMediaDevice device{log};
    test::FakePlaybackView view{log};
    test::FakeEventPump events{log};
    TMediaPlayer MediaPlayer1{device};
    PlaybackController playback{MediaPlayer1, view, events};

    // Just the entries that start with prefix.
    Log Only(const std::string& prefix) const {
        Log out;
        for (const std::string& entry : log) {
            if (entry.rfind(prefix, 0) == 0) {
                out.push_back(entry);
            }
        }
        return out;
    }
};

TEST_F(PlaybackControllerTest, PlaysToTheEndShowingTimeAndProgress) {
    device.length = 83456;
    device.positions = {5200, 61999};
    playback.Play();
    EXPECT_EQ(log, (Log{"open take.wav", "PlayWAVBtn off", "play", "StopPlayBtn on",
                        "cancel cleared", "time format 0",
                        // pass 1
                        "bar 6", "label \"0:05 / 1:23\"", "serve 50",
                        // pass 2
                        "bar 74", "label \"1:01 / 1:23\"", "serve 50",
                        // the device has stopped: back to idle
                        "label \"\"", "bar 0", "StopPlayBtn off", "close", "PlayWAVBtn on"}));
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(PlaybackControllerTest, LongTimesHaveNoHoursField) {
    device.length = 3725000;
    device.positions = {600000};
    playback.Play();
    EXPECT_EQ(Only("label"), (Log{"label \"10:00 / 62:05\"", "label \"\""}));
    EXPECT_EQ(Only("bar"), (Log{"bar 16", "bar 0"}));
}

TEST_F(PlaybackControllerTest, ButtonsAreInThePlayingStateWhileTheWindowServesEvents) {
    device.length = 1000;
    device.positions = {0, 500};
    events.onPass = [&](int) {
        EXPECT_FALSE(view.playEnabled);
        EXPECT_TRUE(view.stopEnabled);
        EXPECT_TRUE(device.IsOpen());
    };
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
    playback.Play();
    EXPECT_EQ(Only("serve").size(), 2u);
}

TEST_F(PlaybackControllerTest, CancelEndsThePlaybackAtTheNextTest) {
    device.length = 83456;
    device.positions = {1000, 2000, 3000, 4000};
    events.onPass = [&](int pass) {
        if (pass == 2) {
            view.cancelFlag = true; // "Abbrechen" clicked while the window served events
        }
    };
    playback.Play();
    EXPECT_EQ(Only("label"), (Log{"label \"0:01 / 1:23\"", "label \"0:02 / 1:23\"", "label \"\""}));
    EXPECT_EQ(Only("serve").size(), 2u);
    EXPECT_FALSE(device.IsOpen()) << "closing stops the sound";
    EXPECT_EQ(log.back(), "PlayWAVBtn on");
    EXPECT_FALSE(view.stopEnabled);
}

TEST_F(PlaybackControllerTest, QuittingTheApplicationEndsThePlayback) {
    device.length = 83456;
    device.positions = std::vector<std::int32_t>(1000, 100);
    events.onPass = [&](int pass) {
        if (pass == 3) {
            view.quitting = true;
        }
    };
    playback.Play();
    EXPECT_EQ(Only("serve").size(), 3u);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
}

TEST_F(PlaybackControllerTest, CancelLeftSetByARecordingDoesNotStopANewPlayback) {
    view.cancelFlag = true;
    device.length = 2000;
    device.positions = {0, 1000};
    playback.Play();
    EXPECT_EQ(Only("serve").size(), 2u);
}

TEST_F(PlaybackControllerTest, AFileThatHasEndedBeforeTheFirstTestNeverShowsATime) {
    device.length = 20;
    playback.Play();
    EXPECT_EQ(log, (Log{"open take.wav", "PlayWAVBtn off", "play", "StopPlayBtn on",
                        "cancel cleared", "time format 0", "label \"\"", "bar 0", "StopPlayBtn off",
                        "close", "PlayWAVBtn on"}));
}

TEST_F(PlaybackControllerTest, ALengthOfZeroLeavesTheBarAtZero) {
    device.length = 0;
    device.positions = {0, 40};
    playback.Play();
    EXPECT_EQ(Only("bar"), (Log{"bar 0", "bar 0", "bar 0"}));
    EXPECT_EQ(Only("label").front(), "label \"0:00 / 0:00\"");
}

TEST_F(PlaybackControllerTest, AFailedOpenReachesTheCallerAndChangesNothing) {
    device.openResult = mci::MCIERR_FILE_NOT_FOUND;
    view.cancelFlag = true;
    try {
        playback.Play();
        FAIL() << "no error";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.code(), mci::MCIERR_FILE_NOT_FOUND);
        EXPECT_EQ(std::string(error.what()), EMCIDeviceError::TextFor(mci::MCIERR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(log, (Log{"open take.wav"}));
    EXPECT_EQ(view.label, "untouched");
    EXPECT_EQ(view.bar, -1);
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_TRUE(view.cancelFlag);
}

TEST_F(PlaybackControllerTest, ARejectedFileNameReachesTheCallerBeforeAnythingIsOpened) {
    view.rejectFileName = true;
    view.fileName = "a|b.wav";
    EXPECT_THROW(playback.Play(), std::runtime_error);
    EXPECT_TRUE(log.empty());
}

TEST_F(PlaybackControllerTest, AnErrorWhileServingEventsStillReturnsToIdle) {
    device.length = 1000;
    device.positions = {0, 100, 200};
    events.onPass = [](int) { throw std::runtime_error("nested handler failed"); };
    EXPECT_THROW(playback.Play(), std::runtime_error);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(view.playEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(view.label, "");
    EXPECT_EQ(view.bar, 0);
}

} // namespace
} // namespace tessmar
