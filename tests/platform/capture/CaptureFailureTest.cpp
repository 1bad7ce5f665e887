// SPDX-License-Identifier: GPL-3.0-or-later
// A recording device whose card goes away or hangs, against the test card of
// alsa-test.conf: nothing recorded before the failure is lost, and closing never hangs.
#include "FakeCaptureView.h"
#include "TempDir.h"
#include "WaveInHarness.h"
#include "audio/CaptureEngine.h"
#include "platform/capture/LinuxWaveIn.h"
#include "tools/measure/IdleEventPump.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace tessmar {
namespace {

using namespace std::chrono_literals;
using test::Block;
using test::WaveInHarness;

// Hang guard only: everything here ends in a fraction of it.
constexpr auto kHangGuard = 30s;
constexpr std::uint32_t kLongBlock = 1 << 20; // never full during a test

// The numbers the test card gives its frames (1, 2, ...), as a block holds them.
std::vector<std::uint32_t> Numbers(const std::uint8_t* data, std::uint32_t bytes) {
    std::vector<std::uint32_t> numbers(bytes / kFrameBytes);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::uint16_t half[2];
        std::memcpy(half, data + i * kFrameBytes, sizeof half);
        numbers[i] = half[0] | std::uint32_t(half[1]) << 16;
    }
    return numbers;
}

template <class Condition> bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class CaptureFailure : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("TESSMAR_TEST_PCM_PLUGIN"), nullptr) << "run through ctest";
        setenv("HOME", dir_.path().c_str(), 1);
        setenv("TESSMAR_TEST_BLOCK_FILE", block_.c_str(), 1);
    }

    // Makes the stuck card hang in its next call.
    void Block() { test::WriteBytes(block_, "hang"); }
    bool Hangs() const { return std::filesystem::exists(block_ + ".waiting"); }
    void Release() { std::filesystem::remove(block_); }

    test::TempDir dir_;
    const std::string block_ = dir_ / "block";
};

TEST_F(CaptureFailure, AnUnpluggedCardHandsOverEverythingThenTellsOnceAndRests) {
    LinuxWaveIn api({CaptureInput::Kind::Alsa, "vanishing"});
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    test::Block a(kBlockBytes), b(kBlockBytes);
    device.Queue(handle, a);
    device.Queue(handle, b);
    testing::internal::CaptureStderr();
    ASSERT_EQ(api.waveInStart(handle), MMSYSERR_NOERROR);

    // As the capture thread does: every block handed back is kept and queued again.
    std::vector<std::uint32_t> captured;
    std::vector<std::uint32_t> sizes;
    for (ThreadMessage m = device.Next(); m.message != MM_WIM_LOST; m = device.Next()) {
        ASSERT_EQ(m.message, MM_WIM_DATA);
        auto* header = reinterpret_cast<WaveHdr*>(m.lParam);
        test::ExpectHandedBack(header);
        sizes.push_back(header->dwBytesRecorded);
        const auto numbers = Numbers(header->lpData, header->dwBytesRecorded);
        captured.insert(captured.end(), numbers.begin(), numbers.end());
        ASSERT_EQ(api.waveInAddBuffer(handle, header, kWaveHdrSize), MMSYSERR_NOERROR);
    }
    // The card gave 2560 frames: two full blocks and half a block, all of it arrived.
    ASSERT_EQ(captured.size(), 2560u);
    for (std::size_t i = 0; i < captured.size(); ++i) {
        ASSERT_EQ(captured[i], i + 1) << "frame " << i;
    }
    EXPECT_EQ(sizes.back(), 512u * kFrameBytes);

    // The device sleeps now: no more blocks, no second report, however long one waits.
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(device.Pending().empty());
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("„vanishing“ ist nicht mehr erreichbar (kein solches Gerät)"),
              std::string::npos)
        << told;

    ASSERT_EQ(api.waveInReset(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(api.waveInClose(handle), MMSYSERR_NOERROR);
    const auto rest = device.Pending();
    ASSERT_EQ(rest.size(), 3u); // the two queued blocks, then the close
    EXPECT_EQ(rest[2].message, MM_WIM_CLOSE);
    EXPECT_EQ(api.StrandedThreads(), 0);
}

TEST_F(CaptureFailure, ClosingACardThatHangsReturnsAndLeavesItsThreadSafely) {
    LinuxWaveIn api({CaptureInput::Kind::Alsa, "stuck"});
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    test::Block a(kBlockBytes), b(kBlockBytes), c(kLongBlock);
    for (test::Block* block : {&a, &b, &c}) {
        device.Queue(handle, *block);
    }
    ASSERT_EQ(api.waveInStart(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(device.NextBlock(), &a.header);
    EXPECT_EQ(device.NextBlock(), &b.header);
    Block();
    ASSERT_TRUE(WaitFor([&] { return Hangs(); }));

    auto closed = std::async(std::launch::async, [&] {
        api.waveInStop(handle);
        api.waveInReset(handle);
        return api.waveInClose(handle);
    });
    ASSERT_EQ(closed.wait_for(kHangGuard), std::future_status::ready);
    EXPECT_EQ(closed.get(), MMSYSERR_NOERROR);
    const auto rest = device.Pending();
    ASSERT_EQ(rest.size(), 2u); // block c, partly filled, then the close
    EXPECT_EQ(reinterpret_cast<WaveHdr*>(rest[0].lParam), &c.header);
    EXPECT_EQ(rest[1].message, MM_WIM_CLOSE);
    EXPECT_EQ(api.StrandedThreads(), 1);

    // When the card comes back the thread ends without touching a block or posting.
    const std::uint32_t kept = c.header.dwBytesRecorded;
    Release();
    ASSERT_TRUE(WaitFor([&] { return api.StrandedThreads() == 0; }));
    EXPECT_TRUE(device.Pending().empty());
    EXPECT_EQ(c.header.dwBytesRecorded, kept);
}

// The whole stop as the window runs it: a card that hangs still gets its take saved.
TEST_F(CaptureFailure, StopSavesTheTakeOfACardThatHangs) {
    auto api = std::make_unique<LinuxWaveIn>(CaptureInput{CaptureInput::Kind::Alsa, "stuck"});
    test::FakeCaptureView view;
    measure::IdleEventPump events;
    const std::string file = dir_ / "take.wav";
    view.SetFileName(file);
    {
        CaptureEngine engine(*api, view, events);
        engine.Start();
        ASSERT_TRUE(view.WaitForTraces(2));
        Block();
        ASSERT_TRUE(WaitFor([&] { return Hangs(); }));
        const std::size_t handled = view.Drawn();
        auto stopped = std::async(std::launch::async, [&] { engine.Stop(); });
        ASSERT_EQ(stopped.wait_for(kHangGuard), std::future_status::ready);
        EXPECT_EQ(std::filesystem::file_size(file), 44u + handled * kBlockBytes);
    }
    Release();
    ASSERT_TRUE(WaitFor([&] { return api->StrandedThreads() == 0; }));
}

} // namespace
} // namespace tessmar
