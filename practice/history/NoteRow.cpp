// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/NoteRow.h"

#include <cmath>
#include <sqlite3.h>

namespace tessmar {
namespace {

// A value scaled to whole units, or as it is where the file keeps doubles.
void Put(sqlite3_stmt* s, int place, double value, double unit, bool whole) {
    const double scaled = whole ? std::round(value * unit) : value;
    if (!whole) {
        sqlite3_bind_double(s, place, scaled);
    } else if (std::isfinite(scaled) && std::abs(scaled) < 9e15) {
        sqlite3_bind_int64(s, place, std::int64_t(scaled));
    } else {
        sqlite3_bind_null(s, place);
    }
}

} // namespace

NoteRow::NoteRow(int schema)
    : whole_(schema >= 2), seconds_(schema >= 2 ? 1000.0 : 1.0), cents_(schema >= 2 ? 10.0 : 1.0),
      percent_(schema >= 2 ? 10.0 : 1.0), hertz_(schema >= 2 ? 100.0 : 1.0) {}

void NoteRow::Bind(sqlite3_stmt* n, std::int64_t take, std::int64_t index,
                   const NoteScore& s) const {
    sqlite3_bind_int64(n, 1, take);
    sqlite3_bind_int64(n, 2, index);
    sqlite3_bind_int(n, 3, s.target.note);
    Put(n, 4, s.targetHz, hertz_, whole_);
    Put(n, 5, s.target.start, seconds_, whole_);
    Put(n, 6, s.target.end, seconds_, whole_);
    s.meanCents ? Put(n, 7, *s.meanCents, cents_, whole_) : void(sqlite3_bind_null(n, 7));
    // Cut, not rounded, so that a note held under half its time stays under half as kept.
    Put(n, 8, whole_ ? std::floor(s.inTunePct * percent_ + 1e-6) / percent_ : s.inTunePct, percent_,
        whole_);
    s.onsetMs ? Put(n, 9, *s.onsetMs, 1.0, whole_) : void(sqlite3_bind_null(n, 9));
    sqlite3_bind_int(n, 10, int(s.target.kind));
}

NoteScore NoteRow::Read(sqlite3_stmt* n) const {
    NoteScore s;
    s.target = {sqlite3_column_int(n, 1), sqlite3_column_double(n, 3) / seconds_,
                sqlite3_column_double(n, 4) / seconds_};
    s.targetHz = sqlite3_column_double(n, 2) / hertz_;
    if (sqlite3_column_type(n, 5) != SQLITE_NULL) {
        s.meanCents = sqlite3_column_double(n, 5) / cents_;
    }
    s.inTunePct = sqlite3_column_double(n, 6) / percent_;
    if (sqlite3_column_type(n, 7) != SQLITE_NULL) {
        s.onsetMs = sqlite3_column_double(n, 7);
    }
    const int kind = sqlite3_column_int(n, 8);
    s.target.kind = kind >= 0 && kind <= int(TargetNote::Kind::GoldenRap)
                        ? TargetNote::Kind(kind)
                        : TargetNote::Kind::Normal;
    return s;
}

std::string NoteRow::OffWhere() const {
    return "in_tune_pct < " + std::to_string(int(50 * percent_));
}

} // namespace tessmar
