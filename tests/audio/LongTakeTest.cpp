// SPDX-License-Identifier: GPL-3.0-or-later
// The longest take there is, pushed through the capture engine and its handler from a
// device without a clock: 13.5 hours of input in seconds.
#include "FakeCaptureView.h"
#include "TempDir.h"
#include "audio/CaptureEngine.h"
#include "tools/measure/IdleEventPump.h"
#include "tools/measure/QuietCaptureView.h"
#include "tools/measure/UnpacedWaveIn.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tessmar {
namespace {

std::uint64_t AvailableMemory() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib >> unit) {
        if (key == "MemAvailable:") {
            return kib * 1024;
        }
    }
    return 0;
}

std::uint32_t U32At(int fd, off_t at) {
    unsigned char b[4] = {};
    if (::pread(fd, b, 4, at) != 4) {
        return 0;
    }
    return b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
}

int ByteAt(int fd, off_t at) {
    unsigned char b = 0;
    return ::pread(fd, &b, 1, at) == 1 ? b : -1;
}

TEST(LongTake, StopsGrowingAtTheLimitSaysSoOnceAndSavesACorrectHeader) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators copy the whole recording on every growth, "
                    "so 2 GiB a block at a time would take hours; the Debug tree runs this";
#endif
    constexpr std::uint64_t kLimit = RecordingBuffer::kMaxBytes; // 2,147,479,552
    static_assert(kLimit == 2147479552 && kLimit % kBlockBytes == 0);
    constexpr std::uint64_t kBlocksKept = kLimit / kBlockBytes;
    constexpr std::uint64_t kBlocks = kBlocksKept + 2000; // a little past 13.5 hours
    test::TempDir dir;
    struct statvfs disk {};
    if (AvailableMemory() < kLimit + (1ull << 30) || ::statvfs(dir.path().c_str(), &disk) != 0 ||
        std::uint64_t(disk.f_bavail) * disk.f_frsize < kLimit + (256ull << 20)) {
        GTEST_SKIP() << "needs 3 GiB of free memory and 2.3 GiB free in " << dir.path();
    }

    const std::string file = dir / "long.wav";
    measure::UnpacedWaveIn device(kBlocks);
    measure::QuietCaptureView view(file);
    measure::IdleEventPump events;
    CaptureEngine engine(device, view, events);
    engine.Start();
    ASSERT_TRUE(device.WaitUntilDrained(std::chrono::seconds(600)));
    EXPECT_EQ(view.fullReports, 1) << "told once, not for every block past the limit";
    EXPECT_FALSE(view.outOfMemory) << "told as the longest length";
    engine.Stop();

    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::lseek(fd, 0, SEEK_END), off_t(44 + kLimit));
    EXPECT_EQ(U32At(fd, 0), 0x46464952u); // "RIFF"
    EXPECT_EQ(U32At(fd, 4), 36 + kLimit);
    EXPECT_EQ(U32At(fd, 8), 0x45564157u); // "WAVE"
    EXPECT_EQ(U32At(fd, 24), 11025u);
    EXPECT_EQ(U32At(fd, 28), 44100u);
    EXPECT_EQ(U32At(fd, 36), 0x61746164u); // "data"
    EXPECT_EQ(U32At(fd, 40), kLimit);
    // The blocks kept are the first ones, in order and without a gap.
    for (const std::uint64_t k :
         {std::uint64_t(0), std::uint64_t(1), std::uint64_t(300000), kBlocksKept - 1}) {
        EXPECT_EQ(ByteAt(fd, off_t(44 + k * kBlockBytes)), int(k % 251)) << "block " << k;
        EXPECT_EQ(ByteAt(fd, off_t(44 + (k + 1) * kBlockBytes - 1)), int(k % 251)) << "block " << k;
    }
    ::close(fd);
}

} // namespace
} // namespace tessmar
