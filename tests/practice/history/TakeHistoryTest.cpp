// SPDX-License-Identifier: GPL-3.0-or-later
// The takes kept: written and read back, and a file that isn't ours, or a damaged one,
// refused and left exactly as it was.
#include "practice/history/TakeHistory.h"

#include "practice/history/HistoryCommand.h"
#include "practice/history/Progress.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>
#include <sstream>
#include <unistd.h>

namespace tessmar {
namespace {

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TakeHistory, KeepsTakesAndRefusesFilesNotItsOwn) {
    const std::string dir = testing::TempDir() + "history-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    const std::string path = dir + "/tessmar/verlauf.sqlite";
    std::string error;
    {
        auto history = TakeHistory::Open(path, error);
        ASSERT_TRUE(history) << error;
        EXPECT_EQ(std::filesystem::status(dir + "/tessmar").permissions(),
                  std::filesystem::perms::owner_all)
            << "the singer's takes are closed to others";
        TakeHistory::Take take;
        take.at = 1796947200; // 2026-12-11
        take.kind = "lied";
        take.name = "Probe, \"zwei\"";
        take.total = 94;
        NoteScore flat;
        flat.target = {38, 1.5, 2.5};
        flat.targetHz = 293.66;
        flat.meanCents = -30.0;
        flat.inTunePct = 60.0;
        NoteScore missed = flat;
        missed.target.note = 50;
        missed.meanCents.reset();
        missed.inTunePct = 0.0;
        missed.target.kind = TargetNote::Kind::Rap;
        take.notes = {flat, missed};
        take.start = 1.0;
        take.curve = {{1.5, 38.3}, {1.55, std::numeric_limits<double>::quiet_NaN()}};
        ASSERT_TRUE(history->Add(take, error)) << error;
        const auto rows = history->All(error);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].lowest, 38) << "the range: the notes held in tune";
        EXPECT_EQ(rows[0].highest, 38);
        ASSERT_EQ(rows[0].take.notes.size(), 2u);
        EXPECT_FALSE(rows[0].take.notes[1].meanCents);
        const auto back = history->Load(rows[0].id, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(back->notes[1].target.kind, TargetNote::Kind::Rap);
        ASSERT_EQ(back->curve.size(), 2u) << "the curve for the look back";
        EXPECT_NEAR(back->curve[0].pitch, 38.3, 1e-5);
        EXPECT_TRUE(std::isnan(back->curve[1].pitch));
        EXPECT_EQ(*history->Csv(error),
                  std::string(TakeHistory::kCsvHeader) +
                      "1,2026-12-11T00:00:00Z,lied,\"Probe, \"\"zwei\"\"\",,94,1,D-3,293.66,-30.0,"
                      "60.0,\n1,2026-12-11T00:00:00Z,lied,\"Probe, \"\"zwei\"\"\",,94,2,D-4,293.66,"
                      ",0.0,\n");
    }
    std::filesystem::permissions(dir + "/tessmar", std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(TakeHistory::Open(path, error)) << "ours opens again: " << error;
    EXPECT_EQ(std::filesystem::status(dir + "/tessmar").permissions(),
              std::filesystem::perms::owner_all)
        << "an earlier build's open folder is closed";
    // A history that can't be looked for is not an empty one.
    std::filesystem::create_symlink(dir + "/b", dir + "/a");
    std::filesystem::create_symlink(dir + "/a", dir + "/b");
    std::ostringstream csv, told;
    EXPECT_EQ(RunHistoryCommand(dir + "/a/verlauf.sqlite", "-", csv, told), 1);
    EXPECT_EQ(csv.str(), "");
    EXPECT_NE(told.str().find("lässt sich nicht lesen"), std::string::npos) << told.str();

    // Someone else's database, a text file, and ours damaged: refused, untouched.
    const std::string other = dir + "/other.sqlite", text = dir + "/text.sqlite",
                      damaged = dir + "/damaged.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE mine(x); INSERT INTO mine VALUES(1)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::ofstream(text) << "Einkaufsliste\nMilch\n";
    std::string ours = Bytes(path);
    ours.replace(100, 4000, 4000, '\x7f'); // the first page's schema
    std::ofstream(damaged, std::ios::binary) << ours;
    for (const std::string& refused : {other, text, damaged}) {
        const std::string before = Bytes(refused);
        error.clear();
        const auto history = TakeHistory::Open(refused, error);
        EXPECT_TRUE(!history || !history->Add({}, error)) << refused;
        EXPECT_FALSE(error.empty()) << refused;
        EXPECT_EQ(Bytes(refused), before) << refused;
    }
    std::filesystem::remove_all(dir);
}

// A file of the first version keeps its figures as it has them; a new one in whole units
// and the curve by its steps: both give back what was sung, leaps, rests and gaps alike.
TEST(TakeHistory, EitherVersionOfTheFileGivesTheTakeBack) {
    const std::string dir = testing::TempDir() + "history-versions-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    TakeHistory::Take take;
    take.start = 4321.25;
    NoteScore off;
    off.target = {40, 4322.3456, 4323.0};
    off.targetHz = 329.63;
    off.meanCents = -12.34;
    off.inTunePct = 49.96;
    off.onsetMs = 87.4;
    take.notes = {off};
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < 400; ++k) { // vibrato, a leap of a fifth, a rest, a long gap
        const double pitch = k < 100 ? 40.0 + 0.4 * std::sin(k * 1.3) : k < 200 ? 47.01 : none;
        take.curve.push_back({take.start + (k < 300 ? k : k + 300) * 0.05, pitch});
    }
    for (const int version : {1, 2}) {
        const std::string path = dir + "/v" + std::to_string(version) + ".sqlite";
        std::string error;
        if (version == 1) {
            ASSERT_TRUE(TakeHistory::Open(path, error)) << error;
            sqlite3* db = nullptr;
            sqlite3_open(path.c_str(), &db);
            sqlite3_exec(db, "PRAGMA user_version=1", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        const auto history = TakeHistory::Open(path, error);
        ASSERT_TRUE(history && history->Add(take, error)) << error;
        const auto back = history->Load(history->Takes(error).at(0).id, error);
        ASSERT_TRUE(back) << error;
        const NoteScore& n = back->notes.at(0);
        EXPECT_NEAR(n.target.start, off.target.start, 0.0005) << version;
        EXPECT_NEAR(*n.meanCents, -12.34, 0.05) << version;
        EXPECT_NEAR(n.inTunePct, 49.96, 0.1) << version;
        EXPECT_NEAR(*n.onsetMs, 87.4, 0.5) << version;
        EXPECT_EQ(history->OftenOff(5, error).at(0).off, 1) << version;
        ASSERT_EQ(back->curve.size(), take.curve.size() + 1) << "a point without pitch in the gap";
        for (std::size_t i = 0, k = 0; i < back->curve.size(); ++i) {
            const auto& p = back->curve[i];
            if (i != 300) {
                EXPECT_NEAR(p.seconds, take.curve[k].seconds, 1e-6) << version << ' ' << i;
                EXPECT_TRUE(std::isnan(take.curve[k].pitch)
                                ? std::isnan(p.pitch)
                                : std::abs(p.pitch - take.curve[k].pitch) < 0.006)
                    << version << ' ' << i;
                ++k;
            }
        }
    }
    std::filesystem::remove_all(dir);
}

// The scores per exercise and local day, the most sung first; the range per week from
// Monday, as the look at the progress shows them.
TEST(TakeHistory, ProgressByDayAndWeek) {
    const auto row = [](std::int64_t at, const char* kind, const char* name, int total,
                        std::int32_t lowest, std::int32_t highest) {
        TakeHistory::Row r;
        r.take.at = at;
        r.take.kind = kind;
        r.take.name = name;
        r.take.total = total;
        r.lowest = lowest;
        r.highest = highest;
        return r;
    };
    const std::int64_t monday = 1796601600; // 2026-12-07, 00:00 UTC
    const auto progress =
        Progress::From({row(monday + 3600, "uebung", "tonleiter", 60, 36, 43),
                        row(monday + 7200, "uebung", "tonleiter", 80, 34, 43),
                        row(monday + 86400 * 6 + 82800, "lied", "Probe", 50, -1, -1),
                        row(monday + 86400 * 7, "uebung", "tonleiter", 90, 33, 45)},
                       3600); // an hour east: Sunday 23:00 is Monday
    ASSERT_EQ(progress.scores.size(), 2u);
    EXPECT_EQ(progress.scores[0].name, "Tonleiter");
    ASSERT_EQ(progress.scores[0].days.size(), 2u);
    EXPECT_DOUBLE_EQ(progress.scores[0].days[0].total, 70.0);
    EXPECT_EQ(progress.scores[1].days[0].day, monday / 86400 + 7) << "local time";
    ASSERT_EQ(progress.range.size(), 2u);
    EXPECT_EQ(progress.range[0].monday, monday / 86400);
    EXPECT_EQ(progress.range[0].lowest, 34);
    EXPECT_EQ(progress.range[1].highest, 45);
}

} // namespace
} // namespace tessmar
