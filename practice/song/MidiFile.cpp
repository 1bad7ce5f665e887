// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/MidiFile.h"

#include "analysis/NoteNaming.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace tessmar {
namespace {

constexpr std::int32_t kMidiToNoteIndex = -24; // MIDI 60 is C-3, NoteIndex 36
constexpr double kLongestSeconds = 4 * 3600.0;

struct Event {
    std::uint64_t tick;
    int key; // note events: 0..127; -1: a lyric
    bool on; // note on (velocity above 0)
    int channel;
    std::string text; // a lyric's
};

struct Track {
    std::string name;
    std::vector<Event> events;
    int notes = 0;    // struck, not counting the drums
    int struck = 0;   // drums too
    int channel = -1; // a format 0 file's part: that channel's notes of the first track's events
};

// Reading bytes at a place, every step checked against the end.
class Bytes {
public:
    Bytes(std::string_view data, std::size_t at, std::size_t end)
        : data_(data), at_(at), end_(end) {}

    bool Ok() const { return ok_; }
    std::size_t at() const { return at_; }
    bool AtEnd() const { return at_ >= end_; }
    std::uint32_t Byte() {
        if (at_ >= end_) {
            ok_ = false;
            return 0;
        }
        return static_cast<unsigned char>(data_[at_++]);
    }
    std::uint32_t Big(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value = value << 8 | Byte();
        }
        return value;
    }
    // A variable-length quantity: at most four bytes, as the format allows.
    std::uint32_t Quantity() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t b = Byte();
            value = value << 7 | (b & 0x7f);
            if (!(b & 0x80)) {
                return value;
            }
        }
        ok_ = false;
        return 0;
    }
    std::string_view Take(std::size_t count) {
        if (count > end_ - std::min(at_, end_)) {
            ok_ = false;
            at_ = end_;
            return {};
        }
        at_ += count;
        return data_.substr(at_ - count, count);
    }

private:
    std::string_view data_;
    std::size_t at_, end_;
    bool ok_ = true;
};

} // namespace

std::optional<Song> MidiFile::Parse(std::string_view bytes, int wanted, std::string& error) {
    return Read(bytes, std::max(1, wanted), error, nullptr);
}

std::vector<std::optional<Song>> MidiFile::Each(std::string_view bytes, std::string& error) {
    std::vector<std::optional<Song>> each;
    Read(bytes, 0, error, &each);
    return each;
}

std::optional<Song> MidiFile::Read(std::string_view bytes, int wanted, std::string& error,
                                   std::vector<std::optional<Song>>* each) {
    const auto broken = [&](std::size_t at, const std::string& why) {
        error = "Byte " + std::to_string(at + 1) + ": " + why;
        return std::nullopt;
    };
    Bytes header(bytes, 0, bytes.size());
    if (header.Take(4) != "MThd" || header.Big(4) < 6) {
        return broken(0, "keine MIDI-Datei (sie beginnt nicht mit „MThd“)");
    }
    const std::uint32_t format = header.Big(2), count = header.Big(2), division = header.Big(2);
    if (!header.Ok()) {
        return broken(8, "der Kopf der Datei ist unvollständig");
    }
    if (format > 1) {
        return broken(8, format == 2
                             ? "MIDI-Dateien im Format 2 (lauter einzelne Stücke) "
                               "werden nicht gelesen"
                             : "das MIDI-Format " + std::to_string(format) + " ist unbekannt");
    }
    if (division == 0 || (division & 0x8000 && (division & 0xff) == 0)) {
        return broken(12, "die Zeitteilung der Datei ist null");
    }
    // The chunks follow the header, whose length may be more than six.
    std::size_t at = 8 + Bytes(bytes, 4, 8).Big(4);
    std::vector<Track> tracks;
    std::map<std::uint64_t, std::uint32_t> tempo{{0, 500000}}; // µs a quarter note, by tick
    std::size_t events = 0;
    while (at + 8 <= bytes.size() && tracks.size() < count) {
        Bytes chunk(bytes, at, bytes.size());
        const std::string_view id = chunk.Take(4);
        const std::uint32_t length = chunk.Big(4);
        if (length > bytes.size() - at - 8) {
            return broken(at + 4, "die Spur ist länger als die Datei");
        }
        const std::size_t end = at + 8 + length;
        if (id != "MTrk") {
            at = end; // a chunk of someone else's: skipped, as the format asks
            continue;
        }
        Track track;
        Bytes in(bytes, at + 8, end);
        std::uint64_t tick = 0;
        std::uint32_t status = 0;
        while (!in.AtEnd()) {
            if (++events > kMostEvents) {
                return broken(in.at(), "mehr als eine Million Ereignisse");
            }
            tick += in.Quantity();
            const std::size_t place = in.at();
            const std::uint32_t lead = in.Byte();
            // Running status outlives meta and sysex events here: the format says they end
            // it, but files that go on with it are many.
            if (lead == 0xff) {
                const std::uint32_t type = in.Byte();
                const std::string_view data = in.Take(in.Quantity());
                if (type == 0x2f) {
                    break;
                }
                if (type == 0x51 && data.size() == 3) {
                    tempo[tick] = Bytes(data, 0, 3).Big(3);
                } else if (type == 0x03 && track.name.empty()) {
                    track.name = data;
                } else if (type == 0x05) {
                    track.events.push_back({tick, -1, false, 0, std::string(data)});
                }
                continue;
            }
            if (lead == 0xf0 || lead == 0xf7) {
                in.Take(in.Quantity());
                continue;
            }
            if (lead > 0xf0) {
                return broken(place, "ein Statusbyte, das in MIDI-Dateien nicht vorkommt");
            }
            if (lead < 0x80 && status == 0) {
                return broken(place, "ein Datenbyte ohne Status davor");
            }
            status = lead & 0x80 ? lead : status;
            const std::uint32_t first = lead & 0x80 ? in.Byte() : lead;
            const std::uint32_t kind = status & 0xf0;
            const std::uint32_t data = kind == 0xc0 || kind == 0xd0 ? 0 : in.Byte();
            if ((first | data) & 0x80) {
                return broken(in.at() - 1, "ein Datenbyte über 127");
            }
            const bool on = kind == 0x90 && data > 0;
            track.struck += on;
            // Channel 10 keeps drums: its keys are sounds, not pitches.
            if ((kind == 0x90 || kind == 0x80) && (status & 0x0f) != 9) {
                track.events.push_back({tick, int(first), on, int(status & 0x0f), {}});
                track.notes += on;
            }
        }
        if (!in.Ok()) {
            return broken(end, "die Spur endet mitten in einem Ereignis");
        }
        tracks.push_back(std::move(track));
        at = end;
    }
    if (tracks.empty()) {
        return broken(at, "die Datei enthält keine Spur");
    }
    // Format 0 holds every part in its one track, a channel each: each channel with notes
    // is offered as a track of its own, after the whole one, which names the song.
    if (format == 0 && tracks.size() == 1) {
        std::map<int, Track> parts;
        for (const Event& e : tracks.front().events) {
            parts[e.channel].notes += e.key >= 0 && e.on;
        }
        std::erase_if(parts, [](const auto& part) { return part.second.notes == 0; });
        for (auto& [channel, part] : parts) {
            if (parts.size() > 1) {
                part.name = "Kanal " + std::to_string(channel + 1);
                part.channel = channel;
                tracks.push_back(std::move(part));
            }
        }
        tracks.front().notes = parts.size() > 1 ? 0 : tracks.front().notes;
    }

    std::vector<const Track*> withNotes;
    for (const Track& t : tracks) {
        if (t.notes > 0) {
            withNotes.push_back(&t);
        }
    }
    if (withNotes.empty()) {
        error = "Die Datei enthält keine Noten";
        return std::nullopt;
    }
    if (each == nullptr && std::size_t(wanted) > withNotes.size()) {
        error = "Die Datei hat " + std::to_string(withNotes.size()) + " Spur" +
                (withNotes.size() == 1 ? "" : "en") + " mit Noten:";
        for (std::size_t i = 0; i < withNotes.size(); ++i) {
            error += (i ? ", " : " ") + std::to_string(i + 1) + " „" + withNotes[i]->name + "“ (" +
                     std::to_string(withNotes[i]->notes) + " Noten)";
        }
        return std::nullopt;
    }

    // Ticks into seconds: by the tempo map (each change's moment worked out once), or by
    // SMPTE frames.
    struct Change {
        std::uint64_t tick;
        double at;
        std::uint32_t perQuarter;
    };
    std::vector<Change> changes;
    for (const auto& [tick, micros] : tempo) {
        const Change& last = changes.empty() ? Change{0, 0.0, 500000} : changes.back();
        changes.push_back(
            {tick, last.at + double(tick - last.tick) * last.perQuarter / 1e6 / division, micros});
    }
    const auto seconds = [&](std::uint64_t tick) {
        if (division & 0x8000) {
            const double frames = double(256 - (division >> 8));
            return double(tick) / ((frames == 29 ? 29.97 : frames) * double(division & 0xff));
        }
        const auto after =
            std::upper_bound(changes.begin(), changes.end(), tick,
                             [](std::uint64_t t, const Change& c) { return t < c.tick; });
        const Change& c = *(after - 1); // the first is at tick 0
        return c.at + double(tick - c.tick) * c.perQuarter / 1e6 / division;
    };

    const auto read = [&](const Track& track, int number, std::string& why) -> std::optional<Song> {
        Song song;
        // The song's name is the first track's, where that one holds only the tempo map (or
        // all there is).
        song.title = format == 0 || (tracks.front().struck == 0 && !tracks.front().name.empty())
                         ? tracks.front().name
                         : track.name;
        song.part = track.name;
        song.tracks = int(withNotes.size());
        song.beatSeconds = 0.125; // a count-in's quarter note at 120 bpm
        struct Struck {
            std::uint64_t tick;
            std::string syllable; // the lyric at the same tick, if any
        };
        std::map<std::pair<int, int>, Struck> sounding; // channel, key -> since
        std::string lyric;
        std::uint64_t lyricTick = 0;
        for (const Event& e : track.channel < 0 ? track.events : tracks.front().events) {
            if (e.key >= 0 && track.channel >= 0 && e.channel != track.channel) {
                continue;
            }
            if (e.key < 0) { // a syllable: for the notes struck at its tick, before or after it
                lyric = e.text;
                lyricTick = e.tick;
                for (auto& [key, struck] : sounding) {
                    struck.syllable = struck.tick == e.tick ? e.text : struck.syllable;
                }
                continue;
            }
            const auto key = std::pair{e.channel, e.key};
            const auto held = sounding.find(key);
            if (held != sounding.end() && (!e.on || held->second.tick < e.tick)) {
                Song::Note note;
                note.start = seconds(held->second.tick);
                note.end = seconds(e.tick);
                note.note = e.key + kMidiToNoteIndex; // under C-0 (a piano's lowest): not sung
                note.syllable = std::move(held->second.syllable);
                if (note.end > kLongestSeconds) {
                    why = "Spur " + std::to_string(number) +
                          ": Noten mehr als vier Stunden vom Anfang";
                    return std::nullopt;
                }
                if (note.end > note.start && !NoteName(note.note).empty()) {
                    song.notes.push_back(std::move(note));
                }
                sounding.erase(held);
            }
            if (e.on) {
                sounding[key] = {e.tick, lyricTick == e.tick ? lyric : std::string()};
            }
            if (song.notes.size() > kMostNotes) {
                why = "Spur " + std::to_string(number) + ": mehr als " +
                      std::to_string(kMostNotes) +
                      " Noten sind keine Melodie, die sich singen lässt";
                return std::nullopt;
            }
        }
        // Of notes struck together the highest carries the melody.
        std::stable_sort(song.notes.begin(), song.notes.end(), [](const auto& a, const auto& b) {
            return a.start < b.start || (a.start == b.start && a.note > b.note);
        });
        song.notes.erase(
            std::unique(song.notes.begin(), song.notes.end(),
                        [](const auto& a, const auto& b) { return a.start == b.start; }),
            song.notes.end());
        if (song.notes.empty()) {
            why = "Spur " + std::to_string(number) + " enthält keine vollständige Note";
            return std::nullopt;
        }
        return song;
    };
    if (each == nullptr) {
        return read(*withNotes[std::size_t(wanted - 1)], wanted, error);
    }
    for (std::size_t i = 0; i < withNotes.size(); ++i) {
        std::string why;
        each->push_back(read(*withNotes[i], int(i + 1), why));
        error = error.empty() ? why : error; // the first reason, for when none can be sung
    }
    return std::nullopt;
}

} // namespace tessmar
