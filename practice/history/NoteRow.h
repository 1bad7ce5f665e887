// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/NoteScore.h"

#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace tessmar {

// A note's figures as a version of the history file keeps them. The first kept doubles;
// the second keeps whole numbers of small units (milliseconds, tenths of a cent and of a
// percent, hundredths of a hertz), which SQLite stores in one to four bytes where a double
// takes eight: a four-minute song's notes in half the room.
class NoteRow {
public:
    explicit NoteRow(int schema);
    // Into an insert's ten places: take, index, note, hz, start, end, mean cents, in tune,
    // onset, kind.
    void Bind(sqlite3_stmt* insert, std::int64_t take, std::int64_t index,
              const NoteScore& s) const;
    // From a select's columns take, note, hz, start, end, mean_cents, in_tune_pct, onset_ms,
    // kind.
    NoteScore Read(sqlite3_stmt* select) const;
    // "in_tune_pct < …" for a note held under half its time, in the file's units.
    std::string OffWhere() const;

private:
    bool whole_;
    double seconds_, cents_, percent_, hertz_;
};

} // namespace tessmar
