#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "data/Fen.h"

namespace {

TEST(Fen, ParsesExactDecimalTextAndRefusesWhatIsNoAmount) {
    using F = Fen::Fault;
    const struct {
        const char* text;
        std::int64_t fen;
        F fault;
    } cases[] = {
        {"125", 12500, F::None},
        {"12.5", 1250, F::None},
        {"12.50", 1250, F::None},
        {"0.07", 7, F::None},
        {"-0.07", -7, F::None},
        {"+3", 300, F::None},
        {".5", 50, F::None},
        {"12.", 1200, F::None},
        {"0", 0, F::None},
        {"007.10", 710, F::None},
        {"12.3400", 1234, F::None},
        {"9999999999999.99", Fen::kMaxParsed, F::None},
        {"-9999999999999.99", -Fen::kMaxParsed, F::None},
        {"00000000000000001", 100, F::None},
        {"12.345", 0, F::FinerThanFen},
        {"0.001", 0, F::FinerThanFen},
        {"10000000000000", 0, F::TooLarge},
        {"", 0, F::NotANumber},
        {".", 0, F::NotANumber},
        {"-", 0, F::NotANumber},
        {"1e3", 0, F::NotANumber},
        {"1.2.3", 0, F::NotANumber},
        {" 1", 0, F::NotANumber},
        {"1,234.50", 0, F::NotANumber},
        {"--1", 0, F::NotANumber},
        {"inf", 0, F::NotANumber},
        {"五元", 0, F::NotANumber},
        {"0x10", 0, F::NotANumber},
    };
    for (const auto& c : cases) {
        Fen::Fault fault = F::NotANumber;
        const std::optional<Fen> fen = Fen::Parse(c.text, &fault);
        EXPECT_EQ(fault, c.fault) << c.text;
        EXPECT_EQ(fen.has_value(), c.fault == F::None) << c.text;
        EXPECT_EQ(fen.value_or(Fen()), Fen(c.fen)) << c.text;
    }
}

// The stored double is the one the C library reads from the typed text, and reads back as
// the same fen, so storing through fen changes no amount in the book.
TEST(Fen, StoresTheDoubleOfItsDecimalTextAndReadsItBack) {
    for (const char* text : {"125", "12.5", "0.1", "0.07", "19.99", "-3.3", "1234567.89",
                             "9999999999999.99", "7654321098765.43", "0.3"}) {
        const Fen fen = *Fen::Parse(text);
        EXPECT_EQ(fen.Yuan(), std::strtod(text, nullptr)) << text;
        EXPECT_EQ(Fen::FromYuan(fen.Yuan()), fen) << text;
    }
    EXPECT_EQ(Fen::FromYuan(12.999), Fen(1300));
    EXPECT_EQ(Fen::FromYuan(-0.125), Fen(-13));  // halves away from zero, as SQL round does
    EXPECT_EQ(Fen::FromYuan(1e15), std::nullopt);
    EXPECT_EQ(Fen::FromYuan(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(Fen, WritesEachStyle) {
    const struct {
        std::int64_t fen;
        const char *edit, *list, *plain, *grouped;
    } cases[] = {
        {0, "0", "0.0", "0.00", "0.00"},
        {5, "0.05", "0.05", "0.05", "0.05"},
        {-5, "-0.05", "-0.05", "-0.05", "-0.05"},
        {12500, "125", "125.0", "125.00", "125.00"},
        {1250, "12.5", "12.5", "12.50", "12.50"},
        {99999, "999.99", "999.99", "999.99", "999.99"},
        {100000, "1000", "1000.0", "1000.00", "1,000.00"},
        {-123456789, "-1234567.89", "-1234567.89", "-1234567.89", "-1,234,567.89"},
        {10000000000, "100000000", "100000000.0", "100000000.00", "100,000,000.00"},
        {LLONG_MIN, "-92233720368547758.08", "-92233720368547758.08", "-92233720368547758.08",
         "-92,233,720,368,547,758.08"},
    };
    for (const auto& c : cases) {
        const Fen fen(c.fen);
        EXPECT_EQ(FenText(fen, FenStyle::Edit), c.edit);
        EXPECT_EQ(FenText(fen, FenStyle::List), c.list);
        EXPECT_EQ(FenText(fen, FenStyle::Plain), c.plain);
        EXPECT_EQ(FenText(fen, FenStyle::Grouped), c.grouped);
    }
}

TEST(Fen, StoredAmountsShowOneDecimalAndKeepTheirFen) {
    EXPECT_EQ(StoredAmountText(100), "100.0");
    EXPECT_EQ(StoredAmountText(12.3), "12.3");
    EXPECT_EQ(StoredAmountText(12.34), "12.34");
    EXPECT_EQ(StoredAmountText(0), "0.0");
    EXPECT_EQ(StoredAmountText(-5.5), "-5.5");
    EXPECT_EQ(StoredAmountText(-0.07), "-0.07");
    EXPECT_EQ(StoredAmountText(12.999), "13.0");    // rounded to fen
    EXPECT_EQ(StoredAmountText(0.1 + 0.2), "0.3");  // no binary noise
    EXPECT_EQ(StoredAmountText(1e15), "1000000000000000.0");
}

}  // namespace
