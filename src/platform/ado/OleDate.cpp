#include "platform/ado/OleDate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

constexpr long kMsPerDay = 86400000L;
// Days from 1970-01-01 back to the automation epoch 1899-12-30.
constexpr long kEpochShift = 25569;

// Proleptic Gregorian day count relative to 1970-01-01 (H. Hinnant's algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(era * 400 + yoe + (m <= 2));
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool OleDateToFields(double date, OleDateFields& f, OleDateRounding rounding) {
    // The range is whole days: every time of the first and of the last day belongs to it, as
    // the fields of both days are accepted on the way in.
    if (!(date > kOleDateMin - 1 && date < kOleDateLastDay + 1))
        return false;
    // The whole part is the day, the fraction counts forward from its midnight
    // even for days before the epoch (-1.25 is 1899-12-29 06:00).
    const double whole = std::trunc(date);
    long day = static_cast<long>(whole);
    const long unitMs = rounding == OleDateRounding::Second ? 1000L : 1L;
    const long unitsPerDay = kMsPerDay / unitMs;
    long units = std::lround(std::fabs(date - whole) * static_cast<double>(unitsPerDay));
    if (units >= unitsPerDay) {
        // Rounding up past the last moment of the range keeps that moment.
        if (day == static_cast<long>(kOleDateLastDay)) {
            units = unitsPerDay - 1;
        } else {
            ++day;
            units -= unitsPerDay;
        }
    }
    const long ms = units * unitMs;
    const long unixDay = day - kEpochShift;
    CivilFromDays(unixDay, f.nYear, f.nMonth, f.nDay);
    f.nHour = static_cast<int>(ms / 3600000L);
    f.nMinute = static_cast<int>(ms / 60000L % 60);
    f.nSecond = static_cast<int>(ms / 1000L % 60);
    f.nMillisecond = static_cast<int>(ms % 1000L);
    f.nDayOfWeek = static_cast<int>(((unixDay % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    f.nDayOfYear = static_cast<int>(unixDay - DaysFromCivil(f.nYear, 1, 1) + 1);
    return true;
}

bool OleDateFromFields(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, double& date) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || millisecond < 0 || millisecond > 999) {
        return false;
    }
    const long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochShift;
    const double time =
        ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
    const double whole = static_cast<double>(days);
    date = days >= 0 ? whole + time : whole - time;
    return true;
}

std::string OleDateToIsoText(double date) {
    OleDateFields f;
    if (!OleDateToFields(date, f))
        return {};
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", f.nYear, f.nMonth,
                          f.nDay, f.nHour, f.nMinute, f.nSecond);
    if (f.nMillisecond != 0) {
        std::snprintf(buf + n, sizeof buf - n, ".%03d", f.nMillisecond);
    }
    return buf;
}

namespace {

bool ReadNumber(std::string_view s, size_t& pos, int minDigits, int maxDigits, int& out) {
    int n = 0;
    out = 0;
    while (pos < s.size() && n < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
        out = out * 10 + (s[pos] - '0');
        ++pos;
        ++n;
    }
    return n >= minDigits;
}

}  // namespace

bool OleDateFromIsoText(std::string_view s, double& date) {
    // The form the book stores, read in one pass.
    if ((s.size() == 19 || (s.size() == 23 && s[19] == '.')) && s[4] == '-' && s[7] == '-' &&
        (s[10] == ' ' || s[10] == 'T') && s[13] == ':' && s[16] == ':') {
        // A byte below '0' wraps around to a large value: one comparison per digit.
        const auto d = [s](size_t at) { return static_cast<unsigned char>(s[at]) - 48u; };
        const bool ms = s.size() == 23;
        constexpr size_t kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22};
        const size_t digits = ms ? std::size(kDigits) : std::size(kDigits) - 3;
        unsigned worst = 0;
        for (size_t i = 0; i < digits; ++i)
            worst = std::max(worst, d(kDigits[i]));
        if (worst > 9)
            return false;
        const auto two = [&d](size_t at) { return static_cast<int>(d(at) * 10 + d(at + 1)); };
        return OleDateFromFields(static_cast<int>(d(0) * 1000 + d(1) * 100) + two(2), two(5),
                                 two(8), two(11), two(14), two(17),
                                 ms ? static_cast<int>(d(20) * 100) + two(21) : 0, date);
    }
    size_t pos = 0;
    int y, mo, d, h = 0, mi = 0, sec = 0, ms = 0;
    if (!ReadNumber(s, pos, 4, 4, y) || pos >= s.size() || s[pos++] != '-')
        return false;
    if (!ReadNumber(s, pos, 2, 2, mo) || pos >= s.size() || s[pos++] != '-')
        return false;
    if (!ReadNumber(s, pos, 2, 2, d))
        return false;
    if (pos < s.size()) {
        if (s[pos] != ' ' && s[pos] != 'T')
            return false;
        ++pos;
        if (!ReadNumber(s, pos, 2, 2, h) || pos >= s.size() || s[pos++] != ':')
            return false;
        if (!ReadNumber(s, pos, 2, 2, mi))
            return false;
        if (pos < s.size()) {
            if (s[pos++] != ':' || !ReadNumber(s, pos, 2, 2, sec))
                return false;
            if (pos < s.size()) {
                if (s[pos++] != '.')
                    return false;
                int digits = 0;
                int frac = 0;
                while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
                    if (digits < 3) {
                        frac = frac * 10 + (s[pos] - '0');
                        ++digits;
                    }
                    ++pos;
                }
                if (digits == 0 || pos != s.size())
                    return false;
                while (digits++ < 3)
                    frac *= 10;
                ms = frac;
            }
        }
    }
    return OleDateFromFields(y, mo, d, h, mi, sec, ms, date);
}
