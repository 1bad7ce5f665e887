// SPDX-License-Identifier: GPL-3.0-or-later
// The ALSA input against the configuration in alsa-test.conf: no sound card needed.
#include "TempDir.h"
#include "WaveInHarness.h"
#include "platform/capture/LinuxWaveIn.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::Block;
using test::WaveInHarness;

class AlsaCapture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ALSA_CONFIG_PATH"), nullptr) << "run through ctest";
        // ALSA may look into the home folder; it must find nothing of the user's there.
        setenv("HOME", home_.path().c_str(), 1);
        // Bytes that differ in every position of a block, longer than anything read.
        infile_.resize(64 * kBlockBytes);
        for (std::size_t i = 0; i < infile_.size(); ++i) {
            infile_[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        }
        test::WriteBytes(home_ / "capture.raw", infile_);
        setenv("TESSMAR_TEST_INFILE", (home_ / "capture.raw").c_str(), 1);
    }

    test::TempDir home_;
    std::string infile_;
};

TEST_F(AlsaCapture, TheDefaultPcmsBytesFillTheBlocks) {
    LinuxWaveIn api(CaptureInput{});
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block blocks[4] = {Block(kBlockBytes), Block(kBlockBytes), Block(kBlockBytes),
                       Block(kBlockBytes)};
    for (Block& block : blocks) {
        device.Queue(handle, block);
    }
    api.waveInStart(handle);

    std::string captured;
    for (Block& block : blocks) {
        ASSERT_EQ(device.NextBlock(), &block.header);
        test::ExpectHandedBack(&block.header);
        ASSERT_EQ(block.header.dwBytesRecorded, std::uint32_t(kBlockBytes));
        captured.append(block.data.begin(), block.data.end());
    }
    EXPECT_TRUE(captured == infile_.substr(0, captured.size()));
    EXPECT_EQ(api.waveInClose(handle), MMSYSERR_NOERROR);
    const auto rest = device.Pending();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].message, MM_WIM_CLOSE);
}

TEST_F(AlsaCapture, AnUnknownPcmCannotBeOpened) {
    LinuxWaveIn api({CaptureInput::Kind::Alsa, "tessmar-no-such-pcm"});
    WaveInHarness device(api);
    HWAVEIN handle = 77;
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.Open(&handle), MMSYSERR_BADDEVICEID);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("„tessmar-no-such-pcm“ lässt sich nicht öffnen"), std::string::npos)
        << told;
    EXPECT_EQ(handle, 77u);
    EXPECT_TRUE(device.Pending().empty());
}

} // namespace
} // namespace tessmar
