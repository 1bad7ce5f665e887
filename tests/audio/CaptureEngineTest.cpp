// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/CaptureEngine.h"

#include "FakeCaptureView.h"
#include "FakeWaveIn.h"
#include "TempDir.h"
#include "audio/CaptureHandler.h"
#include "tools/measure/IdleEventPump.h"

#include <atomic>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::FakeCaptureView;
using test::FakeWaveIn;
using test::TempDir;
using Bytes = std::vector<unsigned char>;

// The data chunk of a written recording.
Bytes Samples(const std::string& path) {
    const Bytes file = test::ReadBytes(path);
    return file.size() < 44 ? Bytes{} : Bytes(file.begin() + 44, file.end());
}

Bytes Blocks(std::initializer_list<std::pair<std::uint32_t, std::uint8_t>> parts) {
    Bytes out;
    for (const auto& [n, value] : parts) {
        out.insert(out.end(), n, value);
    }
    return out;
}

class CaptureEngineTest : public ::testing::Test {
protected:
    // Fills the next block and waits until the capture thread has drawn it.
    void Capture(std::uint32_t n, std::uint8_t value, std::uintptr_t wParam = 0) {
        const std::size_t drawn = view.Drawn();
        ASSERT_TRUE(device.Fill(n, value, wParam));
        ASSERT_TRUE(view.WaitForTraces(drawn + 1));
    }

    TempDir dir;
    FakeWaveIn device;
    FakeCaptureView view;
    measure::IdleEventPump events;
    CaptureEngine engine{device, view, events};
};

TEST_F(CaptureEngineTest, StartAndStopDriveTheDeviceInOrder) {
    engine.Start();
    EXPECT_EQ(device.openedFormat.wFormatTag, 1);
    EXPECT_EQ(device.openedFormat.nChannels, 2);
    EXPECT_EQ(device.openedFormat.nSamplesPerSec, 11025u);
    EXPECT_EQ(device.openedFormat.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(device.openedFormat.nBlockAlign, 4);
    EXPECT_EQ(device.openedFormat.wBitsPerSample, 16);
    EXPECT_EQ(device.openedFormat.cbSize, 0);
    EXPECT_NE(device.callback, 0u) << "the capture thread is notified";
    engine.Stop();
    EXPECT_EQ(device.Calls(),
              (std::vector<std::string>{"open 4294967295 131072 handle=0", "prepare 4096 32",
                                        "prepare 4096 32", "add 32", "add 32", "start", "stop",
                                        "reset", "close"}));
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.state().WaveBuffer1, nullptr);
}

TEST_F(CaptureEngineTest, BlocksAlternateWhateverTheNotificationSaysAndAreAllKept) {
    const std::string file = dir / "take.wav";
    view.SetFileName(file);
    engine.Start();
    Capture(4096, 0xA1, 2); // claims to be block 2: ignored
    Capture(4096, 0xB2, 1);
    Capture(4096, 0xC3, 1);
    Capture(1000, 0xD4); // partly filled: only its bytes count
    engine.Stop();
    EXPECT_EQ(Samples(file), Blocks({{4096, 0xA1}, {4096, 0xB2}, {4096, 0xC3}, {1000, 0xD4}}));
    EXPECT_EQ(view.Analysed(), 4u);
    const auto calls = device.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "add 32"), 6) << "each block given back";
}

TEST_F(CaptureEngineTest, WithoutAFileNameOnlyTheNewestBlockIsHeld) {
    engine.Start();
    Capture(4096, 1);
    Capture(4096, 2);
    EXPECT_EQ(engine.state().Recording.ByteCount(), 4096);
    Capture(4096, 3);
    EXPECT_EQ(engine.state().Recording.ByteCount(), 4096);
    EXPECT_EQ(engine.state().Recording.data()[0], 3);

    // A name given again: the recording grows on from the newest block.
    const std::string file = dir / "later.wav";
    view.SetFileName(file);
    Capture(4096, 4);
    view.SetFileName("");
    Capture(4096, 5);
    view.SetFileName(file);
    Capture(4096, 6);
    engine.Stop();
    EXPECT_EQ(Samples(file), Blocks({{4096, 5}, {4096, 6}}));
}

TEST_F(CaptureEngineTest, ABlockHandedBackAfterStopIsDropped) {
    const std::string file = dir / "take.wav";
    view.SetFileName(file);
    device.bytesAtStop = 1000; // the block being filled when Stop comes
    engine.Start();
    Capture(4096, 1);
    engine.Stop();
    EXPECT_EQ(Samples(file), Blocks({{4096, 1}}));
    EXPECT_EQ(view.Analysed(), 1u);
    EXPECT_EQ(view.Drawn(), 1u);
    const auto calls = device.Calls();
    const auto stop = std::find(calls.begin(), calls.end(), "stop");
    EXPECT_EQ(std::find(stop, calls.end(), "add 32"), calls.end());
}

TEST_F(CaptureEngineTest, NothingIsWrittenWithoutData) {
    const std::string file = dir / "take.wav";
    test::WriteBytes(file, "keep me");
    view.SetFileName(file);
    engine.Start();
    engine.Stop();
    EXPECT_EQ(test::ReadBytes(file), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    view.SetFileName(""); // data, but no name at stop
    engine.Start();
    Capture(4096, 1);
    engine.Stop();
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"take.wav"});
}

TEST_F(CaptureEngineTest, AFailedOpenIsToldAndStopDoesNotHang) {
    device.openResult = MMSYSERR_BADDEVICEID;
    view.SetFileName(dir / "take.wav");
    engine.Start();
    EXPECT_TRUE(engine.Running());
    EXPECT_EQ(view.unavailable, std::vector<std::uint32_t>{MMSYSERR_BADDEVICEID});
    engine.Stop();
    EXPECT_FALSE(engine.Running());
    EXPECT_TRUE(dir.Entries().empty());
    const auto calls = device.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "prepare 4096 32"), 0);
}

TEST_F(CaptureEngineTest, AnErrorWhileStartingLeavesNothingRunning) {
    device.throwOnOpen = true;
    EXPECT_THROW(engine.Start(), std::runtime_error);
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.state().WaveBuffer1, nullptr);
    device.throwOnOpen = false;
    view.SetFileName(dir / "after.wav");
    engine.Start(); // and the next recording works
    Capture(4096, 8);
    engine.Stop();
    EXPECT_EQ(Samples(dir / "after.wav"), Blocks({{4096, 8}}));
}

TEST_F(CaptureEngineTest, AStopStepThatThrowsLeavesTheRestDoneAndTheEngineIdle) {
    view.SetFileName(dir / "take.wav");
    device.throwOnStop = true;
    engine.Start();
    Capture(4096, 3);
    EXPECT_THROW(engine.Stop(), std::runtime_error);
    EXPECT_FALSE(engine.Running());
    const auto calls = device.Calls();
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
              (std::vector<std::string>{"reset", "close"}));
    EXPECT_EQ(Samples(dir / "take.wav"), Blocks({{4096, 3}})) << "saved all the same";
    EXPECT_EQ(engine.state().WaveBuffer1, nullptr);
    EXPECT_EQ(engine.state().Recording.ByteCount(), 0);

    device.throwOnStop = false;
    view.SetFileName(dir / "next.wav");
    engine.Start(); // and the next recording works
    Capture(4096, 4);
    engine.Stop();
    EXPECT_EQ(Samples(dir / "next.wav"), Blocks({{4096, 4}}));
}

TEST_F(CaptureEngineTest, TwoRecordingsInARowStartAfresh) {
    view.SetFileName(dir / "one.wav");
    engine.Start();
    Capture(4096, 1); // leaves block 2 next
    engine.Stop();
    view.SetFileName(dir / "two.wav");
    engine.Start();
    EXPECT_EQ(engine.state().BlockToggle, 0);
    Capture(4096, 2);
    engine.Stop();
    EXPECT_EQ(Samples(dir / "two.wav"), Blocks({{4096, 2}}));
}

TEST_F(CaptureEngineTest, AnUnwritableFileOffersAnotherPlaceBeforeTheRecordingIsDropped) {
    view.SetFileName(dir / "missing/take.wav");
    view.otherNames = {dir / "also/missing.wav", dir / "saved.wav"};
    engine.Start();
    Capture(4096, 9);
    engine.Stop();
    ASSERT_EQ(view.askedAbout.size(), 2u);
    EXPECT_NE(view.askedAbout[0].find("missing/take.wav: Datei oder Ordner nicht vorhanden"),
              std::string::npos)
        << view.askedAbout[0];
    EXPECT_EQ(Samples(dir / "saved.wav"), Blocks({{4096, 9}}));
    EXPECT_EQ(view.saved, std::vector<std::string>{dir / "saved.wav"}) << "the name written";

    view.otherNames.clear(); // the user declines: nothing written, nothing kept
    engine.Start();
    Capture(4096, 9);
    engine.Stop();
    EXPECT_EQ(view.askedAbout.size(), 3u);
    EXPECT_EQ(engine.state().Recording.ByteCount(), 0);
}

TEST(CaptureEngine, AFullRecordingKeepsWhatItHasAndSaysSoOnce) {
    TempDir dir;
    FakeWaveIn device;
    FakeCaptureView view;
    measure::IdleEventPump events;
    CaptureEngine engine(device, view, events, 2 * 4096);
    view.SetFileName(dir / "take.wav");
    engine.Start();
    for (std::uint8_t value = 1; value <= 4; ++value) {
        const std::size_t drawn = view.Drawn();
        ASSERT_TRUE(device.Fill(4096, value));
        ASSERT_TRUE(view.WaitForTraces(drawn + 1));
    }
    EXPECT_EQ(view.Limits(), std::vector<RecordingLimit>{RecordingLimit::LongestLength});
    EXPECT_EQ(view.Analysed(), 4u) << "notes go on";
    engine.Stop();
    EXPECT_EQ(Samples(dir / "take.wav"), Blocks({{4096, 1}, {4096, 2}}));
}

// Memory running out long before the longest length is told as such, and the recording
// keeps what it has.
TEST(CaptureHandler, OutOfMemoryIsNotTheLongestLength) {
    static int allowed = 0;
    allowed = 1;
    auto grow = [](void* data, std::size_t bytes) -> void* {
        return allowed-- > 0 ? std::realloc(data, bytes) : nullptr;
    };
    CaptureState state;
    state.Recording = RecordingBuffer(RecordingBuffer::kMaxBytes, grow);
    state.WaveBuffer1 = std::make_unique<std::uint8_t[]>(4096);
    state.WaveBuffer2 = std::make_unique<std::uint8_t[]>(4096);
    state.WaveHeader1.dwBytesRecorded = 4096;
    state.WaveHeader2.dwBytesRecorded = 4096;
    FakeWaveIn device;
    FakeCaptureView view;
    view.SetFileName("take.wav");
    CaptureHandler handler(state, device, view);
    for (int block = 0; block < 3; ++block) {
        handler.HandleCapturedBlock();
    }
    EXPECT_EQ(view.Limits(), std::vector<RecordingLimit>{RecordingLimit::OutOfMemory});
    EXPECT_EQ(state.Recording.ByteCount(), 4096);
    EXPECT_EQ(view.Analysed(), 3u);
}

// A window whose calls fail once, as they would when memory runs out mid-block.
class FailingView : public FakeCaptureView {
public:
    bool OutputFileNamed() override {
        if (failName.exchange(false)) {
            throw std::bad_alloc();
        }
        return FakeCaptureView::OutputFileNamed();
    }
    void AnalizeFrequenz(const std::uint8_t* block) override {
        if (failAnalysis.exchange(false)) {
            throw std::bad_alloc();
        }
        FakeCaptureView::AnalizeFrequenz(block);
    }
    std::atomic<bool> failName = false;
    std::atomic<bool> failAnalysis = false;
};

TEST(CaptureEngine, ABlockIsGivenBackWhenItsHandlingFails) {
    TempDir dir;
    FakeWaveIn device;
    FailingView view;
    measure::IdleEventPump events;
    CaptureEngine engine(device, view, events);
    view.SetFileName(dir / "take.wav");
    engine.Start();
    // Each block is handled before the next: its handling has given it back.
    auto fill = [&](std::uint8_t value) {
        ASSERT_TRUE(device.Fill(4096, value));
        ASSERT_TRUE(device.WaitForQueued(2)) << "the device has both blocks again";
    };
    fill(1);
    view.failName = true; // before the block is kept
    fill(2);
    view.failAnalysis = true; // after it is kept
    fill(3);
    fill(4);
    fill(5);
    ASSERT_TRUE(view.WaitForTraces(3));
    engine.Stop();
    // Block 2 is lost to the failure, block 3 was kept before it; the toggle stayed in step.
    EXPECT_EQ(Samples(dir / "take.wav"), Blocks({{4096, 1}, {4096, 3}, {4096, 4}, {4096, 5}}));
    const auto calls = device.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "add 32"), 7) << "every block given back";
}

TEST(WaveformTrace, ScalesTheLeftChannelOntoTheView) {
    std::vector<std::uint8_t> block(4096, 0);
    auto put = [&](int frame, std::int16_t v) {
        block[4 * frame] = std::uint8_t(v);
        block[4 * frame + 1] = std::uint8_t(std::uint16_t(v) >> 8);
        block[4 * frame + 2] = 0x7F; // right channel: never drawn
    };
    put(0, 32767);
    put(2, -32768);
    put(4, 16384);
    put(1, -32768); // frame 1 is skipped with a step of 2
    const WaveformTrace trace = TraceBlock(block.data(), 4096, 437, 117);
    ASSERT_EQ(trace.y.size(), 437u);
    EXPECT_EQ(trace.y[0], 116);
    EXPECT_EQ(trace.y[1], 0);
    EXPECT_EQ(trace.y[2], 87);
    EXPECT_EQ(trace.y[3], 58);

    EXPECT_TRUE(TraceBlock(block.data(), 437, 437, 117).y.empty()) << "too few bytes: clear only";
    EXPECT_EQ(TraceBlock(block.data(), 438, 437, 117).y.size(), 437u);
}

} // namespace
} // namespace tessmar
