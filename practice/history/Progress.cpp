// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/Progress.h"

#include "practice/exercise/Exercise.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace tessmar {
std::string Progress::Shown(const TakeHistory::Take& take) {
    if (take.kind == "uebung") {
        constexpr const char* kShown[] = {"Ton treffen", "Ton halten", "Tonleiter", "Dreiklang",
                                          "Intervall"};
        if (const auto kind = Exercise::KindNamed(take.name)) {
            return kShown[int(*kind)];
        }
    }
    return take.name.empty() ? take.detail : take.name;
}

Progress Progress::From(const std::vector<TakeHistory::Row>& takes, std::optional<long> utcOffset) {
    struct Sums {
        std::map<std::int64_t, std::pair<double, int>> days; // total's sum and count a day
        int takes = 0;
    };
    std::map<std::string, Sums> byName;
    std::map<std::int64_t, std::pair<std::int32_t, std::int32_t>> weeks;
    for (const TakeHistory::Row& r : takes) {
        std::int64_t local = r.take.at;
        if (utcOffset) {
            local += *utcOffset;
        } else {
            const std::time_t t = r.take.at;
            std::tm tm{};
            local += localtime_r(&t, &tm) ? tm.tm_gmtoff : 0;
        }
        const std::int64_t day = local >= 0 ? local / 86400 : (local - 86399) / 86400;
        Sums& sums = byName[Shown(r.take)];
        auto& [sum, count] = sums.days[day];
        sum += r.take.total;
        ++count;
        ++sums.takes;
        if (r.lowest >= 0) {
            const std::int64_t monday = day - ((day + 3) % 7 + 7) % 7; // 1970-01-01: a Thursday
            auto [at, fresh] = weeks.try_emplace(monday, r.lowest, r.highest);
            at->second.first = std::min(at->second.first, r.lowest);
            at->second.second = std::max(at->second.second, r.highest);
        }
    }
    Progress progress;
    for (const auto& [name, sums] : byName) {
        Series series{name, {}, sums.takes};
        for (const auto& [day, sum] : sums.days) {
            series.days.push_back({day, sum.first / sum.second});
        }
        progress.scores.push_back(std::move(series));
    }
    std::stable_sort(progress.scores.begin(), progress.scores.end(),
                     [](const Series& a, const Series& b) { return a.takes > b.takes; });
    if (progress.scores.size() > kMostSeries) {
        progress.scores.resize(kMostSeries);
    }
    for (const auto& [monday, range] : weeks) {
        progress.range.push_back({monday, range.first, range.second});
    }
    return progress;
}

} // namespace tessmar
