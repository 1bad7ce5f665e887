// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempDir.h"
#include "platform/capture/CaptureFormat.h"
#include "tools/notes/ChartLayout.h"
#include "tools/notes/NoteLog.h"
#include "tools/notes/QtNoteChart.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <sndfile.h>
#include <sstream>
#include <sys/stat.h>

namespace tessmar {
namespace {

using test::TempDir;

bool IsPitchLine(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 150 && qBlue(pixel) < 120;
}

// 40 silent blocks, 30 of A-4 with the sung pitch 20 cents above A-3, 10 silent.
Take OctaveTake() {
    Take take;
    take.notes.assign(80, -1);
    take.pitchHz.assign(80, 0.0);
    for (std::size_t i = 40; i < 70; ++i) {
        take.notes[i] = 57;
        take.pitchHz[i] = 440.0 * std::pow(2.0, 0.2 / 12);
    }
    return take;
}

TEST(NoteChart, BarsAndPitchWhereTheyBelong) {
    QtNoteChart chart;
    const Take take = OctaveTake();
    const QImage image = chart.RenderImage(take);
    const ChartLayout layout(take);
    ASSERT_EQ(image.width(), layout.width());
    ASSERT_EQ(image.height(), layout.height());
    // 7.4 s on 600 pixels; rows from G#-3 (44) up to A#-4 (58).
    EXPECT_EQ(image.width(), ChartLayout::kLeftMargin + 600 + ChartLayout::kRightMargin);
    EXPECT_EQ(image.height(),
              ChartLayout::kTopMargin + 15 * ChartLayout::kRowHeight + ChartLayout::kBottomMargin);

    const int barEnd = int(layout.BlockX(70));
    const int barY = int(layout.Y(57));
    EXPECT_EQ(image.pixel(barEnd - 3, barY), QtNoteChart::kBarColour);
    EXPECT_EQ(image.pixel(int(layout.BlockX(50)), barY), QtNoteChart::kBarColour);
    EXPECT_NE(image.pixel(barEnd + 3, barY), QtNoteChart::kBarColour) << "after the run";
    EXPECT_NE(image.pixel(int(layout.BlockX(40)) - 3, barY), QtNoteChart::kBarColour);
    EXPECT_NE(image.pixel(barEnd - 3, int(layout.Y(58))), QtNoteChart::kBarColour);
    EXPECT_NE(image.pixel(barEnd - 3, int(layout.Y(56))), QtNoteChart::kBarColour);

    const int lineX = int(layout.BlockX(55));
    EXPECT_TRUE(IsPitchLine(image.pixel(lineX, int(std::lround(layout.Y(45.2))))));
    EXPECT_FALSE(IsPitchLine(image.pixel(lineX, int(layout.Y(47)))));
    EXPECT_FALSE(IsPitchLine(image.pixel(int(layout.BlockX(20)), int(layout.Y(45.2)))))
        << "no pitch, no line";
}

void WriteTone(const std::string& path, int blocks) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::vector<short> samples(std::size_t(blocks) * kBlockFrames * kChannels);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i / kChannels) / kSampleRate;
        samples[i] = short(std::lround(3000 * std::sin(2 * std::numbers::pi * 440 * t)));
    }
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
}

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun NoteLog(QtNoteChart& chart, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunNoteLog(args, out, err, &chart);
    return {status, out.str(), err.str()};
}

TEST(NoteChart, WrittenAsPngOrSvgBesideTheCsv) {
    TempDir dir;
    WriteTone(dir / "a.wav", 12);
    QtNoteChart chart;
    const ToolRun png = NoteLog(chart, {"--pitch", "--chart", dir / "a.png", dir / "a.wav"});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.err, "");
    EXPECT_NE(png.out.find("\n11,1.022,45,A-3,440."), std::string::npos) << png.out;
    QImage image(QString::fromStdString(dir / "a.png"));
    ASSERT_FALSE(image.isNull());
    const ChartLayout layout(Take{std::vector<std::int32_t>(12, 45), {}});
    EXPECT_EQ(image.size(), QSize(layout.width(), layout.height()));
    EXPECT_EQ(image.pixel(int(layout.BlockX(12)) - 3, int(layout.Y(45))), QtNoteChart::kBarColour);

    const ToolRun svg = NoteLog(chart, {"--chart=" + dir / "a.SVG", dir / "a.wav"});
    ASSERT_EQ(svg.status, 0) << svg.err;
    const auto bytes = test::ReadBytes(dir / "a.SVG");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find(">A-3<"), std::string::npos) << "note names as text";
}

TEST(NoteChart, UnreadableInputAndUnwritableChartsAreReported) {
    TempDir dir;
    WriteTone(dir / "a.wav", 2);
    QtNoteChart chart;
    const ToolRun missing = NoteLog(chart, {"--pitch", "--chart", dir / "c.png", dir / "no.wav"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "tessmar-notes: „" + dir / "no.wav" +
                               "“ kann nicht gelesen werden: Die Datei ist nicht vorhanden.\n");
    EXPECT_EQ(dir.Entries().size(), 1u) << "no chart of nothing";

    const struct {
        std::string path, reason;
    } cases[] = {{dir / "no/c.png", "Der Ordner ist nicht vorhanden"},
                 {dir / "folder.svg", "Das ist ein Ordner, keine Datei"},
                 {dir / "fifo.png", "Das ist keine gewöhnliche Datei"}};
    std::filesystem::create_directory(dir / "folder.svg");
    ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0600), 0);
    for (const auto& c : cases) {
        const ToolRun run = NoteLog(chart, {"--chart", c.path, dir / "a.wav"});
        EXPECT_EQ(run.status, 1) << c.path;
        EXPECT_EQ(run.out, "") << "checked before the file is read";
        EXPECT_NE(run.err.find("„" + c.path + "“ kann nicht geschrieben werden: " + c.reason),
                  std::string::npos)
            << run.err;
    }

    std::ostream full(nullptr); // every write fails, as on a full disk
    std::ostringstream err;
    EXPECT_EQ(RunNoteLog({dir / "a.wav"}, full, err, &chart), 1);
    EXPECT_NE(err.str().find("kann nicht ausgegeben werden"), std::string::npos) << err.str();
}

} // namespace
} // namespace tessmar
