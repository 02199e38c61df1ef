// A date text that reads gives a time in the program's date range, and that time written back
// as stored text reads again as the same time.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ado/OleDate.h"
#include "text/DateText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto seconds = ParseDateTimeText(text);
    if (!seconds)
        return 0;
    constexpr std::int64_t kDay = 86400;
    if (*seconds < static_cast<std::int64_t>(kOleDateMin) * kDay ||
        *seconds >= (static_cast<std::int64_t>(kOleDateLastDay) + 1) * kDay)
        std::abort();
    // Seconds on a straight line -> day number whose fraction counts forward from midnight.
    std::int64_t day = *seconds / kDay;
    std::int64_t time = *seconds % kDay;
    if (time < 0) {
        time += kDay;
        --day;
    }
    const double fraction = static_cast<double>(time) / static_cast<double>(kDay);
    const double whole = static_cast<double>(day);
    const double date = day >= 0 ? whole + fraction : whole - fraction;
    const std::string stored = OleDateToIsoText(date);
    const auto again = ParseDateTimeText(stored);
    if (stored.empty() || !again || *again != *seconds)
        std::abort();
    return 0;
}
