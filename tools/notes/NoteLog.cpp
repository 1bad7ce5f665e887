// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/NoteLog.h"

#include "analysis/NoteNaming.h"
#include "analysis/PitchEstimator.h"
#include "analysis/SemitoneDetector.h"
#include "analysis/SungPitch.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/decoding/SoundFileDecoder.h"
#include "platform/files/AtomicFile.h"
#include "platform/system/DecimalText.h"
#include "platform/system/SystemErrorText.h"
#include "tools/notes/ChartRenderer.h"
#include "tools/notes/Take.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <ostream>

namespace tessmar {
namespace {

constexpr const char* kUsage = "Aufruf: tessmar-notes DATEI\n"
                               "       tessmar-notes [--pitch] [--chart BILD.png|BILD.svg] DATEI\n"
                               "       tessmar-notes --help\n";

constexpr const char* kHelp =
    "Aufruf: tessmar-notes [--pitch] [--chart BILD.png|BILD.svg] DATEI\n"
    "\n"
    "Gibt die Tonfolge einer Aufnahme als CSV aus, so wie Tessmar sie beim Singen anzeigt.\n"
    "DATEI ist eine Audiodatei in einem von libsndfile lesbaren Format (WAV, FLAC, Ogg, ...).\n"
    "Sie wird in 16 Bit Stereo mit 11025 Hz gewandelt und in Blöcke zu 1024 Frames\n"
    "(etwa 93 ms) geteilt; ein unvollständiger letzter Block entfällt.\n"
    "\n"
    "Spalten: block (Nummer ab 0), time_s (Beginn in Sekunden), note (Tonindex 0-127,\n"
    "-1 für keinen Ton), name (zum Beispiel A-3 für 440 Hz, leer für keinen Ton).\n"
    "\n"
    "--pitch  hängt die Spalten f0_hz,nearest,cents an, die gesungene Tonhöhe des Blocks\n"
    "         (linker Kanal), gemessen mit YIN: f0_hz (Grundfrequenz in Hz), nearest\n"
    "         (nächster Ton, zum Beispiel A-3), cents (Abweichung davon, -50 bis +50;\n"
    "         gleichstufig mit A-3 = 440 Hz).\n"
    "         Die Anzeige nennt den lautesten Halbton, oft eine Oktave zu hoch; f0_hz\n"
    "         ist der gesungene Ton. Ohne klare Tonhöhe bleiben die drei Spalten leer.\n"
    "--chart BILD\n"
    "         zeichnet die Aufnahme zusätzlich als Bild (PNG oder SVG, nach der Endung):\n"
    "         die Zeit nach rechts, die Töne nach oben, ein Balken, solange derselbe Ton\n"
    "         erkannt wird; mit --pitch auch die gesungene Tonhöhe als Linie.\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 Datei nicht lesbar, Bild oder Ausgabe nicht\n"
    "schreibbar, 2 falscher Aufruf.\n";

struct Options {
    bool pitch = false;
    std::string chart;
    std::string input;
};

// Options first or after the file; "--" ends them. false on wrong usage.
bool ParseArgs(const std::vector<std::string>& args, Options& options) {
    bool chartGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            if (i + 2 != args.size() || !options.input.empty()) {
                return false;
            }
            options.input = args[i + 1];
            return !options.input.empty();
        }
        if (arg == "--pitch" && !options.pitch) {
            options.pitch = true;
        } else if ((arg == "--chart" || arg.starts_with("--chart=")) && !chartGiven) {
            chartGiven = true;
            if (arg == "--chart") {
                if (++i == args.size()) {
                    return false;
                }
                options.chart = args[i];
            } else {
                options.chart = arg.substr(std::strlen("--chart="));
            }
            if (options.chart.empty()) {
                return false;
            }
        } else if (!arg.empty() && arg[0] != '-' && options.input.empty()) {
            options.input = arg;
        } else {
            return false;
        }
    }
    return !options.input.empty();
}

std::optional<ChartRenderer::Format> ChartFormat(const std::string& path) {
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : "";
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ending == ".png") {
        return ChartRenderer::Format::Png;
    }
    if (ending == ".svg") {
        return ChartRenderer::Format::Svg;
    }
    return std::nullopt;
}

// Why a file can't be written, in words a user understands.
std::string WriteProblem(int error) {
    switch (error) {
    case ENOENT:
        return "Der Ordner ist nicht vorhanden";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Keine Schreibberechtigung";
    case EISDIR:
        return "Das ist ein Ordner, keine Datei";
    case EINVAL:
    case kErrNotRegularFile:
        return "Das ist keine gewöhnliche Datei";
    case kErrForeignLink:
        return "Das ist ein Verweis eines anderen Benutzers, dem tessmar-notes nicht folgt";
    case ENOSPC:
        return "Kein Platz mehr auf dem Datenträger";
    default:
        return "Schreibfehler (" + SystemErrorText(error) + ")";
    }
}

// Start of a block in whole milliseconds, rounded half up.
long long BlockStartMs(long long block) {
    const long long frames = block * kBlockFrames;
    return (frames * 2000 + kSampleRate) / (2 * kSampleRate);
}

// The detector reads the little-endian byte layout the capture device delivers.
void ToBlockBytes(const std::int16_t* samples, std::uint8_t* bytes) {
    for (int i = 0; i < kBlockFrames * kChannels; ++i) {
        const auto v = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<std::uint8_t>(v);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
}

// ",f0_hz,nearest,cents" of one block; three empty fields without a clear pitch.
void WritePitchColumns(std::ostream& out, double hz) {
    if (!(hz > 0.0)) {
        out << ",,,";
        return;
    }
    const SungPitch pitch = SungPitch::FromHz(hz);
    const std::string name = NoteName(pitch.nearest);
    // No "-0.0": a pitch that is spot on reads 0.0.
    const double cents = std::round(pitch.cents * 10.0) / 10.0;
    out << ',' << DecimalText(hz, 2) << ',' << name << ','
        << DecimalText(cents == 0.0 ? 0.0 : cents, 1);
}

} // namespace

int RunNoteLog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               ChartRenderer* chart) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelp;
        return 0;
    }
    Options options;
    if (!ParseArgs(args, options)) {
        err << kUsage;
        return 2;
    }
    const auto format = ChartFormat(options.chart);
    if (!options.chart.empty() && !format) {
        err << "tessmar-notes: Das Bild „" << options.chart << "“ muss auf .png oder .svg enden.\n"
            << kUsage;
        return 2;
    }
    if (!options.chart.empty() && !chart) {
        err << "tessmar-notes: Bilder kann dieses Programm nicht zeichnen.\n";
        return 2;
    }

    const std::string& path = options.input;
    std::string reason;
    auto decoder = SoundFileDecoder::Open(path, reason);
    if (!decoder) {
        err << "tessmar-notes: „" << path << "“ kann nicht gelesen werden: " << reason << ".\n";
        return 1;
    }
    // Opened before the first block so that a long file is not read for nothing.
    std::optional<AtomicFile> chartFile;
    if (!options.chart.empty()) {
        chartFile.emplace(options.chart);
        if (!chartFile->Open()) {
            err << "tessmar-notes: „" << options.chart
                << "“ kann nicht geschrieben werden: " << WriteProblem(chartFile->error()) << ".\n";
            return 1;
        }
    }
    std::optional<PitchEstimator> estimator;
    if (options.pitch) {
        estimator.emplace();
    }

    out << (options.pitch ? "block,time_s,note,name,f0_hz,nearest,cents\n"
                          : "block,time_s,note,name\n");
    Take take;
    std::array<std::int16_t, kBlockFrames * kChannels> samples{};
    std::array<std::uint8_t, kBlockBytes> block{};
    for (long long number = 0;; ++number) {
        if (decoder->Read(samples.data(), kBlockFrames) < std::size_t(kBlockFrames)) {
            break;
        }
        ToBlockBytes(samples.data(), block.data());
        const std::int32_t note = DetectNote(block.data());
        const long long ms = BlockStartMs(number);
        char time[32];
        std::snprintf(time, sizeof time, "%lld.%03lld", ms / 1000, ms % 1000);
        out << number << ',' << time << ',' << note << ',' << NoteName(note);
        if (estimator) {
            const double hz = estimator->Estimate(samples.data());
            WritePitchColumns(out, hz);
            if (chartFile) {
                take.pitchHz.push_back(hz);
            }
        }
        out << '\n';
        if (chartFile) {
            take.notes.push_back(note);
        }
    }
    out.flush();
    if (!out) { // a full disk, a closed pipe: the notes are not where they were sent
        err << "tessmar-notes: Die Notenfolge kann nicht ausgegeben werden (Schreibfehler).\n";
        return 1;
    }
    if (!decoder->error().empty()) {
        err << "tessmar-notes: „" << path
            << "“ kann nicht vollständig gelesen werden: " << decoder->error() << ".\n";
        return 1;
    }
    if (chartFile) {
        const std::string image = chart->Render(take, *format);
        if (image.empty()) {
            err << "tessmar-notes: Das Bild „" << options.chart
                << "“ kann nicht gezeichnet werden.\n";
            return 1;
        }
        if (!chartFile->Write(image.data(), image.size()) || !chartFile->Commit()) {
            err << "tessmar-notes: „" << options.chart
                << "“ kann nicht geschrieben werden: " << WriteProblem(chartFile->error()) << ".\n";
            return 1;
        }
    }
    return 0;
}

} // namespace tessmar
