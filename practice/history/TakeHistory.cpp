// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/TakeHistory.h"

#include "analysis/NoteNaming.h"
#include "platform/files/PrivateFolder.h"
#include "platform/system/DecimalText.h"
#include "practice/history/NoteRow.h"
#include "practice/history/PackedCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <sqlite3.h>

namespace tessmar {
namespace {

constexpr int kApplicationId = 0x54534d52; // "TSMR" in the file's header
// 1 kept a note's figures as doubles and three bytes per curve point; 2 (new files) keeps
// whole numbers of small units and the curve's steps (NoteRow, PackedCurve). A file keeps
// the version it was made with.
constexpr int kSchema = 2;

constexpr const char* kCreate =
    "CREATE TABLE takes(id INTEGER PRIMARY KEY, at INTEGER NOT NULL, kind TEXT NOT NULL,"
    " name TEXT NOT NULL, detail TEXT NOT NULL, total INTEGER NOT NULL,"
    " lowest INTEGER NOT NULL, highest INTEGER NOT NULL, start REAL NOT NULL,"
    " tolerance REAL NOT NULL, delay REAL NOT NULL, recording TEXT NOT NULL,"
    " recording_start REAL NOT NULL, octave_free INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX takes_by_time ON takes(at);"
    "CREATE TABLE notes(take INTEGER NOT NULL REFERENCES takes(id), idx INTEGER NOT NULL,"
    " note INTEGER NOT NULL, hz REAL NOT NULL, start REAL NOT NULL, end REAL NOT NULL,"
    " mean_cents REAL, in_tune_pct REAL NOT NULL, onset_ms REAL, kind INTEGER NOT NULL,"
    " PRIMARY KEY(take, idx))"
    " WITHOUT ROWID;"
    // The curve as PackedCurve packs it: three bytes an update, 60 a second.
    "CREATE TABLE curves(take INTEGER PRIMARY KEY REFERENCES takes(id), points BLOB NOT NULL);";

// A prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

std::string Why(sqlite3* db) {
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_NOTADB) {
        return "die Datei ist keine Datenbank";
    }
    if (code == SQLITE_CORRUPT) {
        return "die Datenbank ist beschädigt";
    }
    if (code == SQLITE_FULL) {
        return "der Datenträger ist voll";
    }
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        return "ein anderes Programm schreibt gerade hinein";
    }
    if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM) {
        return "sie lässt sich nicht öffnen oder nicht beschreiben";
    }
    return std::string("SQLite: ") + sqlite3_errmsg(db);
}

std::optional<std::int64_t> Pragma(sqlite3* db, const char* sql) {
    const Statement s(db, sql);
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return sqlite3_column_int64(s.get(), 0);
}

std::string IsoTime(std::int64_t at) {
    const std::time_t t = at;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

// A field as CSV has it: in quotes where it holds a comma, a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == text.npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + '"';
}

} // namespace

std::string TakeHistory::RecordingsFolder(const std::string& historyPath) {
    return std::filesystem::path(historyPath).parent_path().string() + "/aufnahmen";
}

std::string TakeHistory::DefaultPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = data && *data == '/' ? data
                             : home && *home      ? std::string(home) + "/.local/share"
                                                  : ".";
    return base + "/tessmar/verlauf.sqlite";
}

std::unique_ptr<TakeHistory> TakeHistory::Open(const std::string& path, std::string& error,
                                               bool create) {
    if (create) {
        // The takes are the singer's: their folder is closed to others (a link to one is
        // left as it is).
        PrivateFolder::Make(std::filesystem::path(path).parent_path().string());
    }
    sqlite3* raw = nullptr;
    // Never through a symbolic link: another user's could point at a file of ours.
    const int code = sqlite3_open_v2(
        path.c_str(), &raw,
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOFOLLOW, nullptr);
    std::unique_ptr<TakeHistory> history(new TakeHistory(raw));
    if (code != SQLITE_OK) {
        error = Why(raw);
        return nullptr;
    }
    sqlite3_busy_timeout(raw, 3000);
    // Read before anything is written: a file of someone else's stays as it is.
    const auto id = Pragma(raw, "PRAGMA application_id");
    const auto schema = Pragma(raw, "PRAGMA user_version");
    const auto tables = Pragma(raw, "SELECT count(*) FROM sqlite_master");
    if (!id || !schema || !tables) {
        error = Why(raw);
        return nullptr;
    }
    std::optional<std::int64_t> ours = id, version = schema;
    if (*id == 0 && *tables == 0) { // new (or empty): made ours
        // Inside the transaction it is looked at again: another program may make it too.
        const bool begun =
            sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        const auto still = begun ? Pragma(raw, "SELECT count(*) FROM sqlite_master") : std::nullopt;
        const std::string make =
            (still == 0 ? std::string(kCreate) +
                              "PRAGMA application_id=" + std::to_string(kApplicationId) +
                              ";PRAGMA user_version=" + std::to_string(kSchema) + ";"
                        : std::string()) +
            "COMMIT;";
        if (!still || sqlite3_exec(raw, make.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            error = Why(raw);
            sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
            return nullptr;
        }
        // Read again: where another program made it first, its version is the file's.
        ours = Pragma(raw, "PRAGMA application_id");
        version = Pragma(raw, "PRAGMA user_version");
    }
    if (ours != kApplicationId) {
        error = "die Datei ist keine Verlaufsdatei von Tessmar; sie bleibt unverändert";
        return nullptr;
    }
    if (!version) {
        error = Why(raw);
        return nullptr;
    }
    if (*version > kSchema) {
        error = "die Verlaufsdatei stammt von einer neueren Version; sie bleibt unverändert";
        return nullptr;
    }
    history->schema_ = int(std::max<std::int64_t>(1, *version));
    // A take written is on the disk once its transaction ends; a kill loses at most it.
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr,
                 nullptr);
    return history;
}

TakeHistory::~TakeHistory() {
    sqlite3_close_v2(db_);
}

bool TakeHistory::Add(const Take& take, std::string& error) {
    std::int32_t lowest = take.range ? take.range->first : -1;
    std::int32_t highest = take.range ? take.range->second : -1;
    for (const NoteScore& n : take.range ? std::vector<NoteScore>() : take.notes) {
        if (n.inTunePct >= 50.0 && !n.target.rap()) { // a note the voice held counts
            lowest = lowest < 0 ? n.target.note : std::min(lowest, n.target.note);
            highest = std::max(highest, n.target.note);
        }
    }
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = Why(db_);
        return false;
    }
    bool ok = true;
    std::string failure; // the first, before later calls clear SQLite's error
    const auto check = [&](bool good) {
        if (!good && failure.empty()) {
            failure = Why(db_);
        }
        return good;
    };
    {
        // The first version's file has no octave_free.
        const Statement t(db_, schema_ >= 2
                                   ? "INSERT INTO takes(at,kind,name,detail,total,lowest,highest,"
                                     "start,tolerance,delay,recording,recording_start,octave_free)"
                                     " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)"
                                   : "INSERT INTO takes(at,kind,name,detail,total,lowest,highest,"
                                     "start,tolerance,delay,recording,recording_start)"
                                     " VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
        ok = check(bool(t));
        if (ok) {
            sqlite3_bind_int64(t.get(), 1, take.at);
            sqlite3_bind_text(t.get(), 2, take.kind.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(t.get(), 3, take.name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(t.get(), 4, take.detail.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(t.get(), 5, take.total);
            sqlite3_bind_int(t.get(), 6, lowest);
            sqlite3_bind_int(t.get(), 7, highest);
            sqlite3_bind_double(t.get(), 8, take.start);
            sqlite3_bind_double(t.get(), 9, take.toleranceCents);
            sqlite3_bind_double(t.get(), 10, take.delaySeconds);
            sqlite3_bind_text(t.get(), 11, take.recording.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(t.get(), 12, take.recordingStart);
            if (schema_ >= 2) {
                sqlite3_bind_int(t.get(), 13, take.octaveFree ? 1 : 0);
            }
            ok = check(sqlite3_step(t.get()) == SQLITE_DONE);
        }
        const std::int64_t id = sqlite3_last_insert_rowid(db_);
        const Statement n(db_, "INSERT INTO notes VALUES(?,?,?,?,?,?,?,?,?,?)");
        const NoteRow row(schema_);
        ok = ok && check(bool(n));
        for (std::size_t i = 0; ok && i < take.notes.size(); ++i) {
            sqlite3_reset(n.get());
            row.Bind(n.get(), id, std::int64_t(i), take.notes[i]);
            ok = check(sqlite3_step(n.get()) == SQLITE_DONE);
        }
        if (ok && !take.curve.empty()) {
            const std::string points = PackedCurve::Pack(take.curve, take.start, schema_);
            const Statement c(db_, "INSERT INTO curves VALUES(?,?)");
            ok = check(bool(c));
            if (ok) {
                sqlite3_bind_int64(c.get(), 1, id);
                sqlite3_bind_blob(c.get(), 2, points.data(), int(points.size()), SQLITE_TRANSIENT);
                ok = check(sqlite3_step(c.get()) == SQLITE_DONE);
            }
        }
    }
    if (!ok || !check(sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)) {
        error = failure;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

std::vector<TakeHistory::Row> TakeHistory::Takes(std::string& error) const {
    std::vector<Row> rows;
    const Statement t(db_, "SELECT id,at,kind,name,detail,total,lowest,highest FROM takes"
                           " ORDER BY at,id");
    int step = t ? SQLITE_ROW : SQLITE_ERROR;
    while (t && (step = sqlite3_step(t.get())) == SQLITE_ROW) {
        Row r;
        r.id = sqlite3_column_int64(t.get(), 0);
        r.take.at = sqlite3_column_int64(t.get(), 1);
        const auto text = [&](int column) {
            const auto* p = sqlite3_column_text(t.get(), column);
            return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
        };
        r.take.kind = text(2);
        r.take.name = text(3);
        r.take.detail = text(4);
        r.take.total = sqlite3_column_int(t.get(), 5);
        r.lowest = sqlite3_column_int(t.get(), 6);
        r.highest = sqlite3_column_int(t.get(), 7);
        rows.push_back(std::move(r));
    }
    if (step != SQLITE_DONE) {
        error = Why(db_);
        return {};
    }
    return rows;
}

std::vector<TakeHistory::Tally> TakeHistory::OftenOff(int most, std::string& error) const {
    std::vector<Tally> tallies;
    const std::string sql = "SELECT note, count(*), sum(" + NoteRow(schema_).OffWhere() +
                            ") AS off FROM notes WHERE kind NOT IN (2, 3) GROUP BY note"
                            " HAVING off > 0 ORDER BY off DESC, note LIMIT ?";
    const Statement s(db_, sql.c_str());
    if (s) {
        sqlite3_bind_int(s.get(), 1, most);
    }
    int step = s ? SQLITE_ROW : SQLITE_ERROR;
    while (s && (step = sqlite3_step(s.get())) == SQLITE_ROW) {
        tallies.push_back({sqlite3_column_int(s.get(), 0), sqlite3_column_int(s.get(), 1),
                           sqlite3_column_int(s.get(), 2)});
    }
    if (step != SQLITE_DONE) {
        error = Why(db_);
        return {};
    }
    return tallies;
}

std::optional<TakeHistory::Take> TakeHistory::Load(std::int64_t id, std::string& error) const {
    const Statement t(db_, schema_ >= 2 ? "SELECT at,kind,name,detail,total,start,tolerance,delay,"
                                          "recording,recording_start,octave_free FROM takes"
                                          " WHERE id=?"
                                        : "SELECT at,kind,name,detail,total,start,tolerance,delay,"
                                          "recording,recording_start,kind='lied' FROM takes"
                                          " WHERE id=?");
    if (!t) {
        error = Why(db_);
        return std::nullopt;
    }
    sqlite3_bind_int64(t.get(), 1, id);
    const int step = sqlite3_step(t.get());
    if (step != SQLITE_ROW) {
        error = step == SQLITE_DONE ? "sie steht nicht mehr im Verlauf" : Why(db_);
        return std::nullopt;
    }
    const auto text = [&](int column) {
        const auto* p = sqlite3_column_text(t.get(), column);
        return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
    };
    Take take;
    take.at = sqlite3_column_int64(t.get(), 0);
    take.kind = text(1);
    take.name = text(2);
    take.detail = text(3);
    take.total = sqlite3_column_int(t.get(), 4);
    take.start = sqlite3_column_double(t.get(), 5);
    take.toleranceCents = sqlite3_column_double(t.get(), 6);
    take.delaySeconds = sqlite3_column_double(t.get(), 7);
    take.recording = text(8);
    take.recordingStart = sqlite3_column_double(t.get(), 9);
    take.octaveFree = sqlite3_column_int(t.get(), 10) != 0; // a first version's: songs
    const NoteRow row(schema_);
    const Statement n(db_, "SELECT take,note,hz,start,end,mean_cents,in_tune_pct,onset_ms,kind"
                           " FROM notes WHERE take=? ORDER BY idx");
    sqlite3_bind_int64(n.get(), 1, id);
    int notes = n ? SQLITE_ROW : SQLITE_ERROR;
    while (n && (notes = sqlite3_step(n.get())) == SQLITE_ROW) {
        take.notes.push_back(row.Read(n.get()));
    }
    if (notes != SQLITE_DONE) {
        error = Why(db_);
        return std::nullopt;
    }
    const Statement c(db_, "SELECT points FROM curves WHERE take=?");
    sqlite3_bind_int64(c.get(), 1, id);
    if (c && sqlite3_step(c.get()) == SQLITE_ROW) {
        take.curve =
            PackedCurve::Unpack(static_cast<const unsigned char*>(sqlite3_column_blob(c.get(), 0)),
                                std::size_t(sqlite3_column_bytes(c.get(), 0)), take.start, schema_);
    }
    return take;
}

std::vector<TakeHistory::Row> TakeHistory::All(std::string& error) const {
    std::vector<Row> rows = Takes(error);
    if (!error.empty()) {
        return {};
    }
    std::map<std::int64_t, std::size_t> byId;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        byId[rows[i].id] = i;
    }
    const NoteRow row(schema_);
    const Statement n(db_, "SELECT take,note,hz,start,end,mean_cents,in_tune_pct,onset_ms,kind"
                           " FROM notes ORDER BY take,idx");
    int step = n ? SQLITE_ROW : SQLITE_ERROR;
    while (n && (step = sqlite3_step(n.get())) == SQLITE_ROW) {
        const auto at = byId.find(sqlite3_column_int64(n.get(), 0));
        if (at == byId.end()) {
            continue;
        }
        rows[at->second].take.notes.push_back(row.Read(n.get()));
    }
    if (step != SQLITE_DONE) {
        error = Why(db_);
        return {};
    }
    return rows;
}

std::optional<std::string> TakeHistory::Csv(std::string& error) const {
    error.clear();
    const std::vector<Row> rows = All(error);
    if (!error.empty()) {
        return std::nullopt;
    }
    std::string out = kCsvHeader;
    for (const Row& r : rows) {
        const std::string head = std::to_string(r.id) + ',' + IsoTime(r.take.at) + ',' +
                                 Field(r.take.kind) + ',' + Field(r.take.name) + ',' +
                                 Field(r.take.detail) + ',' + std::to_string(r.take.total) + ',';
        for (std::size_t i = 0; i < r.take.notes.size(); ++i) {
            const NoteScore& s = r.take.notes[i];
            out += head + std::to_string(i + 1) + ',' + NoteName(s.target.note) + ',' +
                   DecimalText(s.targetHz, 2) + ',' +
                   (s.meanCents ? DecimalText(*s.meanCents, 1, true) : "") + ',' +
                   DecimalText(s.inTunePct, 1) + ',' +
                   (s.onsetMs ? DecimalText(*s.onsetMs, 0) : "") + '\n';
        }
    }
    return out;
}

} // namespace tessmar
