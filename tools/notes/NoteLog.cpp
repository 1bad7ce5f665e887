#include "tools/notes/NoteLog.h"

#include "analysis/NoteNaming.h"
#include "analysis/SemitoneDetector.h"
#include "audio/CaptureFormat.h"
#include "platform/SoundFileDecoder.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>

namespace tessmar {
namespace {

constexpr const char* kUsage = "Aufruf: tessmar-notes DATEI\n"
                               "       tessmar-notes --help\n";

constexpr const char* kHelp =
    "Aufruf: tessmar-notes DATEI\n"
    "\n"
    "Gibt die Tonfolge einer Aufnahme als CSV aus, so wie Tessmar sie beim Singen anzeigt.\n"
    "DATEI ist eine Audiodatei in einem von libsndfile lesbaren Format (WAV, FLAC, Ogg, ...).\n"
    "Sie wird in 16 Bit Stereo mit 11025 Hz gewandelt und in Blöcke zu 1024 Frames\n"
    "(etwa 93 ms) geteilt; ein unvollständiger letzter Block entfällt.\n"
    "\n"
    "Spalten: block (Nummer ab 0), time_s (Beginn in Sekunden), note (Tonindex 0-127,\n"
    "-1 für keinen Ton), name (zum Beispiel A-3 für 440 Hz, leer für keinen Ton).\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 Datei nicht lesbar, 2 falscher Aufruf.\n";

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

} // namespace

int RunNoteLog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelp;
        return 0;
    }
    std::string path;
    if (args.size() == 1 && !args[0].empty() && args[0][0] != '-') {
        path = args[0];
    } else if (args.size() == 2 && args[0] == "--" && !args[1].empty()) {
        path = args[1];
    } else {
        err << kUsage;
        return 2;
    }

    std::string reason;
    auto decoder = SoundFileDecoder::Open(path, reason);
    if (!decoder) {
        err << "tessmar-notes: „" << path << "“ kann nicht gelesen werden: " << reason << ".\n";
        return 1;
    }

    out << "block,time_s,note,name\n";
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
        out << number << ',' << time << ',' << note << ',' << NoteName(note) << '\n';
    }
    out.flush();
    if (!decoder->error().empty()) {
        err << "tessmar-notes: „" << path
            << "“ kann nicht vollständig gelesen werden: " << decoder->error() << ".\n";
        return 1;
    }
    return 0;
}

} // namespace tessmar
