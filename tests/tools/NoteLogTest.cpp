// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/NoteLog.h"

#include "TempDir.h"
#include "platform/decoding/SoundFileDecoder.h"

#include <cmath>
#include <cstdio>
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

// Every sample type libsndfile writes, each read back at full scale: a sine at half scale
// comes out near 16384, at the capture rate (read directly) and at another (resampled).
TEST(SoundFileDecoder, EverySampleTypeKeepsItsLevel) {
    struct Type {
        const char* name;
        int format;
        double tolerance; // relative, for the lossy codecs
    };
    const Type types[] = {
        {"PCM_U8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0.02},
        {"PCM_S8", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 0.02},
        {"PCM_16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.01},
        {"PCM_24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0.01},
        {"PCM_32", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 0.01},
        {"FLOAT", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.01},
        {"DOUBLE", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0.01},
        {"ULAW", SF_FORMAT_WAV | SF_FORMAT_ULAW, 0.04},
        {"ALAW", SF_FORMAT_WAV | SF_FORMAT_ALAW, 0.04},
        {"IMA_ADPCM", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 0.1},
        {"MS_ADPCM", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 0.1},
        {"GSM610", SF_FORMAT_WAV | SF_FORMAT_GSM610, 0.25},
        {"G721_32", SF_FORMAT_AU | SF_FORMAT_G721_32, 0.25},
        {"G723_24", SF_FORMAT_AU | SF_FORMAT_G723_24, 0.25},
        {"G723_40", SF_FORMAT_AU | SF_FORMAT_G723_40, 0.25},
        {"DWVW_16", SF_FORMAT_AIFF | SF_FORMAT_DWVW_16, 0.01},
        {"DWVW_24", SF_FORMAT_AIFF | SF_FORMAT_DWVW_24, 0.01},
        {"FLAC_16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.01},
        {"FLAC_24", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.01},
        {"ALAC_16", SF_FORMAT_CAF | SF_FORMAT_ALAC_16, 0.01},
        {"VORBIS", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.15},
    };
    TempDir dir;
    for (const Type& type : types) {
        for (const int rate : {11025, 22050}) {
            SCOPED_TRACE(std::string(type.name) + " at " + std::to_string(rate) + " Hz");
            SF_INFO info{};
            info.samplerate = rate;
            info.channels = 2;
            info.format = type.format;
            if (!sf_format_check(&info)) {
                info.channels = 1; // GSM and the G.72x codecs are mono only
            }
            ASSERT_TRUE(sf_format_check(&info));
            const std::string path = dir / (std::string(type.name) + std::to_string(rate));
            SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
            ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
            std::vector<double> tone(std::size_t(rate) * info.channels);
            for (std::size_t i = 0; i < tone.size(); ++i) {
                const double t = double(i / info.channels) / rate;
                tone[i] = 0.5 * std::sin(2 * std::numbers::pi * 440 * t);
            }
            sf_write_double(f, tone.data(), sf_count_t(tone.size()));
            sf_close(f);

            std::string error;
            auto decoder = SoundFileDecoder::Open(path, error);
            ASSERT_TRUE(decoder) << error;
            std::vector<std::int16_t> got(2 * 11025);
            EXPECT_GT(decoder->Read(got.data(), 11025), 10000u);
            int peakLeft = 0, peakRight = 0;
            for (std::size_t frame = 2000; frame < 9000; ++frame) {
                peakLeft = std::max(peakLeft, std::abs(int(got[2 * frame])));
                peakRight = std::max(peakRight, std::abs(int(got[2 * frame + 1])));
            }
            EXPECT_NEAR(peakLeft, 16384, 16384 * type.tolerance);
            EXPECT_NEAR(peakRight, 16384, 16384 * type.tolerance);
        }
    }
}

TEST(SoundFileDecoder, FloatFilesAreScaledNotNormalisedOrWrapped) {
    TempDir dir;
    SF_INFO info{};
    info.samplerate = 11025;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open((dir / "f.wav").c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    const float samples[] = {0.01f, -0.01f, 1.5f, -1.5f, 0.0f};
    sf_write_float(f, samples, 5);
    sf_close(f);
    std::string error;
    auto decoder = SoundFileDecoder::Open(dir / "f.wav", error);
    ASSERT_TRUE(decoder) << error;
    std::vector<std::int16_t> got(10);
    ASSERT_EQ(decoder->Read(got.data(), 5), 5u);
    EXPECT_EQ(got,
              (std::vector<std::int16_t>{328, 328, -328, -328, 32767, 32767, -32768, -32768, 0, 0}))
        << "quiet stays quiet, beyond full scale is clipped";
}

TEST(SoundFileDecoder, ReadsFromMemoryAsFromAFile) {
    TempDir dir;
    const std::vector<short> samples = Tone(11025, 2, 0.2, 440, 12000);
    WriteSoundFile(dir / "m.wav", 11025, 2, kWav16, samples);
    const auto bytes = test::ReadBytes(dir / "m.wav");
    std::string error;
    auto decoder = SoundFileDecoder::OpenMemory(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(decoder) << error;
    std::vector<std::int16_t> got(samples.size());
    EXPECT_EQ(decoder->Read(got.data(), samples.size() / 2), samples.size() / 2);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), samples.begin()));
    EXPECT_FALSE(SoundFileDecoder::OpenMemory(bytes.data(), 30, error)) << "cut short";
    EXPECT_FALSE(error.empty());
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

// A voice whose second harmonic is louder than its fundamental: the display names the
// octave above, the pitch columns the sung note.
TEST(NoteLog, PitchColumnsFollowTheUntouchedNoteColumns) {
    TempDir dir;
    std::vector<short> samples(2 * 3 * 1024, 0); // block 0 sung, block 1 silent, block 2 sung
    const double hz = 220.0 * std::pow(2.0, 0.25 / 12); // A-2, 25 cents sharp
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t frame = i / 2;
        if (frame / 1024 == 1) {
            continue;
        }
        const double t = double(frame) / 11025;
        samples[i] = short(std::lround(2000 * std::sin(2 * std::numbers::pi * hz * t) +
                                       5000 * std::sin(4 * std::numbers::pi * hz * t + 0.7)));
    }
    WriteSoundFile(dir / "take.wav", 11025, 2, kWav16, samples);
    const ToolRun plain = NoteLog({dir / "take.wav"});
    const ToolRun pitch = NoteLog({"--pitch", dir / "take.wav"});
    ASSERT_EQ(pitch.status, 0) << pitch.err;
    EXPECT_EQ(pitch.err, "");
    const auto plainLines = Lines(plain.out);
    const auto lines = Lines(pitch.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "block,time_s,note,name,f0_hz,nearest,cents");
    EXPECT_EQ(plainLines[1], "0,0.000,45,A-3");
    EXPECT_EQ(lines[2], plainLines[2] + ",,,");
    for (const std::size_t row : {1u, 3u}) {
        ASSERT_EQ(lines[row].substr(0, plainLines[row].size() + 1), plainLines[row] + ",");
        double f0 = 0, cents = 0;
        char nearest[8] = {};
        ASSERT_EQ(std::sscanf(lines[row].c_str() + plainLines[row].size(), ",%lf,%7[^,],%lf", &f0,
                              nearest, &cents),
                  3)
            << lines[row];
        EXPECT_NEAR(f0, hz, 0.5);
        EXPECT_STREQ(nearest, "A-2");
        EXPECT_NEAR(cents, 25.0, 5.0);
    }
}

TEST(NoteLog, Usage) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"a.wav", "b.wav"}, {"-x"}, {""}}) {
        const ToolRun run = NoteLog(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Aufruf: tessmar-notes DATEI"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    for (const auto& args : std::vector<std::vector<std::string>>{{"--pitch"},
                                                                  {"--chart", "x.png"},
                                                                  {"a.wav", "--chart"},
                                                                  {"--chart=", "a.wav"},
                                                                  {"--pitch", "--pitch", "a.wav"},
                                                                  {"--pitch", "--", "a", "b"}}) {
        const ToolRun run = NoteLog(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_NE(run.err.find("--chart BILD.png|BILD.svg"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    const ToolRun picture = NoteLog({"--chart", "take.jpg", "a.wav"});
    EXPECT_EQ(picture.status, 2);
    EXPECT_NE(picture.err.find("„take.jpg“ muss auf .png oder .svg enden"), std::string::npos);
    const ToolRun help = NoteLog({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"time_s", "--pitch", "f0_hz,", "nearest", "cents", "--chart"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(help.err, "");
}

} // namespace
} // namespace tessmar
