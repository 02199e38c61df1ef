#include "data/BackupRetention.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <numeric>
#include <set>

namespace {

constexpr LocalSeconds kDay = 86400;
constexpr std::size_t kRecentKept = 10;
constexpr std::size_t kDailyKept = 7;
constexpr std::size_t kWeeklyKept = 4;
constexpr std::size_t kMonthlyKept = 12;

std::int64_t DayOf(LocalSeconds t) {
    return t >= 0 ? t / kDay : (t - kDay + 1) / kDay;
}

// 1970-01-01 was a Thursday; weeks start on Monday.
std::int64_t WeekOf(LocalSeconds t) {
    const std::int64_t shifted = DayOf(t) + 3;
    return shifted >= 0 ? shifted / 7 : (shifted - 6) / 7;
}

std::int64_t MonthOf(LocalSeconds t) {
    const std::time_t seconds = static_cast<std::time_t>(t);
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    return static_cast<std::int64_t>(fields.tm_year) * 12 + fields.tm_mon;
}

}  // namespace

std::vector<std::size_t> BackupsToRemove(const std::vector<LocalSeconds>& times, LocalSeconds now) {
    std::vector<std::size_t> newestFirst(times.size());
    std::iota(newestFirst.begin(), newestFirst.end(), std::size_t{0});
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] > times[b]; });
    std::set<std::size_t> kept;
    std::size_t recent = 0;
    for (std::size_t i : newestFirst) {
        if (times[i] > now - kDay && recent < kRecentKept) {
            kept.insert(i);
            ++recent;
        }
    }
    // The newest backup of each of the latest `count` periods that have one.
    auto keepNewestPer = [&](const std::function<std::int64_t(LocalSeconds)>& period,
                             std::size_t count) {
        std::set<std::int64_t> seen;
        for (std::size_t i : newestFirst) {
            if (seen.size() == count && seen.count(period(times[i])) == 0)
                break;
            if (seen.insert(period(times[i])).second)
                kept.insert(i);
        }
    };
    keepNewestPer(DayOf, kDailyKept);
    keepNewestPer(WeekOf, kWeeklyKept);
    keepNewestPer(MonthOf, kMonthlyKept);
    std::vector<std::size_t> removed;
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (kept.count(i) == 0)
            removed.push_back(i);
    }
    return removed;
}
