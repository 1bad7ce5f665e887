// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/TMediaPlayer.h"

#include "ScriptedMediaDevice.h"
#include "platform/playback/EMCIDeviceError.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

using Log = std::vector<std::string>;

TEST(TMediaPlayerTest, OpenClosesWhatIsStillOpenFirst) {
    Log log;
    test::ScriptedMediaDevice device(log);
    TMediaPlayer player(device);
    player.FileName = "a.wav";
    player.Open();
    player.FileName = "b.wav";
    player.Open();
    EXPECT_EQ(log, (Log{"open a.wav", "close", "open b.wav"}));
}

TEST(TMediaPlayerTest, AFailedOpenThrowsTheErrorsText) {
    Log log;
    test::ScriptedMediaDevice device(log);
    TMediaPlayer player(device);
    device.openResult = mci::MCIERR_INVALID_FILE;
    try {
        player.Open();
        FAIL() << "no error";
    } catch (const EMCIDeviceError& error) {
        EXPECT_STREQ(error.what(), "Die Datei ist keine Audiodatei, die abgespielt werden kann");
    }
    EXPECT_FALSE(player.IsOpen());
    player.Close();
    EXPECT_EQ(log, (Log{"open "})) << "nothing to close";
}

TEST(TMediaPlayerTest, ACodeWithoutTextIsAnUnknownCode) {
    Log log;
    test::ScriptedMediaDevice device(log);
    TMediaPlayer player(device);
    device.openResult = 4711;
    EXPECT_THROW(
        {
            try {
                player.Open();
            } catch (const EMCIDeviceError& error) {
                EXPECT_STREQ(error.what(), "Unbekannter Fehlercode");
                throw;
            }
        },
        EMCIDeviceError);
}

} // namespace
} // namespace tessmar
