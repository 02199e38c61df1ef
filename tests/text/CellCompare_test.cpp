#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "text/CellCompare.h"
#include "text/DateText.h"
#include "text/Gb18030Order.h"
#include "text/NumericText.h"

namespace {

struct Pair {
    std::string a, b;
    int expected;  // CompareCellTexts(a, b)
};

std::ostream& operator<<(std::ostream& os, const Pair& p) {
    return os << '"' << p.a << "\" vs \"" << p.b << '"';
}

class CellOrder : public ::testing::TestWithParam<Pair> {};

TEST_P(CellOrder, ComparesBothWays) {
    const Pair& p = GetParam();
    EXPECT_EQ(CompareCellTexts(p.a, p.b), p.expected);
    EXPECT_EQ(CompareCellTexts(p.b, p.a), -p.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, CellOrder,
    ::testing::Values(Pair{"9", "10", -1}, Pair{"10", "100", -1}, Pair{"-5", "3", -1},
                      Pair{"9", "12.5", -1}, Pair{"12.5", "12.50", 0}, Pair{"+7", "7", 0},
                      Pair{"1.5", "-2", 1},
                      // a lone minus is a text, ordered by its byte among other texts
                      Pair{"-", "A", -1}, Pair{"-", "3", 1}, Pair{"1.2.3", "1.3", 1}));

INSTANTIATE_TEST_SUITE_P(EmptyAndSpaces, CellOrder,
                         ::testing::Values(Pair{"", "0", -1}, Pair{"", "a", -1},
                                           Pair{"", "张三", -1}, Pair{"   ", "", 0},
                                           Pair{" 5 ", "5", 0}, Pair{"\t张三  ", "张三", 0},
                                           Pair{" 2026-12-06", "2026-12-06 ", 0}));

INSTANTIATE_TEST_SUITE_P(
    Texts, CellOrder,
    ::testing::Values(Pair{"Zeta", "alpha", -1}, Pair{"zeta", "张三", -1}, Pair{"abc", "abcd", -1},
                      Pair{"Abc", "abc", -1},
                      // GB2312 puts common surnames in pinyin order, unlike Unicode
                      Pair{"陈", "李", -1}, Pair{"李", "王", -1}, Pair{"王", "张", -1},
                      Pair{"张三", "张四", -1}, Pair{"黄", "刘", -1}, Pair{"€", "张", -1},
                      Pair{"😀", "张", -1}, Pair{"a😀", "a", 1}));

INSTANTIATE_TEST_SUITE_P(Dates, CellOrder,
                         ::testing::Values(Pair{"2026-12-06", "2026/12/7", -1},
                                           Pair{"2026/2/10", "2026-12-01", -1},
                                           Pair{"2026-12-06 9时", "2026-12-06 14时", -1},
                                           Pair{"2026-12-06 14:05", "2026-12-06 14:05:09", -1},
                                           Pair{"2026年12月6日", "2026-12-06", 0},
                                           Pair{"2026-12-06 14时", "2026-12-06 14:00", 0},
                                           Pair{"2025年12月31日", "2026-1-1", -1}));

TEST(CellOrder, MixedKindsGiveAStrictWeakOrder) {
    // Numbers, dates and words in one column must still sort consistently.
    const std::vector<std::string> texts = {"10",   "abc", "9",    "2026-12-06", "",   "5a", "-",
                                            "张三", "+",   "12.5", "2026/1/2",   " 9", "Abc"};
    for (const auto& a : texts) {
        EXPECT_EQ(CompareCellTexts(a, a), 0) << a;
        for (const auto& b : texts) {
            EXPECT_EQ(CompareCellTexts(a, b), -CompareCellTexts(b, a)) << a << " / " << b;
            for (const auto& c : texts) {
                if (CompareCellTexts(a, b) < 0 && CompareCellTexts(b, c) < 0) {
                    EXPECT_LT(CompareCellTexts(a, c), 0) << a << " < " << b << " < " << c;
                }
                if (CompareCellTexts(a, b) == 0 && CompareCellTexts(b, c) == 0) {
                    EXPECT_EQ(CompareCellTexts(a, c), 0) << a << " = " << b << " = " << c;
                }
            }
        }
    }
    std::vector<std::string> sorted = texts;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return CompareCellTexts(a, b) < 0; });
    EXPECT_EQ(sorted, (std::vector<std::string>{"", "+", "9", " 9", "10", "12.5", "2026/1/2",
                                                "2026-12-06", "-", "5a", "Abc", "abc", "张三"}));
}

TEST(NumericText, AcceptsDigitsSignsAndOnePoint) {
    for (const char* text : {"0", "42", "-5", "+7", "1+2", "12.5", ".5", "-0.25", "+"})
        EXPECT_TRUE(IsNumericText(text)) << text;
    for (const char* text : {"", "-", ".", "5-", "--5", "1.2.3", "1e3", "1,000", " 5", "１"})
        EXPECT_FALSE(IsNumericText(text)) << text;
}

TEST(NumericText, ConvertsLikeTheRuntime) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"12.5", 12.5},
        {"-5", -5},
        {"+7", 7},
        {"1+2", 1},
        {"++5", 0},
        {"", 0},
        {"+", 0},
        {"1e3", 1000},
        {" 42abc", 42},
        {"-.5", -0.5},
        {"abc", 0},
        {"007", 7},
        {"9999999999999999999999999999", 1e28}};
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(TextToNumber(text), value) << text;
    EXPECT_EQ(TextToNumber(std::string(400, '9')), HUGE_VAL);
    // Out of range either way: a tiny number is 0 (or subnormal), a huge one HUGE_VAL.
    EXPECT_EQ(TextToNumber("1e-400"), 0);
    EXPECT_EQ(TextToNumber("-1e-400"), 0);
    EXPECT_EQ(TextToNumber("0.0000001e400"), HUGE_VAL);
    EXPECT_EQ(TextToNumber("-1e400"), -HUGE_VAL);
    EXPECT_GT(TextToNumber("1e-310"), 0);
    // Only decimal digits make a number, not the names of infinity or NaN.
    for (const char* text : {"nan", "NAN(1)", "inf", "-Infinity", "+inf"})
        EXPECT_EQ(TextToNumber(text), 0) << text;
}

TEST(DateText, ReadsTheFormsUsersTypeAndSee) {
    const auto day = [](const char* text) { return ParseDateTimeText(text).value_or(-1); };
    EXPECT_EQ(day("1899-12-30"), 0);
    EXPECT_EQ(day("1900-01-01"), 2 * 86400);
    const std::int64_t base = day("2026-12-06");
    ASSERT_GT(base, 0);
    EXPECT_EQ(day("2026/12/6"), base);
    EXPECT_EQ(day("2026年12月6日"), base);
    EXPECT_EQ(day("2026-12-06 14:05"), base + 14 * 3600 + 5 * 60);
    EXPECT_EQ(day("2026-12-06 14:05:09"), base + 14 * 3600 + 5 * 60 + 9);
    EXPECT_EQ(day("2026-12-06 14时"), base + 14 * 3600);
    EXPECT_EQ(day("2026年12月6日 14时05分09秒"), base + 14 * 3600 + 5 * 60 + 9);
    EXPECT_EQ(day("2026-12-07") - base, 86400);
    EXPECT_EQ(day("2024-02-29") - day("2024-02-28"), 86400);
    EXPECT_EQ(day("2024-03-01") - day("2024-02-29"), 86400);
}

TEST(DateText, RejectsWhatIsNoDate) {
    for (const char* text :
         {"", "2026", "2026-12", "20261206", "2026-12-06x", "2026-12/06", "2026-13-01",
          "2026-00-10", "2026-02-29", "2026-04-31", "2026-12-06 24:00", "2026-12-06 14:5",
          "2026-12-06 14:60", "2026-12-06 14", "2026年12月6", "26-12-06", "2026-012-06",
          "2026-12-06  14:05:09:01", "张三"})
        EXPECT_FALSE(ParseDateTimeText(text).has_value()) << text;
}

TEST(Gb18030Order, MatchesByteOrderOfTheEncoding) {
    // The surnames in code page 936 order (pinyin), which differs from their Unicode order.
    std::vector<std::string> names = {"周", "张", "王", "李", "陈", "赵", "吴", "杨", "黄", "刘"};
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return CompareGb18030(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"陈", "黄", "李", "刘", "王", "吴", "杨", "张", "赵",
                                               "周"}));
    EXPECT_EQ(CompareGb18030("", ""), 0);
    EXPECT_EQ(CompareGb18030("B", "a"), -1);
    EXPECT_EQ(CompareGb18030("~", "陈"), -1);
    EXPECT_EQ(CompareGb18030("张三丰", "张三"), 1);
    // Malformed UTF-8 still gives an answer.
    EXPECT_EQ(CompareGb18030("\xff", "\xff"), 0);
    EXPECT_NE(CompareGb18030("a\xe5", "a"), 0);
}

TEST(Gb18030Order, ALoneSurrogateLeavesNoStateBehind) {
    // Bytes of a UTF-16 surrogate, as another tool may have written them.
    EXPECT_EQ(CompareGb18030("\xed\xa0\x80", "\xed\xa0\x80"), 0);
    EXPECT_EQ(CompareGb18030("\xed\xa0\x80", "A"), 1);
    EXPECT_EQ(CompareGb18030("丁", "A"), 1);
    EXPECT_EQ(CompareGb18030("A", "丁"), -1);
    // Characters beyond U+FFFF keep their place (four-byte codes from 0x90), call after call.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CompareGb18030("😀", "😁"), -1);
        EXPECT_EQ(CompareGb18030("😀", "张"), -1);
        EXPECT_EQ(CompareGb18030("😀", "A"), 1);
        EXPECT_EQ(CompareGb18030("\xf0\x9f\x98", "😀"), 1);  // truncated: malformed
    }
}

TEST(Gb18030Order, MalformedBytesSortAfterEveryCharacterByTheirValue) {
    EXPECT_EQ(CompareGb18030("\x80", "😀"), 1);
    EXPECT_EQ(CompareGb18030("\x80", "\xff"), -1);
    EXPECT_EQ(CompareGb18030("\xc0\x80", "\xc0\x80"), 0);   // overlong
    EXPECT_EQ(CompareGb18030("\xef\xbf\xbd", "\xff"), -1);  // a real U+FFFD is a character
    EXPECT_EQ(CompareGb18030("\xf4\x90\x80\x80", "\xf4\x8f\xbf\xbf"), 1);  // past U+10FFFF
}

// Texts built from pieces a report cell may hold: words, numbers, dates, Chinese, emoji,
// white space and malformed UTF-8.
std::vector<std::string> RandomCells(std::size_t count, unsigned seed) {
    static const char* const pieces[] = {"",
                                         "a",
                                         "A",
                                         "z",
                                         "0",
                                         "1",
                                         "9",
                                         "12.5",
                                         "-",
                                         "+",
                                         ".",
                                         " ",
                                         "\t",
                                         "2026-12-06",
                                         "2026/1/2",
                                         " 14:05",
                                         "年",
                                         "丁",
                                         "张",
                                         "陈",
                                         "€",
                                         "😀",
                                         "😁",
                                         "𠀀",
                                         "\xed\xa0\x80",
                                         "\xed\xbf\xbf",
                                         "\xff",
                                         "\x80",
                                         "\xc0\x80",
                                         "\xe4\xb8",
                                         "\xf0\x9f\x98",
                                         "\xf4\x90\x80\x80"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 4);
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < count; ++i) {
        std::string cell;
        for (int n = length(random); n > 0; --n)
            cell += pieces[pick(random)];
        cells.push_back(cell);
    }
    return cells;
}

template <class Compare>
void ExpectStrictWeakOrder(Compare compare, const std::vector<std::string>& cells, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, cells.size() - 1);
    int failures = 0;
    for (int n = 0; n < 100000 && failures < 10; ++n) {
        const std::string& a = cells[pick(random)];
        const std::string& b = cells[pick(random)];
        const std::string& c = cells[pick(random)];
        const int ab = compare(a, b), bc = compare(b, c), ac = compare(a, c);
        const bool ok = compare(a, a) == 0 && compare(b, a) == -ab && compare(a, b) == ab &&
                        (ab != -1 || bc != -1 || ac == -1) && (ab != 0 || bc != 0 || ac == 0) &&
                        (ab != 0 || ac == bc);
        if (!ok) {
            ++failures;
            ADD_FAILURE() << testing::PrintToString(a) << " " << testing::PrintToString(b) << " "
                          << testing::PrintToString(c);
        }
    }
}

TEST(Gb18030Order, IsAStrictWeakOrderOverRandomTexts) {
    ExpectStrictWeakOrder(CompareGb18030, RandomCells(400, 1), 2);
}

TEST(CellOrder, IsAStrictWeakOrderOverRandomCells) {
    const std::vector<std::string> cells = RandomCells(400, 3);
    ExpectStrictWeakOrder(CompareCellTexts, cells, 4);
    std::vector<std::string> sorted = cells;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return CompareCellTexts(a, b) < 0; });
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return CompareCellTexts(a, b) < 0;
    }));
}

}  // namespace
