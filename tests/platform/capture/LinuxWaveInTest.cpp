// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/LinuxWaveIn.h"

#include "TempDir.h"
#include "WaveInHarness.h"
#include "audio/DemoSinger.h"
#include "audio/DemoSingerInput.h"
#include "audio/WaveFileWriter.h"
#include "platform/capture/PacedCaptureSource.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace tessmar {
namespace {

using test::Block;
using test::ExpectHandedBack;
using test::WaveInHarness;

constexpr std::uint32_t kLongBlock = 1 << 20; // about 24 s: never full during a test

// A file whose frame i carries the number i + 1 (low half left, high half right), so that
// every captured frame tells where in the file it came from, and silence shows as 0.
class NumberedFile {
public:
    explicit NumberedFile(std::size_t frames) {
        std::vector<std::int16_t> samples(frames * kChannels);
        for (std::size_t i = 0; i < frames; ++i) {
            const auto n = static_cast<std::uint32_t>(i + 1);
            samples[2 * i] = static_cast<std::int16_t>(n & 0xFFFF);
            samples[2 * i + 1] = static_cast<std::int16_t>(n >> 16);
        }
        const auto bytes = static_cast<std::int32_t>(samples.size() * kBytesPerSample);
        EXPECT_TRUE(WriteWaveFile(path(), samples.data(), bytes, kSampleRate, true, true));
    }
    std::string path() const { return dir_ / "numbered.wav"; }
    CaptureInput input() const { return {CaptureInput::Kind::File, path()}; }

private:
    test::TempDir dir_;
};

// The numbers of the frames in a block.
std::vector<std::uint32_t> Numbers(const WaveHdr* header) {
    std::vector<std::uint32_t> numbers(header->dwBytesRecorded / kFrameBytes);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::uint16_t half[2];
        std::memcpy(half, header->lpData + i * kFrameBytes, sizeof half);
        numbers[i] = half[0] | std::uint32_t(half[1]) << 16;
    }
    return numbers;
}

// The numbers from first on, one per frame.
std::vector<std::uint32_t> Consecutive(std::uint32_t first, std::size_t count) {
    std::vector<std::uint32_t> numbers(count);
    for (std::size_t i = 0; i < count; ++i) {
        numbers[i] = first + static_cast<std::uint32_t>(i);
    }
    return numbers;
}

TEST(LinuxWaveIn, TheDemoSingsIntoTheBlocksInQueueingOrder) {
    LinuxWaveIn api({CaptureInput::Kind::Demo, {}}, DemoSingerInput());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block a(kBlockBytes), b(kBlockBytes), c(kBlockBytes);
    for (Block* block : {&a, &b, &c}) {
        device.Queue(handle, *block);
        EXPECT_TRUE(block->header.dwFlags & WHDR_INQUEUE);
    }
    ASSERT_EQ(api.waveInStart(handle), MMSYSERR_NOERROR);

    std::vector<std::int16_t> captured;
    for (Block* block : {&a, &b, &c}) {
        ASSERT_EQ(device.NextBlock(), &block->header);
        ExpectHandedBack(&block->header);
        EXPECT_EQ(block->header.dwBytesRecorded, std::uint32_t(kBlockBytes));
        const auto samples = block->Samples();
        captured.insert(captured.end(), samples.begin(), samples.end());
    }
    std::vector<std::int16_t> sung(3 * kBlockFrames * kChannels);
    DemoSinger().Render(sung.data(), 3 * kBlockFrames);
    EXPECT_EQ(captured, sung);

    EXPECT_EQ(api.waveInClose(handle), MMSYSERR_NOERROR);
    const auto rest = device.Pending();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].message, MM_WIM_CLOSE);
}

TEST(LinuxWaveIn, AFileIsDeliveredAsDecodedThenSilence) {
    const NumberedFile file(1500);
    LinuxWaveIn api(file.input());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block a(kBlockBytes), b(kBlockBytes);
    device.Queue(handle, a);
    device.Queue(handle, b);
    api.waveInStart(handle);
    ASSERT_EQ(device.NextBlock(), &a.header);
    ASSERT_EQ(device.NextBlock(), &b.header);

    std::vector<std::uint32_t> captured = Numbers(&a.header), second = Numbers(&b.header);
    captured.insert(captured.end(), second.begin(), second.end());
    std::vector<std::uint32_t> expected = Consecutive(1, 1500);
    expected.resize(2 * kBlockFrames, 0);
    EXPECT_EQ(captured, expected);
    api.waveInClose(handle);
}

TEST(LinuxWaveIn, StopHandsBackThePartlyFilledBlockOnlyAndResetTheRest) {
    const NumberedFile file(30 * kSampleRate);
    LinuxWaveIn api(file.input());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    // A one-frame block first: the chunk that fills it goes on into the long block, so
    // the long one is partly filled whenever the first comes back.
    Block first(kFrameBytes), partial(kLongBlock), untouched(kBlockBytes);
    for (Block* block : {&first, &partial, &untouched}) {
        device.Queue(handle, *block);
    }
    api.waveInStop(handle); // nothing is being filled yet: nothing to hand back
    EXPECT_TRUE(device.Pending().empty());
    api.waveInStart(handle);
    ASSERT_EQ(device.NextBlock(), &first.header);
    EXPECT_EQ(Numbers(&first.header), Consecutive(1, 1));

    ASSERT_EQ(api.waveInStop(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(device.NextBlock(), &partial.header);
    ExpectHandedBack(&partial.header);
    const std::size_t frames = partial.header.dwBytesRecorded / kFrameBytes;
    EXPECT_GT(frames, 0u);
    EXPECT_LT(partial.header.dwBytesRecorded, kLongBlock);
    EXPECT_EQ(Numbers(&partial.header), Consecutive(2, frames));
    EXPECT_TRUE(untouched.header.dwFlags & WHDR_INQUEUE);

    // Stopped, the device fills nothing: the reset hands the last block back empty.
    ASSERT_EQ(api.waveInReset(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(device.NextBlock(), &untouched.header);
    ExpectHandedBack(&untouched.header);
    EXPECT_EQ(untouched.header.dwBytesRecorded, 0u);
    EXPECT_TRUE(device.Pending().empty());

    // A stopped device starts again and goes on with the input.
    Block again(kBlockBytes);
    device.Queue(handle, again);
    api.waveInStart(handle);
    ASSERT_EQ(device.NextBlock(), &again.header);
    const auto numbers = Numbers(&again.header);
    EXPECT_GE(numbers.front(), 2 + frames); // what was read while stopped is dropped
    EXPECT_EQ(numbers, Consecutive(numbers.front(), kBlockFrames));
    api.waveInClose(handle);
}

TEST(LinuxWaveIn, CloseHandsBackEveryQueuedBlockThenNothingButClose) {
    const NumberedFile file(30 * kSampleRate);
    LinuxWaveIn api(file.input());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block first(kFrameBytes), partial(kLongBlock), empty1(kBlockBytes), empty2(kBlockBytes);
    for (Block* block : {&first, &partial, &empty1, &empty2}) {
        device.Queue(handle, *block);
    }
    api.waveInStart(handle);
    ASSERT_EQ(device.NextBlock(), &first.header);

    ASSERT_EQ(api.waveInClose(handle), MMSYSERR_NOERROR);
    const auto messages = device.Pending();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].lParam, reinterpret_cast<std::intptr_t>(&partial.header));
    EXPECT_EQ(messages[1].lParam, reinterpret_cast<std::intptr_t>(&empty1.header));
    EXPECT_EQ(messages[2].lParam, reinterpret_cast<std::intptr_t>(&empty2.header));
    EXPECT_EQ(messages[3].message, MM_WIM_CLOSE);
    for (const Block* block : {&partial, &empty1, &empty2}) {
        ExpectHandedBack(&block->header);
    }
    EXPECT_GT(partial.header.dwBytesRecorded, 0u);
    EXPECT_EQ(empty1.header.dwBytesRecorded, 0u);
    EXPECT_EQ(empty2.header.dwBytesRecorded, 0u);

    // The handle is gone for good: every call is refused, nothing is posted or written.
    std::fill(partial.data.begin(), partial.data.end(), std::uint8_t{0xA5});
    EXPECT_EQ(api.waveInPrepareHeader(handle, &empty1.header, kWaveHdrSize), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.waveInAddBuffer(handle, &empty1.header, kWaveHdrSize), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.waveInStart(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.waveInStop(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.waveInReset(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.waveInClose(handle), MMSYSERR_INVALHANDLE);
    EXPECT_TRUE(device.Pending().empty());
    EXPECT_EQ(std::count(partial.data.begin(), partial.data.end(), 0xA5),
              std::ptrdiff_t{kLongBlock});
}

// The device holds input for a while; what is older than that when a block comes is lost.
TEST(LinuxWaveIn, InputThatWaitsTooLongForABlockIsLostAndCounted) {
    const NumberedFile file(30 * kSampleRate);
    LinuxWaveIn api(file.input());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block first(kFrameBytes);
    device.Queue(handle, first);
    api.waveInStart(handle);
    ASSERT_EQ(device.NextBlock(), &first.header);
    // The input's buffer holds under a second: far beyond that, the input is kept back
    // for the block instead of lost.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (api.LostFrames() == 0) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline)
            << "nothing lost in 30 s without a queued block: the input waits for one";
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The long block keeps the count still while it is read.
    Block next(kBlockBytes), holding(kLongBlock);
    device.Queue(handle, next);
    device.Queue(handle, holding);
    ASSERT_EQ(device.NextBlock(), &next.header);
    const std::uint64_t lost = api.LostFrames();
    EXPECT_EQ(Numbers(&next.header).front(), 2 + lost);
    EXPECT_EQ(api.SourceOverruns(), 0u);
    api.waveInClose(handle);
}

// A paced input read too late (the program stopped, say) counts what it skipped.
TEST(LinuxWaveIn, APacedInputCountsTheFramesItSkipped) {
    PacedCaptureSource source([](std::int16_t* frames, std::size_t count) {
        std::fill(frames, frames + count * kChannels, std::int16_t{0});
    });
    source.Start();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::vector<std::int16_t> frames(2 * PacedCaptureSource::kBufferFrames * kChannels);
    const std::size_t got = source.Read(frames.data(), frames.size() / kChannels, {});
    EXPECT_EQ(source.Overruns(), 1u);
    EXPECT_GE(got + source.DroppedFrames(), kSampleRate);
}

TEST(LinuxWaveIn, BadCallsAreRefusedWithoutANotification) {
    LinuxWaveIn api({CaptureInput::Kind::Demo, {}}, DemoSingerInput());
    WaveInHarness device(api);
    Block block(kBlockBytes);
    for (const HWAVEIN unknown : {HWAVEIN{0}, HWAVEIN{12345}}) {
        EXPECT_EQ(api.waveInPrepareHeader(unknown, &block.header, kWaveHdrSize),
                  MMSYSERR_INVALHANDLE);
        EXPECT_EQ(api.waveInAddBuffer(unknown, &block.header, kWaveHdrSize), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(api.waveInStart(unknown), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(api.waveInStop(unknown), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(api.waveInReset(unknown), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(api.waveInClose(unknown), MMSYSERR_INVALHANDLE);
    }

    WaveFormatEx mono = CaptureFormat();
    mono.nChannels = 1;
    mono.nBlockAlign = 2;
    mono.nAvgBytesPerSec = 22050;
    HWAVEIN handle = 77;
    EXPECT_EQ(api.waveInOpen(&handle, WAVE_MAPPER, &mono, device.thread(), 0, CALLBACK_THREAD),
              WAVERR_BADFORMAT);
    const WaveFormatEx format = CaptureFormat();
    EXPECT_EQ(api.waveInOpen(&handle, 3, &format, device.thread(), 0, CALLBACK_THREAD),
              MMSYSERR_BADDEVICEID);
    EXPECT_EQ(handle, 77u);
    EXPECT_TRUE(device.Pending().empty());

    handle = device.OpenOrFail();
    EXPECT_EQ(api.waveInAddBuffer(handle, &block.header, kWaveHdrSize), WAVERR_UNPREPARED);
    device.Queue(handle, block);
    EXPECT_EQ(api.waveInAddBuffer(handle, &block.header, kWaveHdrSize), MMSYSERR_INVALPARAM);
    api.waveInClose(handle);
}

TEST(LinuxWaveIn, AMissingFileCannotBeOpened) {
    test::TempDir dir;
    LinuxWaveIn api({CaptureInput::Kind::File, dir / "missing.wav"});
    WaveInHarness device(api);
    HWAVEIN handle = 77;
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.Open(&handle), MMSYSERR_READERROR) << "not told as a missing device";
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("missing.wav“ lässt sich nicht lesen: Die Datei ist nicht vorhanden"),
              std::string::npos)
        << told;
    EXPECT_EQ(handle, 77u);
    EXPECT_TRUE(device.Pending().empty());

    // A FIFO without a writer is refused, not waited for.
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    LinuxWaveIn piped({CaptureInput::Kind::File, fifo});
    WaveInHarness pipedDevice(piped);
    testing::internal::CaptureStderr();
    EXPECT_EQ(pipedDevice.Open(&handle), MMSYSERR_READERROR);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("keine gewöhnliche Datei"),
              std::string::npos);

    // The built-in singer is the program's to wire in: a device given none has no such input.
    LinuxWaveIn unwired({CaptureInput::Kind::Demo, {}});
    WaveInHarness unwiredDevice(unwired);
    EXPECT_EQ(unwiredDevice.Open(&handle), MMSYSERR_NODRIVER);
    EXPECT_EQ(handle, 77u);
}

// The capture engine's pattern: another thread gives each block back as it arrives while
// this one stops, resets and closes. Run under ThreadSanitizer this shows the locking.
TEST(LinuxWaveIn, BlocksAlternateWhileAnotherThreadGivesThemBack) {
    LinuxWaveIn api({CaptureInput::Kind::Demo, {}}, DemoSingerInput());
    WaveInHarness device(api);
    const HWAVEIN handle = device.OpenOrFail();
    Block a(kBlockBytes), b(kBlockBytes);
    device.Queue(handle, a);
    device.Queue(handle, b);

    std::vector<WaveHdr*> order;
    std::promise<void> enough;
    std::thread capture([&] {
        for (ThreadMessage m = device.Next(); m.message != MM_WIM_CLOSE; m = device.Next()) {
            auto* header = reinterpret_cast<WaveHdr*>(m.lParam);
            order.push_back(header);
            if (order.size() == 6) {
                enough.set_value();
            }
            api.waveInAddBuffer(handle, header, kWaveHdrSize); // refused once closed
        }
    });
    api.waveInStart(handle);
    enough.get_future().wait();
    api.waveInStop(handle);
    api.waveInReset(handle);
    api.waveInClose(handle);
    capture.join();

    ASSERT_GE(order.size(), 6u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i], i % 2 == 0 ? &a.header : &b.header) << i;
    }
}

} // namespace
} // namespace tessmar
