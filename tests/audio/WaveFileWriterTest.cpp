// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/WaveFileWriter.h"

#include "TempDir.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

using test::ReadBytes;
using test::TempDir;
using Bytes = std::vector<unsigned char>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t U16(const Bytes& b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}
std::string Id(const Bytes& b, std::size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

Bytes Pattern(std::size_t n) {
    Bytes data(n);
    for (std::size_t i = 0; i < n; ++i) {
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return data;
}

TEST(WriteWaveFile, CaptureFormatByteForByte) {
    TempDir dir;
    const Bytes data = Pattern(8192);
    ASSERT_TRUE(WriteWaveFile(dir / "take.wav", data.data(), 8192, 11025, true, true));
    const Bytes file = ReadBytes(dir / "take.wav");
    const Bytes header = {'R', 'I', 'F',  'F',  0x24, 0x20, 0,    0,    'W',  'A', 'V',
                          'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,   0,
                          2,   0,   0x11, 0x2B, 0,    0,    0x44, 0xAC, 0,    0,   4,
                          0,   16,  0,    'd',  'a',  't',  'a',  0,    0x20, 0,   0};
    ASSERT_EQ(file.size(), 8236u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 44), header);
    EXPECT_EQ(Bytes(file.begin() + 44, file.end()), data);
    EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary file may be left behind";
}

TEST(WriteWaveFile, FormatFieldsOfAllFourFlagCombinations) {
    struct Case {
        bool stereo, bits16;
        std::uint16_t channels;
        std::uint32_t avgBytes;
        std::uint16_t align, bits;
    };
    TempDir dir;
    const Bytes data = Pattern(100);
    for (const Case c : {Case{true, true, 2, 44100, 4, 16}, Case{true, false, 2, 22050, 2, 8},
                         Case{false, true, 1, 22050, 2, 16}, Case{false, false, 1, 11025, 1, 8}}) {
        ASSERT_TRUE(WriteWaveFile(dir / "f.wav", data.data(), 100, 11025, c.bits16, c.stereo));
        const Bytes file = ReadBytes(dir / "f.wav");
        ASSERT_EQ(file.size(), 144u);
        EXPECT_EQ(Id(file, 0) + Id(file, 8) + Id(file, 12) + Id(file, 36), "RIFFWAVEfmt data");
        EXPECT_EQ(U32(file, 16), 16u);
        EXPECT_EQ(U16(file, 20), 1u);
        EXPECT_EQ(U16(file, 22), c.channels);
        EXPECT_EQ(U32(file, 24), 11025u);
        EXPECT_EQ(U32(file, 28), c.avgBytes);
        EXPECT_EQ(U16(file, 32), c.align);
        EXPECT_EQ(U16(file, 34), c.bits);
    }
}

TEST(WriteWaveFile, EmptyAndOddSizedData) {
    TempDir dir;
    ASSERT_TRUE(WriteWaveFile(dir / "empty.wav", nullptr, 0, 11025, true, true));
    Bytes file = ReadBytes(dir / "empty.wav");
    ASSERT_EQ(file.size(), 44u);
    EXPECT_EQ(U32(file, 4), 36u);
    EXPECT_EQ(U32(file, 40), 0u);

    const Bytes data = Pattern(5);
    ASSERT_TRUE(WriteWaveFile(dir / "odd.wav", data.data(), 5, 8000, false, false));
    file = ReadBytes(dir / "odd.wav");
    ASSERT_EQ(file.size(), 50u);
    EXPECT_EQ(U32(file, 4), 42u) << "RIFF size counts the pad byte";
    EXPECT_EQ(U32(file, 40), 5u) << "data size does not";
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 49), data);
    EXPECT_EQ(file[49], 0);
}

TEST(WriteWaveFile, ReplacesAnExistingFileKeepingItsPermissions) {
    TempDir dir;
    test::WriteBytes(dir / "take.wav", std::string(100000, 'x'));
    ASSERT_EQ(::chmod((dir / "take.wav").c_str(), 0640), 0);
    const Bytes data = Pattern(4);
    ASSERT_TRUE(WriteWaveFile(dir / "take.wav", data.data(), 4, 11025, true, true));
    EXPECT_EQ(ReadBytes(dir / "take.wav").size(), 48u);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "take.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WriteWaveFile, WritesThroughASymbolicLink) {
    TempDir dir;
    test::WriteBytes(dir / "real.wav", "old");
    ASSERT_EQ(::symlink("real.wav", (dir / "link.wav").c_str()), 0);
    const Bytes data = Pattern(8);
    ASSERT_TRUE(WriteWaveFile(dir / "link.wav", data.data(), 8, 11025, true, true));
    EXPECT_EQ(ReadBytes(dir / "real.wav").size(), 52u);
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "link.wav").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(WriteWaveFile, FailsWithoutTouchingAnythingWhenTheTargetCannotBeCreated) {
    TempDir dir;
    const Bytes data = Pattern(16);
    errno = 0;
    EXPECT_FALSE(WriteWaveFile(dir / "missing/take.wav", data.data(), 16, 11025, true, true));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(WriteWaveFile("/proc/tessmar-take.wav", data.data(), 16, 11025, true, true));
    EXPECT_FALSE(WriteWaveFile("", data.data(), 16, 11025, true, true));
    EXPECT_FALSE(WriteWaveFile(dir.path().string(), data.data(), 16, 11025, true, true));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
    EXPECT_FALSE(WriteWaveFile(dir / "neg.wav", data.data(), -1, 11025, true, true));
    EXPECT_FALSE(WriteWaveFile(dir / "null.wav", nullptr, 16, 11025, true, true));
    EXPECT_TRUE(dir.Entries().empty());

    if (::geteuid() != 0) { // root writes into read-only folders regardless
        std::filesystem::create_directory(dir / "locked");
        ::chmod((dir / "locked").c_str(), 0555);
        EXPECT_FALSE(WriteWaveFile(dir / "locked/take.wav", data.data(), 16, 11025, true, true));
        EXPECT_EQ(errno, EACCES);
    }
}

TEST(WriteWaveFile, RefusesDevicesInsteadOfReplacingThem) {
    const Bytes data = Pattern(16);
    errno = 0;
    EXPECT_FALSE(WriteWaveFile("/dev/full", data.data(), 16, 11025, true, true));
    EXPECT_EQ(SystemErrorText(errno), "keine gewöhnliche Datei");
    EXPECT_FALSE(WriteWaveFile("/dev/null", data.data(), 16, 11025, true, true));
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(WriteWaveFile, RefusesAFileTheCallerMayNotWrite) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file; unwritable_file_test runs this as nobody";
    }
    TempDir dir;
    const std::string target = dir / "take.wav";
    test::WriteBytes(target, "keep");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const Bytes data = Pattern(16);
    errno = 0;
    EXPECT_FALSE(WriteWaveFile(target, data.data(), 16, 11025, true, true));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(ReadBytes(target), Bytes({'k', 'e', 'e', 'p'}));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"take.wav"});
}

// A file size limit makes write() fail part-way, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int);
};

TEST(WriteWaveFile, AFailedWriteLeavesTheExistingFileIntactAndNoLeftovers) {
    TempDir dir;
    const std::string target = dir / "take.wav";
    test::WriteBytes(target, "the earlier take");
    const Bytes data = Pattern(1 << 20);
    {
        FileSizeLimit limit(64 * 1024);
        errno = 0;
        EXPECT_FALSE(WriteWaveFile(target, data.data(), 1 << 20, 11025, true, true));
        EXPECT_EQ(errno, EFBIG);
    }
    const Bytes kept = ReadBytes(target);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the earlier take");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"take.wav"});

    ASSERT_TRUE(WriteWaveFile(target, data.data(), 1 << 20, 11025, true, true))
        << "the limit is gone, so the same write now succeeds";
}

} // namespace
} // namespace tessmar
