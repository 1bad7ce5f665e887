#include "tools/notes/NoteLog.h"

#include "TempDir.h"
#include "platform/SoundFileDecoder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <sndfile.h>
#include <sstream>

namespace tessmar {
namespace {

using test::TempDir;

void WriteSoundFile(const std::string& path, int rate, int channels, int format,
                    const std::vector<short>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
}

std::vector<short> Tone(int rate, int channels, double seconds, double hz, double amplitude) {
    std::vector<short> s(std::size_t(rate * seconds) * channels);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i / channels) / rate;
        s[i] = short(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * t)));
    }
    return s;
}

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun NoteLog(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunNoteLog(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

TEST(SoundFileDecoder, CaptureFormatPassesThroughBitForBit) {
    TempDir dir;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> any(-32768, 32767);
    std::vector<short> samples(2 * 5000);
    for (short& s : samples) {
        s = short(any(rng));
    }
    WriteSoundFile(dir / "c.wav", 11025, 2, kWav16, samples);
    std::string error;
    auto decoder = SoundFileDecoder::Open(dir / "c.wav", error);
    ASSERT_TRUE(decoder) << error;
    std::vector<std::int16_t> got(samples.size() + 64);
    EXPECT_EQ(decoder->Read(got.data(), 5032), 5000u);
    got.resize(samples.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), samples.begin()));
    EXPECT_TRUE(decoder->error().empty());
}

TEST(SoundFileDecoder, MonoGoesToBothChannels) {
    TempDir dir;
    const std::vector<short> mono = {1, -2, 300, -32768, 32767};
    WriteSoundFile(dir / "m.flac", 11025, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, mono);
    std::string error;
    auto decoder = SoundFileDecoder::Open(dir / "m.flac", error);
    ASSERT_TRUE(decoder) << error;
    std::vector<std::int16_t> got(10);
    ASSERT_EQ(decoder->Read(got.data(), 5), 5u);
    EXPECT_EQ(got,
              (std::vector<std::int16_t>{1, 1, -2, -2, 300, 300, -32768, -32768, 32767, 32767}));
}

TEST(NoteLog, CaptureFormatFileGivesOneRowPerWholeBlock) {
    TempDir dir;
    // Block 0: 440 Hz loud, block 1: silence, block 2: only half a block (dropped).
    std::vector<short> samples = Tone(11025, 2, 1024.0 / 11025, 440, 3000);
    samples.resize(2 * 2560, 0);
    WriteSoundFile(dir / "take.wav", 11025, 2, kWav16, samples);
    const ToolRun run = NoteLog({dir / "take.wav"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"block,time_s,note,name", "0,0.000,45,A-3",
                                                        "1,0.093,-1,"}));
    EXPECT_EQ(run.err, "");
}

TEST(NoteLog, OtherRatesAreResampled) {
    TempDir dir;
    WriteSoundFile(dir / "cd.wav", 44100, 1, kWav16, Tone(44100, 1, 1.0, 440, 8000));
    const ToolRun run = NoteLog({dir / "cd.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 11u) << "11025 frames make 10 whole blocks";
    EXPECT_EQ(lines[8], "7,0.650,45,A-3");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find(",45,A-3"), std::string::npos) << lines[i];
    }
}

TEST(NoteLog, UnreadableFilesAreReportedByName) {
    TempDir dir;
    test::WriteBytes(dir / "notes.txt", "this is not audio\n");
    for (const std::string& path : {dir / "missing.wav", dir / "notes.txt", dir.path().string()}) {
        const ToolRun run = NoteLog({path});
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.out, "") << path;
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    }
    EXPECT_NE(NoteLog({dir / "missing.wav"}).err.find("nicht vorhanden"), std::string::npos);
    EXPECT_NE(NoteLog({dir / "notes.txt"}).err.find("Kein lesbares Audioformat"),
              std::string::npos);
}

TEST(NoteLog, Usage) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"a.wav", "b.wav"}, {"-x"}, {""}}) {
        const ToolRun run = NoteLog(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Aufruf: tessmar-notes DATEI"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    const ToolRun help = NoteLog({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("time_s"), std::string::npos);
    EXPECT_EQ(help.err, "");
}

} // namespace
} // namespace tessmar
