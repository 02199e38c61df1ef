#include "data/DateTimeValue.h"

#include <cmath>
#include <ctime>

#include "platform/ado/OleDate.h"

namespace {

// Calendar fields round to the nearest second, as the platform's date conversion does.
constexpr OleDateRounding kFieldRounding = OleDateRounding::Second;

// Maps the day number onto a straight time line (days before 1899-12-30 count
// their fraction forward, so -1.25 lies between -1 and 0) and back.
double ToLinear(double dt) {
    const double whole = std::trunc(dt);
    return whole + std::fabs(dt - whole);
}

// `pattern` written with the year, month, day, hour, minute and second alone, as the lists
// and statements use, without a trip through strftime; false for any other directive.
bool FormatNumericFields(const std::string& pattern, const OleDateFields& f, std::string& out) {
    const auto two = [&out](int v) {
        out.push_back(static_cast<char>('0' + v / 10));
        out.push_back(static_cast<char>('0' + v % 10));
    };
    out.reserve(pattern.size() + 8);
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\0')
            return false;
        if (pattern[i] != '%') {
            out.push_back(pattern[i]);
            continue;
        }
        if (++i == pattern.size())
            return false;
        switch (pattern[i]) {
            case 'Y':
                out += std::to_string(f.nYear);
                break;
            case 'm':
                two(f.nMonth);
                break;
            case 'd':
                two(f.nDay);
                break;
            case 'H':
                two(f.nHour);
                break;
            case 'M':
                two(f.nMinute);
                break;
            case 'S':
                two(f.nSecond);
                break;
            default:
                return false;
        }
    }
    // strftime's limit: the text and its terminating NUL in 256 bytes, or nothing.
    if (out.size() > 255)
        out.clear();
    return true;
}

double FromLinear(double x) {
    const double day = std::floor(x);
    const double time = x - day;
    return day >= 0 ? day + time : day - time;
}

}  // namespace

DateTimeValue::DateTimeValue(double days, DateTimeStatus status) : m_dt(days), m_status(status) {}

DateTimeValue::DateTimeValue(int year, int month, int day, int hour, int minute, int second,
                             int millisecond) {
    if (!OleDateFromFields(year, month, day, hour, minute, second, millisecond, m_dt)) {
        m_dt = 0;
        m_status = invalid;
    }
}

DateTimeValue DateTimeValue::GetCurrentTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTimeValue(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec);
}

DateTimeValue DateTimeValue::Null() {
    return DateTimeValue(0, null);
}

#define TILLBOOK_FIELD_GETTER(Name, member, rounding)                 \
    int DateTimeValue::Name() const {                                 \
        OleDateFields f;                                              \
        if (m_status != valid || !OleDateToFields(m_dt, f, rounding)) \
            return -1;                                                \
        return f.member;                                              \
    }
TILLBOOK_FIELD_GETTER(GetYear, nYear, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetMonth, nMonth, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetDay, nDay, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetHour, nHour, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetMinute, nMinute, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetSecond, nSecond, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetMillisecond, nMillisecond, OleDateRounding::Millisecond)
TILLBOOK_FIELD_GETTER(GetDayOfWeek, nDayOfWeek, kFieldRounding)
TILLBOOK_FIELD_GETTER(GetDayOfYear, nDayOfYear, kFieldRounding)
#undef TILLBOOK_FIELD_GETTER

DateTimeValue DateTimeValue::AddDays(long days) const {
    if (m_status != valid)
        return *this;
    DateTimeValue result(FromLinear(ToLinear(m_dt) + static_cast<double>(days)));
    OleDateFields f;
    if (!OleDateToFields(result.m_dt, f))
        result.m_status = invalid;
    return result;
}

std::string DateTimeValue::Format(const std::string& pattern) const {
    if (m_status == null)
        return {};
    OleDateFields f;
    if (m_status == invalid || !OleDateToFields(m_dt, f, kFieldRounding))
        return "Invalid DateTime";
    if (std::string fast; FormatNumericFields(pattern, f, fast))
        return fast;
    std::tm tm{};
    tm.tm_year = f.nYear - 1900;
    tm.tm_mon = f.nMonth - 1;
    tm.tm_mday = f.nDay;
    tm.tm_hour = f.nHour;
    tm.tm_min = f.nMinute;
    tm.tm_sec = f.nSecond;
    tm.tm_wday = f.nDayOfWeek;
    tm.tm_yday = f.nDayOfYear - 1;
    tm.tm_isdst = 0;
    char buf[256];
    const size_t n = std::strftime(buf, sizeof buf, pattern.c_str(), &tm);
    return std::string(buf, n);
}

bool DateTimeValue::operator<(const DateTimeValue& other) const {
    return ToLinear(m_dt) < ToLinear(other.m_dt);
}

bool DateTimeValue::operator==(const DateTimeValue& other) const {
    return m_status == other.m_status && m_dt == other.m_dt;
}
