// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/history/TakeHistory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// The progress over days and weeks, from the takes kept: each exercise's or song's mean
// total per day it was sung, and the range held in tune per week.
struct Progress {
    struct Day {
        std::int64_t day; // days since 1970-01-01, local time
        double total;     // the mean of that day's takes
    };
    struct Series {
        std::string name; // "Tonleiter", or the song's title
        std::vector<Day> days;
        int takes = 0;
    };
    struct Week {
        std::int64_t monday; // the day its Monday falls on
        std::int32_t lowest, highest;
    };
    static constexpr std::size_t kMostSeries = 6;

    std::vector<Series> scores; // the most sung first, at most kMostSeries
    std::vector<Week> range;    // weeks with a range held, in time order

    // An exercise by its name in the window ("Tonleiter"); a song by its title.
    static std::string Shown(const TakeHistory::Take& take);

    // takes oldest first; utcOffset: seconds local time is ahead of UTC, or none: each
    // take's own, as the time zone had it then (summer time).
    static Progress From(const std::vector<TakeHistory::Row>& takes,
                         std::optional<long> utcOffset = std::nullopt);
};

} // namespace tessmar
