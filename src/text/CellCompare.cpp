#include "text/CellCompare.h"

#include <cstdint>
#include <optional>

#include "text/DateText.h"
#include "text/Gb18030Order.h"
#include "text/NumericText.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view spaces = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(spaces);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

enum class Kind { Empty, Number, Date, Text };

struct CCell {
    Kind kind;
    double dValue = 0;
    std::int64_t nSeconds = 0;
};

CCell Classify(std::string_view text) {
    if (text.empty())
        return {Kind::Empty};
    if (IsNumericText(text))
        return {Kind::Number, TextToNumber(text)};
    if (text.front() >= '0' && text.front() <= '9') {
        if (const auto seconds = ParseDateTimeText(text))
            return {Kind::Date, 0, *seconds};
    }
    return {Kind::Text};
}

template <class T>
int Sign(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int CompareCellTexts(std::string_view a, std::string_view b) {
    a = Trimmed(a);
    b = Trimmed(b);
    const CCell ca = Classify(a);
    const CCell cb = Classify(b);
    if (ca.kind != cb.kind)
        return Sign(ca.kind, cb.kind);
    switch (ca.kind) {
        case Kind::Empty:
            return 0;
        case Kind::Number:
            return Sign(ca.dValue, cb.dValue);
        case Kind::Date:
            return Sign(ca.nSeconds, cb.nSeconds);
        case Kind::Text:
            break;
    }
    return CompareGb18030(a, b);
}
