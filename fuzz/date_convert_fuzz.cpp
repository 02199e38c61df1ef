// Date conversions round-trip over the whole range: a day number turns into fields and stored
// text and back to the same text; fields turn into a day number and back to the same fields.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "data/DateTimeValue.h"
#include "platform/ado/OleDate.h"

namespace {

void FromDayNumber(double date) {
    OleDateFields f;
    const bool inRange = date > kOleDateMin - 1 && date < kOleDateLastDay + 1;
    if (OleDateToFields(date, f) != inRange)
        std::abort();
    const DateTimeValue value(date);
    const std::string shown = value.Format("%Y-%m-%d %H:%M:%S");
    if ((shown == "Invalid DateTime") == inRange)
        std::abort();
    if (!inRange)
        return;
    if (value.GetYear() < 100 || value.GetYear() > 9999 || value.GetSecond() > 59)
        std::abort();
    const std::string text = OleDateToIsoText(date);
    double back = 0;
    if (!OleDateFromIsoText(text, back) || OleDateToIsoText(back) != text)
        std::abort();
    // The stored text is within half a millisecond of the value (a millisecond at the very top,
    // where rounding up would leave the range), give or take the doubles' own spacing, which
    // is up to 0.04 ms for day numbers near 3,000,000.
    const double tolerance = std::trunc(date) == kOleDateLastDay ? 1.0 : 0.5;
    const double linear = std::trunc(date) + std::fabs(date - std::trunc(date));
    const double linearBack = std::trunc(back) + std::fabs(back - std::trunc(back));
    if (std::fabs(linear - linearBack) * 86400000.0 > tolerance + 0.1)
        std::abort();
}

void FromFields(const std::uint8_t* data, std::size_t size) {
    const int year = 100 + Take<std::uint16_t>(data, size) % 9900;
    const int month = 1 + Take<std::uint8_t>(data, size) % 12;
    const int day = 1 + Take<std::uint8_t>(data, size) % 31;
    const int hour = Take<std::uint8_t>(data, size) % 24;
    const int minute = Take<std::uint8_t>(data, size) % 60;
    const int second = Take<std::uint8_t>(data, size) % 60;
    const int ms = Take<std::uint16_t>(data, size) % 1000;
    double date = 0;
    if (!OleDateFromFields(year, month, day, hour, minute, second, ms, date))
        return;  // no such day in that month
    OleDateFields f;
    if (!OleDateToFields(date, f) || f.nYear != year || f.nMonth != month || f.nDay != day ||
        f.nHour != hour || f.nMinute != minute || f.nSecond != second || f.nMillisecond != ms)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t mode = Take<std::uint8_t>(data, size);
    if (mode % 2 == 0) {
        FromFields(data, size);
    } else {
        // Any double, or a day number spread over the range.
        double date =
            mode % 4 == 1
                ? Take<double>(data, size)
                : kOleDateMin - 1 + (Take<std::uint64_t>(data, size) % 3615900000000ull) / 1e6;
        FromDayNumber(date);
    }
    return 0;
}
