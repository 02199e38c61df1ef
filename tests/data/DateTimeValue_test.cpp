#include "data/DateTimeValue.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/ado/OleDate.h"

struct KnownDay {
    double days;
    int year, month, day, hour, minute, second;
};

class DateTimeDays : public testing::TestWithParam<KnownDay> {};

TEST_P(DateTimeDays, FieldsAndDayNumberAgree) {
    const KnownDay& k = GetParam();
    const DateTimeValue fromDays(k.days);
    EXPECT_EQ(fromDays.GetYear(), k.year);
    EXPECT_EQ(fromDays.GetMonth(), k.month);
    EXPECT_EQ(fromDays.GetDay(), k.day);
    EXPECT_EQ(fromDays.GetHour(), k.hour);
    EXPECT_EQ(fromDays.GetMinute(), k.minute);
    EXPECT_EQ(fromDays.GetSecond(), k.second);
    const DateTimeValue fromFields(k.year, k.month, k.day, k.hour, k.minute, k.second);
    EXPECT_EQ(fromFields.GetStatus(), DateTimeValue::valid);
    EXPECT_NEAR(fromFields.GetDays(), k.days, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Known, DateTimeDays,
    testing::Values(KnownDay{0, 1899, 12, 30, 0, 0, 0}, KnownDay{2.5, 1900, 1, 1, 12, 0, 0},
                    // Before the epoch the fraction still counts forward from midnight.
                    KnownDay{-1.25, 1899, 12, 29, 6, 0, 0}, KnownDay{-657434, 100, 1, 1, 0, 0, 0},
                    KnownDay{2958465 + 86399.0 / 86400, 9999, 12, 31, 23, 59, 59},
                    KnownDay{40242 + (14 * 3600 + 7 * 60 + 9) / 86400.0, 2010, 3, 5, 14, 7, 9},
                    KnownDay{60, 1900, 2, 28, 0, 0, 0}, KnownDay{61, 1900, 3, 1, 0, 0, 0}));

TEST(DateTimeValue, OnePastEitherEndIsInvalid) {
    EXPECT_EQ(DateTimeValue(-657435).Format("%Y"), "Invalid DateTime");
    EXPECT_EQ(DateTimeValue(2958466).Format("%Y"), "Invalid DateTime");
    EXPECT_EQ(DateTimeValue(99, 12, 31).GetStatus(), DateTimeValue::invalid);
    EXPECT_EQ(DateTimeValue(10000, 1, 1).GetStatus(), DateTimeValue::invalid);
    EXPECT_EQ(DateTimeValue(2010, 2, 29).GetStatus(), DateTimeValue::invalid);
    EXPECT_EQ(DateTimeValue(2010, 1, 1, 24).GetStatus(), DateTimeValue::invalid);
}

TEST(DateTimeValue, FormatFollowsStatusAndStrftime) {
    EXPECT_EQ(DateTimeValue::Null().Format("%Y"), "");
    EXPECT_EQ(DateTimeValue(40242, DateTimeValue::invalid).Format("%Y"), "Invalid DateTime");
    const DateTimeValue t(2010, 3, 5, 14, 7, 9);
    EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2010-03-05 14:07:09");
    EXPECT_EQ(t.Format("%Y-%m-%d %H时"), "2010-03-05 14时");
    // Weekday (Sunday 0) and day of the year come from the calendar conversion.
    EXPECT_EQ(t.Format("%w %j %a"), "5 064 Fri");
    EXPECT_EQ(t.GetDayOfWeek(), 5);
    // The text is limited to 255 characters; a longer one gives nothing.
    EXPECT_EQ(t.Format(std::string(255, 'x')).size(), 255u);
    EXPECT_EQ(t.Format(std::string(256, 'x')), "");
}

TEST(DateTimeValue, MillisecondsSurviveTheRoundTripWhileFieldsRoundToTheSecond) {
    const DateTimeValue t(1850, 6, 7, 8, 9, 10, 999);
    EXPECT_EQ(DateTimeValue(t.GetDays()).GetMillisecond(), 999);
    EXPECT_EQ(DateTimeValue(t.GetDays()).GetSecond(), 11);
    EXPECT_EQ(DateTimeValue(1850, 6, 7, 8, 9, 10, 499).GetSecond(), 10);
}

TEST(DateTimeValue, FieldsRoundToTheNearestSecondAndTheStoredTextKeepsMilliseconds) {
    const DateTimeValue t(29221.9888884444);  // 1980-01-01 23:43:59.962
    EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "1980-01-01 23:44:00");
    EXPECT_EQ(t.GetMinute(), 44);
    EXPECT_EQ(t.GetSecond(), 0);
    EXPECT_EQ(OleDateToIsoText(t.GetDays()), "1980-01-01 23:43:59.962");
    // Half a second before midnight rounds into the next day, also before the epoch.
    EXPECT_EQ(DateTimeValue(1.999999).Format("%Y-%m-%d %H:%M:%S"), "1900-01-01 00:00:00");
    EXPECT_EQ(DateTimeValue(-1.999999).Format("%Y-%m-%d %H:%M:%S"), "1899-12-30 00:00:00");
    // The last moment of the range stays on the last day.
    const DateTimeValue last(9999, 12, 31, 23, 59, 59, 999);
    EXPECT_EQ(last.Format("%Y-%m-%d %H:%M:%S"), "9999-12-31 23:59:59");
    EXPECT_EQ(OleDateToIsoText(last.GetDays()), "9999-12-31 23:59:59.999");
    EXPECT_EQ(DateTimeValue(kOleDateMax).GetYear(), 9999);
    EXPECT_EQ(OleDateToIsoText(kOleDateMax), "9999-12-31 23:59:59.999");
}

TEST(DateTimeValue, TheFirstDayIsInRangeAtEveryTimeBothWays) {
    const DateTimeValue noon(100, 1, 1, 12, 30);
    ASSERT_EQ(noon.GetStatus(), DateTimeValue::valid);
    EXPECT_EQ(noon.Format("%Y-%m-%d %H:%M:%S"), "100-01-01 12:30:00");  // strftime does not pad %Y
    EXPECT_EQ(noon.GetHour(), 12);
    EXPECT_EQ(OleDateToIsoText(noon.GetDays()), "0100-01-01 12:30:00");
    double back = 0;
    ASSERT_TRUE(OleDateFromIsoText("0100-01-01 23:59:59.999", back));
    EXPECT_EQ(OleDateToIsoText(back), "0100-01-01 23:59:59.999");
    EXPECT_EQ(DateTimeValue(back).GetDay(), 2);  // rounded to the second: the next midnight
    EXPECT_EQ(DateTimeValue(kOleDateMin - 1).Format("%Y"), "Invalid DateTime");
}

TEST(DateTimeValue, AddDaysCrossesTheEpochKeepingTheTime) {
    EXPECT_DOUBLE_EQ(DateTimeValue(-1.25).AddDays(1).GetDays(), 0.25);
    EXPECT_DOUBLE_EQ(DateTimeValue(-1.25).AddDays(2).GetDays(), 1.25);
    EXPECT_DOUBLE_EQ(DateTimeValue(1.25).AddDays(-3).GetDays(), -2.25);
    EXPECT_EQ(DateTimeValue(9999, 12, 31).AddDays(1).GetStatus(), DateTimeValue::invalid);
    EXPECT_TRUE(DateTimeValue(-1.0) < DateTimeValue(-1.25));  // midnight, then 06:00 that day
    EXPECT_TRUE(DateTimeValue(-1.25) < DateTimeValue(0));
}

TEST(DateTimeValue, CurrentTimeIsValid) {
    const DateTimeValue now = DateTimeValue::GetCurrentTime();
    EXPECT_EQ(now.GetStatus(), DateTimeValue::valid);
    EXPECT_GE(now.GetYear(), 2024);
}
