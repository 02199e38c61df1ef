#include "text/DateText.h"

namespace {

class CCursor {
public:
    explicit CCursor(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_nPos == m_text.size(); }

    // Reads 1 to maxDigits decimal digits.
    std::optional<int> Number(int minDigits, int maxDigits) {
        int value = 0;
        int digits = 0;
        while (m_nPos < m_text.size() && digits < maxDigits && m_text[m_nPos] >= '0' &&
               m_text[m_nPos] <= '9') {
            value = value * 10 + (m_text[m_nPos] - '0');
            ++m_nPos;
            ++digits;
        }
        if (digits < minDigits)
            return std::nullopt;
        // A longer run of digits is no field of a date.
        if (m_nPos < m_text.size() && m_text[m_nPos] >= '0' && m_text[m_nPos] <= '9')
            return std::nullopt;
        return value;
    }

    bool Take(std::string_view token) {
        if (m_text.substr(m_nPos, token.size()) != token)
            return false;
        m_nPos += token.size();
        return true;
    }

    bool SkipSpaces() {
        const std::size_t start = m_nPos;
        while (m_nPos < m_text.size() && m_text[m_nPos] == ' ')
            ++m_nPos;
        return m_nPos > start;
    }

private:
    std::string_view m_text;
    std::size_t m_nPos = 0;
};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CTimeOfDay {
    int nHour = 0, nMinute = 0, nSecond = 0;
};

// "14:05", "14:05:09", "14时", "14时05分", "14时05分09秒".
std::optional<CTimeOfDay> ReadTime(CCursor& in) {
    CTimeOfDay t;
    const auto hour = in.Number(1, 2);
    if (!hour)
        return std::nullopt;
    t.nHour = *hour;
    if (in.Take(":")) {
        const auto minute = in.Number(2, 2);
        if (!minute)
            return std::nullopt;
        t.nMinute = *minute;
        if (in.Take(":")) {
            const auto second = in.Number(2, 2);
            if (!second)
                return std::nullopt;
            t.nSecond = *second;
        }
    } else if (in.Take("时")) {
        if (auto minute = in.Number(1, 2)) {
            if (!in.Take("分"))
                return std::nullopt;
            t.nMinute = *minute;
            if (auto second = in.Number(1, 2)) {
                if (!in.Take("秒"))
                    return std::nullopt;
                t.nSecond = *second;
            }
        }
    } else {
        return std::nullopt;
    }
    if (t.nHour > 23 || t.nMinute > 59 || t.nSecond > 59)
        return std::nullopt;
    return t;
}

}  // namespace

std::optional<std::int64_t> ParseDateTimeText(std::string_view text) {
    CCursor in(text);
    const auto year = in.Number(4, 4);
    if (!year)
        return std::nullopt;
    std::optional<int> month, day;
    if (in.Take("年")) {
        month = in.Number(1, 2);
        if (!month || !in.Take("月"))
            return std::nullopt;
        day = in.Number(1, 2);
        if (!day || !in.Take("日"))
            return std::nullopt;
    } else {
        const std::string_view separator = in.Take("-") ? "-" : in.Take("/") ? "/" : "";
        if (separator.empty())
            return std::nullopt;
        month = in.Number(1, 2);
        if (!month || !in.Take(separator))
            return std::nullopt;
        day = in.Number(1, 2);
        if (!day)
            return std::nullopt;
    }
    if (*year < 100 || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month))
        return std::nullopt;

    CTimeOfDay time;
    const bool bSpace = in.SkipSpaces();
    if (!in.AtEnd()) {
        if (!bSpace)
            return std::nullopt;
        const auto read = ReadTime(in);
        if (!read || !in.AtEnd())
            return std::nullopt;
        time = *read;
    }
    const std::int64_t days = DaysFromCivil(*year, *month, *day) - DaysFromCivil(1899, 12, 30);
    return days * 86400 + time.nHour * 3600 + time.nMinute * 60 + time.nSecond;
}
