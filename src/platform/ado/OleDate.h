#pragma once

#include <string>
#include <string_view>

// Calendar fields of an automation date (days since 1899-12-30 00:00, the
// fraction being the time of day counted from midnight toward later times).
struct OleDateFields {
    int nYear = 0;
    int nMonth = 0;  // 1..12
    int nDay = 0;    // 1..31
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    int nMillisecond = 0;
    int nDayOfWeek = 0;  // 0 = Sunday
    int nDayOfYear = 0;  // 1..366
};

// The range the platform's conversion accepts: 100-01-01 .. 9999-12-31 23:59:59.999, the
// same both ways. kOleDateMin is the first day's midnight; any time of that day lies in
// (kOleDateMin - 1, kOleDateMin] as the fraction counts forward from midnight before the epoch.
constexpr double kOleDateMin = -657434.0;
constexpr double kOleDateLastDay = 2958465.0;
constexpr double kOleDateMax = 2958465.99999999;

// How finely the time of day is read: calendar fields as the platform's date conversion gives
// them are rounded to the nearest second; the stored text keeps milliseconds.
enum class OleDateRounding { Millisecond, Second };

// False for a value outside the accepted range (or not a number). A time that rounds up past
// 9999-12-31 23:59:59 stays on that last day.
bool OleDateToFields(double date, OleDateFields& fields,
                     OleDateRounding rounding = OleDateRounding::Millisecond);
// False for fields that name no real date and time in the accepted range.
bool OleDateFromFields(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, double& date);

// ISO text as stored in the file: "YYYY-MM-DD HH:MM:SS", plus ".mmm" when the
// milliseconds are not 0. Empty for a value outside the range.
std::string OleDateToIsoText(double date);
// Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM", "YYYY-MM-DD HH:MM:SS[.fff]" (also with 'T').
bool OleDateFromIsoText(std::string_view text, double& date);
