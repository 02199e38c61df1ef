#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An amount of money in fen, the hundredth of a yuan: what amounts are read, compared and
// summed in. The book's amount columns keep yuan as a double; FromYuan and Yuan cross over.
class Fen {
public:
    constexpr Fen() = default;
    constexpr explicit Fen(std::int64_t count) : m_nCount(count) {}

    constexpr std::int64_t Count() const { return m_nCount; }

    // Why a text is not an amount.
    enum class Fault { None, NotANumber, FinerThanFen, TooLarge };

    // The most a text may give, either sign: 9,999,999,999,999.99 yuan. Up to it every amount
    // goes to its stored double and back to the same fen.
    static constexpr std::int64_t kMaxParsed = 999'999'999'999'999;

    // An amount as a person writes it: an optional sign, digits and at most one point, with
    // a digit on at least one side of it ("12", "-0.5", "+12.50", ".5", "12."). Read exactly
    // in decimal, never through a binary fraction; digits finer than fen must be zeros. No
    // spaces, exponents or group separators. `fault` (when given) says why nothing came back.
    static std::optional<Fen> Parse(std::string_view text, Fault* fault = nullptr);

    // A stored amount rounded to the nearest fen, halves away from zero (as the statistics'
    // statements round, see FenOfColumnSql); nothing when it is not finite or 1e15 yuan or more.
    static std::optional<Fen> FromYuan(double yuan);

    // The amount as an amount column stores it: the double nearest to its yuan, the same
    // double the C library reads from its decimal text.
    double Yuan() const;

    constexpr Fen operator-() const { return Fen(-m_nCount); }
    constexpr Fen& operator+=(Fen other) {
        m_nCount += other.m_nCount;
        return *this;
    }
    constexpr Fen& operator-=(Fen other) {
        m_nCount -= other.m_nCount;
        return *this;
    }
    friend constexpr Fen operator+(Fen a, Fen b) { return a += b; }
    friend constexpr Fen operator-(Fen a, Fen b) { return a -= b; }
    friend constexpr auto operator<=>(Fen, Fen) = default;

private:
    std::int64_t m_nCount = 0;
};

// How an amount is written: yuan, a point and fen.
enum class FenStyle {
    Edit,     // as few decimals as it needs, as the entry edit shows it: "0", "125", "12.5"
    List,     // at least one decimal, as the query list shows it: "100.0", "12.3", "12.34"
    Plain,    // two decimals, as spreadsheets read numbers: "-1234.50"
    Grouped,  // two decimals, commas between groups of three digits: "1,234,567.89"
};
std::string FenText(Fen amount, FenStyle style);

// A stored amount as the query list shows it; one beyond fen is written with one decimal.
std::string StoredAmountText(double yuan);

// An amount column's value in whole fen, in SQL, rounded as FromYuan rounds.
std::string FenOfColumnSql(const std::string& column);
