#include "data/FieldConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

struct Conversion {
    const char* name;
    CVariant value;
    const char* text;  // nullptr: no text form
    double number;
};

class FieldConversion : public testing::TestWithParam<Conversion> {
protected:
    void SetUp() override { setenv("LC_ALL", "C.UTF-8", 1); }
};

TEST_P(FieldConversion, TextAndNumber) {
    const Conversion& c = GetParam();
    std::string text = "unchanged";
    EXPECT_EQ(VariantToText(c.value, "", text), c.text != nullptr);
    EXPECT_EQ(text, c.text != nullptr ? c.text : "unchanged");
    EXPECT_DOUBLE_EQ(VariantToDouble(c.value), c.number);
}

DecimalParts Decimal(std::uint64_t mantissa, int scale, bool negative, std::uint32_t hi = 0) {
    DecimalParts d{};
    d.lo64 = mantissa;
    d.hi32 = hi;
    d.scale = static_cast<std::uint8_t>(scale);
    d.sign = negative ? 0x80 : 0;
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldConversion,
    testing::Values(
        Conversion{"empty", CVariant(), "", 0}, Conversion{"null", CVariant::Null(), "", 0},
        Conversion{"i2_negative", CVariant::FromI2(-5), "-5", -5},
        Conversion{"i4", CVariant::FromI4(70000), "70000", 70000},
        Conversion{"int", CVariant::FromInt(-7), "-7", -7},
        // Unsigned 8-bit: its value, 0..255.
        Conversion{"ui1", CVariant::FromUI1(200), "200", 200},
        Conversion{"ui4", CVariant::FromUI4(4000000000u), "4000000000", 4e9},
        Conversion{"r4", CVariant::FromR4(0.1f), "0.1000000015", static_cast<double>(0.1f)},
        Conversion{"r8_whole", CVariant::FromR8(1234), "1234.", 1234},
        Conversion{"r8_zero", CVariant::FromR8(0), "0.", 0},
        Conversion{"r8_fraction", CVariant::FromR8(-2.5), "-2.5", -2.5},
        Conversion{"r8_tenth", CVariant::FromR8(0.1), "0.10000000000000001", 0.1},
        Conversion{"r8_small", CVariant::FromR8(0.0625), "6.25e-002", 0.0625},
        Conversion{"r8_large", CVariant::FromR8(1e20), "1.e+020", 1e20},
        // As many digits as the integer part has: no point.
        Conversion{"r8_wide", CVariant::FromR8(12345678901234567890.0), "12345678901234567000",
                   12345678901234567890.0},
        Conversion{"currency", CVariant::FromCurrency(123456), "12.345600", 12.3456},
        Conversion{"decimal", CVariant::FromDecimal(Decimal(12345, 2, false)), "123.45", 123.45},
        Conversion{"decimal_negative", CVariant::FromDecimal(Decimal(12345, 2, true)), "-123.45",
                   -123.45},
        // All 96 bits of the mantissa count.
        Conversion{"decimal_wide", CVariant::FromDecimal(Decimal(4294967297u, 0, false)),
                   "4294967297.", 4294967297.0},
        Conversion{"date", CVariant::FromDate(40242 + (14 * 3600 + 7 * 60 + 9) / 86400.0),
                   "2010-03-05 14:07:09", 0},
        Conversion{"date_refused", CVariant::FromDate(2958466), "Invalid DateTime", 0},
        Conversion{"text", CVariant::FromText("12.5"), "12.5", 0},
        Conversion{"bool_true", CVariant::FromBool(true), "T", 0},
        Conversion{"bool_false", CVariant::FromBool(false), "F", 0},
        Conversion{"binary", CVariant::FromBinary("\x01\x02"), nullptr, 0}),
    [](const testing::TestParamInfo<Conversion>& param) { return param.param.name; });

TEST(GcvtText, ShowsThePointOnlyWhenDigitsAreLeftForAFraction) {
    EXPECT_EQ(GcvtText(-1232, 8), "-1232.");
    EXPECT_EQ(GcvtText(1234567, 7), "1234567");
    EXPECT_EQ(GcvtText(1234567, 8), "1234567.");
    EXPECT_EQ(GcvtText(1234567.5, 7), "1234568");
    EXPECT_EQ(GcvtText(12345678, 7), "1.234568e+007");
    EXPECT_EQ(GcvtText(0, 1), "0");
    EXPECT_EQ(GcvtText(5, 1), "5");
    EXPECT_EQ(GcvtText(0.5, 1), "0.5");
}

TEST(FieldConversionDate, PatternAppliesToDates) {
    std::string text;
    ASSERT_TRUE(VariantToText(CVariant::FromDate(40242.5), "%Y-%m-%d %H时", text));
    EXPECT_EQ(text, "2010-03-05 12时");
}

TEST(FieldConversionDate, OnlyDatesAndNullsBecomeDateTimeValues) {
    DateTimeValue d(123.0);
    EXPECT_TRUE(VariantToDateTime(CVariant::Null(), d));
    EXPECT_EQ(d.GetStatus(), DateTimeValue::null);
    EXPECT_EQ(d.GetDays(), 123.0);  // the day number is left as it was
    EXPECT_EQ(d.Format("%Y"), "");
    EXPECT_TRUE(VariantToDateTime(CVariant::FromDate(-1.25), d));
    EXPECT_EQ(d.GetStatus(), DateTimeValue::valid);
    EXPECT_EQ(d.GetDays(), -1.25);
    for (const CVariant& other :
         {CVariant::FromText("2010-03-05"), CVariant::FromR8(5), CVariant::FromBool(true)}) {
        DateTimeValue untouched(7.0);
        EXPECT_FALSE(VariantToDateTime(other, untouched));
        EXPECT_EQ(untouched.GetDays(), 7.0);
        EXPECT_EQ(untouched.GetStatus(), DateTimeValue::valid);
    }
}
