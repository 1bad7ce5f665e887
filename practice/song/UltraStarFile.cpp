// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/UltraStarFile.h"

#include "analysis/NoteNaming.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <unistd.h>

namespace tessmar {
namespace {

constexpr std::int32_t kPitchZero = 36; // C-3, MIDI note 60
constexpr std::int64_t kFarthestBeat = 1'000'000;
constexpr double kLongestSeconds = 4 * 3600.0;

// Windows-1252's 0x80..0x9f; the five it leaves free keep their C1 code points.
constexpr char16_t kCp1252[32] = {0x20ac, 0x81,   0x201a, 0x192,  0x201e, 0x2026, 0x2020, 0x2021,
                                  0x2c6,  0x2030, 0x160,  0x2039, 0x152,  0x8d,   0x17d,  0x8f,
                                  0x90,   0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
                                  0x2dc,  0x2122, 0x161,  0x203a, 0x153,  0x9d,   0x17e,  0x178};

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && c < 0xc2)) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

std::string FromCp1252(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        const char32_t u = c < 0x80 ? c : c < 0xa0 ? kCp1252[c - 0x80] : c;
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xc0 | (u >> 6));
            out += char(0x80 | (u & 0x3f));
        } else {
            out += char(0xe0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3f));
            out += char(0x80 | (u & 0x3f));
        }
    }
    return out;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// The line as the message shows it: its start, without control characters.
std::string Shown(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size() && out.size() < 40; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        out += c < 0x20 ? '?' : char(c);
    }
    // Not half a character at the cut: a sequence shorter than its lead byte says goes.
    std::size_t lead = out.size();
    while (lead > 0 && (static_cast<unsigned char>(out[lead - 1]) & 0xc0) == 0x80) {
        --lead;
    }
    if (lead > 0 && static_cast<unsigned char>(out[lead - 1]) >= 0xc0) {
        const auto c = static_cast<unsigned char>(out[lead - 1]);
        if (out.size() - (lead - 1) < (c >= 0xf0 ? 4u : c >= 0xe0 ? 3u : 2u)) {
            out.resize(lead - 1);
        }
    }
    return out.size() < line.size() ? out + "…" : out;
}

// A decimal number as the files write them, with a point or a comma.
bool Decimal(std::string_view text, double& value) {
    std::string s(Trim(text));
    std::replace(s.begin(), s.end(), ',', '.');
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

// The next whole number after blanks, moving `at` past it.
bool Whole(std::string_view line, std::size_t& at, std::int64_t& value) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
        ++at;
    }
    const auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), value);
    if (error != std::errc() || value < -kFarthestBeat || value > kFarthestBeat) {
        return false;
    }
    at = std::size_t(end - line.data());
    return true;
}

// An audio file named by a tag, beside the song; none for a path that leads elsewhere.
std::string Beside(const std::string& folder, std::string_view name) {
    name = Trim(name);
    if (name.empty() || name.front() == '/') {
        return {};
    }
    for (std::size_t at = 0; at <= name.size();) { // "..", not "Mr. X.. - Live.ogg"
        const std::size_t end = std::min(name.find('/', at), name.size());
        if (name.substr(at, end - at) == "..") {
            return {};
        }
        at = end + 1;
    }
    return folder.empty() ? std::string(name) : folder + "/" + std::string(name);
}

} // namespace

std::optional<Song> UltraStarFile::Parse(std::string_view bytes, const std::string& folder,
                                         std::string& error) {
    if (bytes.size() > kLargest) {
        error = "Die Datei ist größer als 4 MB und damit kein Lied im UltraStar-Format";
        return std::nullopt;
    }
    if (bytes.starts_with("\xff\xfe") || bytes.starts_with("\xfe\xff")) {
        error = "Die Datei ist in UTF-16 gespeichert; gelesen werden UTF-8 und Windows-1252";
        return std::nullopt;
    }
    if (const std::size_t nul = bytes.find('\0'); nul != bytes.npos) {
        error = "Byte " + std::to_string(nul + 1) + " ist ein Nullbyte: keine Textdatei";
        return std::nullopt;
    }
    if (bytes.starts_with("\xef\xbb\xbf")) {
        bytes.remove_prefix(3);
    }
    const std::string text = ValidUtf8(bytes) ? std::string(bytes) : FromCp1252(bytes);

    Song song;
    double bpm = 0.0, gapMs = 0.0;
    bool relative = false, duet = false;
    std::int64_t offset = 0; // #RELATIVE: the beat the phrase counts from
    int voice = 0;
    std::size_t number = 0;
    const auto fail = [&](std::string_view line, const std::string& why) {
        error = "Zeile " + std::to_string(number) + " („" + Shown(line) + "“): " + why;
        return std::nullopt;
    };
    for (std::size_t from = 0; from < text.size();) {
        std::size_t to = text.find('\n', from);
        to = to == text.npos ? text.size() : to;
        std::string_view line(text.data() + from, to - from);
        from = to + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty()) {
            continue;
        }
        const char type = trimmed.front();
        if (type == '#') {
            const std::size_t colon = trimmed.find(':');
            if (colon == trimmed.npos) {
                continue; // not a tag anyone reads
            }
            const std::string key = Upper(Trim(trimmed.substr(1, colon - 1)));
            const std::string_view value = Trim(trimmed.substr(colon + 1));
            if (key == "TITLE") {
                song.title = value;
            } else if (key == "ARTIST") {
                song.artist = value;
            } else if (key == "BPM" && !(Decimal(value, bpm) && bpm >= 10.0 && bpm <= 10000.0)) {
                return fail(line, "#BPM ist keine Zahl von 10 bis 10000");
            } else if (key == "GAP" &&
                       !(Decimal(value, gapMs) && std::abs(gapMs) <= kLongestSeconds * 1000)) {
                return fail(line, "#GAP ist keine Zahl von Millisekunden");
            } else if (key == "RELATIVE") {
                relative = Upper(value) == "YES";
            } else if (key == "MP3" && song.audio.empty()) {
                song.audio = Beside(folder, value);
            } else if (key == "AUDIO") {
                song.audio = Beside(folder, value);
            } else if (key == "INSTRUMENTAL") {
                song.instrumental = Beside(folder, value);
            } else if (key == "VOCALS") {
                song.vocals = Beside(folder, value);
            } else if (key == "P1" || key == "P2" || key == "DUETSINGERP1" ||
                       key == "DUETSINGERP2") {
                song.singers[std::size_t(key.back() - '1')] = value; // a duet's, by name
            }
            continue;
        }
        if (type == 'E' && trimmed.size() == 1) {
            break;
        }
        if (type == 'P' && trimmed.size() > 1) {
            const std::string_view which = Trim(trimmed.substr(1));
            if (which != "1" && which != "2") {
                return fail(line, "gesungen wird von P1 und P2, nicht von anderen Stimmen");
            }
            voice = which[0] - '0';
            duet = true;
            offset = 0;
            continue;
        }
        if (bpm <= 0.0) {
            return fail(line, "Noten und Zeilenenden kommen erst nach #BPM");
        }
        std::size_t at = 1;
        if (type == '-') {
            std::int64_t end = 0, next = 0;
            if (!Whole(trimmed, at, end)) {
                return fail(line, "nach „-“ fehlt der Schlag, an dem die Zeile endet");
            }
            if (!song.notes.empty()) {
                song.notes.back().phraseEnds = true;
            }
            if (relative) {
                offset += Whole(trimmed, at, next) ? next : end;
                if (std::abs(offset) > kFarthestBeat) {
                    return fail(line, "die Zeilen reichen über eine Million Schläge hinaus");
                }
            }
            continue;
        }
        static constexpr std::string_view kTypes = ":*FRG";
        if (kTypes.find(type) == kTypes.npos) {
            return fail(line, "unbekannte Zeile; erwartet wird ein Tag (#…), eine Note (: * F "
                              "R G), ein Zeilenende (-), P1, P2 oder E");
        }
        std::int64_t beat = 0, length = 0, pitch = 0;
        if (!Whole(line, at = line.find(type) + 1, beat) || !Whole(line, at, length) ||
            !Whole(line, at, pitch) || (at < line.size() && line[at] != ' ' && line[at] != '\t')) {
            return fail(line, "erwartet werden Art, Beginn, Länge und Tonhöhe als ganze Zahlen, "
                              "dann die Silbe");
        }
        if (length < 0) {
            return fail(line, "eine Note kann nicht kürzer als nichts sein");
        }
        const std::int64_t index = pitch + kPitchZero;
        if (NoteName(std::int32_t(std::clamp<std::int64_t>(index, -1, 1000))).empty()) {
            return fail(line, "die Tonhöhe " + std::to_string(pitch) +
                                  " liegt außerhalb von C-0 bis G-10");
        }
        if (song.notes.size() == kMostNotes) {
            return fail(line, "mehr als " + std::to_string(kMostNotes) +
                                  " Noten sind kein Lied, das sich singen lässt");
        }
        const double beatSeconds = 60.0 / (bpm * 4.0);
        Song::Note note;
        note.kind = type == '*'   ? Song::Note::Kind::Golden
                    : type == 'F' ? Song::Note::Kind::Freestyle
                    : type == 'R' ? Song::Note::Kind::Rap
                    : type == 'G' ? Song::Note::Kind::GoldenRap
                                  : Song::Note::Kind::Normal;
        note.voice = voice;
        note.start = gapMs / 1000.0 + double(offset + beat) * beatSeconds;
        note.end = note.start + double(length) * beatSeconds;
        note.note = std::int32_t(index);
        note.syllable = at < line.size() ? std::string(line.substr(at + 1)) : std::string();
        if (std::abs(note.start) > kLongestSeconds || std::abs(note.end) > kLongestSeconds) {
            return fail(line, "die Note liegt mehr als vier Stunden vom Anfang des Lieds");
        }
        if (length > 0) {
            song.notes.push_back(std::move(note));
        }
    }
    if (song.notes.empty()) {
        error = "Die Datei enthält keine Noten";
        return std::nullopt;
    }
    song.voices = duet ? 2 : 1;
    song.beatSeconds = 60.0 / (bpm * 4.0);
    return song;
}

} // namespace tessmar
