// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/NoteScore.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace tessmar {

// Every scored take, kept in an SQLite file: what was sung (an exercise or a song), when,
// its total, each note's figures and the range it spanned. Each take is written in one
// transaction, so a program killed mid-write loses at most that take. A file that is not
// ours, or a damaged one, is refused and left exactly as it is.
class TakeHistory {
public:
    struct Take {
        std::int64_t at = 0; // seconds since 1970, UTC
        std::string kind;    // "uebung" or "lied"
        std::string name;    // the exercise's name or the song's title
        std::string detail;  // the key note, or the song's file
        int total = 0;
        std::vector<NoteScore> notes; // their times in capture seconds, as sung
        // For the look back: where the take began (capture seconds), its tolerance and
        // delay, the curve sung as the window drew it, and its recording.
        struct Point {
            double seconds, pitch; // pitch: NoteIndex plus cents/100; NaN without
        };
        double start = 0.0, toleranceCents = 50.0, delaySeconds = 0.0;
        bool octaveFree = false; // a note sung an octave away counted
        std::vector<Point> curve;
        std::string recording; // a file in RecordingsFolder(), or empty
        double recordingStart = 0.0;
        // The range sung, lowest and highest (-1: none known); without it, the notes held
        // in tune: right only where the octave counted.
        std::optional<std::pair<std::int32_t, std::int32_t>> range;
    };
    struct Row {
        std::int64_t id = 0;
        Take take;
        std::int32_t lowest = -1, highest = -1; // the notes sung in tune, lowest and highest
    };

    // $XDG_DATA_HOME/tessmar/verlauf.sqlite (normally ~/.local/share/tessmar/).
    static std::string DefaultPath();
    // The takes' recordings: "aufnahmen" beside the history.
    static std::string RecordingsFolder(const std::string& historyPath);
    // nullptr with the reason in German. The folder and the file are made if missing
    // (unless only to be read: create false).
    static std::unique_ptr<TakeHistory> Open(const std::string& path, std::string& error,
                                             bool create = true);
    ~TakeHistory();
    TakeHistory(const TakeHistory&) = delete;
    TakeHistory& operator=(const TakeHistory&) = delete;

    bool Add(const Take& take, std::string& error);
    // Per note: how often it was sung and how often off (under half its time in tune).
    struct Tally {
        std::int32_t note = 0;
        int sung = 0, off = 0;
    };
    // Every take, oldest first, without its notes: quick for the look at the progress.
    std::vector<Row> Takes(std::string& error) const;
    // The notes most often off, most first.
    std::vector<Tally> OftenOff(int most, std::string& error) const;
    // One take whole, for the look back: its notes, curve and recording.
    std::optional<Take> Load(std::int64_t id, std::string& error) const;
    // Every take, oldest first, with its notes.
    std::vector<Row> All(std::string& error) const;
    // All of them as CSV, a row per note (at in ISO 8601, UTC; numbers locale-free).
    static constexpr const char* kCsvHeader = "take,at,kind,name,detail,total,index,target_note,"
                                              "target_hz,mean_cents,in_tune_pct,onset_ms\n";
    std::optional<std::string> Csv(std::string& error) const;

private:
    explicit TakeHistory(sqlite3* db) : db_(db) {}
    sqlite3* db_;
    int schema_ = 1; // the file's version: how it keeps notes and curves
};

} // namespace tessmar
