#pragma once

#include <string>

// A date and time as days since 1899-12-30 00:00 (the fraction is the time of
// day, counted forward from midnight also before that day), plus a status.
class DateTimeValue {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    DateTimeValue() = default;  // 1899-12-30 00:00, valid
    explicit DateTimeValue(double days, DateTimeStatus status = valid);
    // From calendar fields; status invalid when they name no date in 100..9999.
    DateTimeValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                  int millisecond = 0);

    static DateTimeValue GetCurrentTime();  // the local clock, to the second
    static DateTimeValue Null();

    double GetDays() const { return m_dt; }
    DateTimeStatus GetStatus() const { return m_status; }
    void SetDays(double days) { m_dt = days; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    // Calendar fields, the time rounded to the nearest second (23:43:59.96 is 23:44:00); -1
    // when the value is not valid or out of range. GetMillisecond gives the milliseconds the
    // stored text keeps instead.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetMillisecond() const;
    int GetDayOfWeek() const;  // 0 = Sunday .. 6 = Saturday
    int GetDayOfYear() const;  // 1 = 1 January

    // The same time of day `days` calendar days later (earlier when negative).
    DateTimeValue AddDays(long days) const;

    // strftime with `pattern`: "" for null, "Invalid DateTime" for invalid or
    // out-of-range values; at most 255 characters.
    std::string Format(const std::string& pattern) const;

    // Chronological order of valid values.
    bool operator<(const DateTimeValue& other) const;
    bool operator==(const DateTimeValue& other) const;

    double m_dt = 0;
    DateTimeStatus m_status = valid;
};
