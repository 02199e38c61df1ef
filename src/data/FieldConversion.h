#pragma once

#include <cstdint>
#include <string>

#include "data/DateTimeValue.h"
#include "platform/ado/Variant.h"

// The conversions of field values to the book's own types.

// Text as the runtime's _gcvt makes it: `digits` significant digits (at most 17
// carry information, the rest are zeros), trailing zeros removed but the
// decimal point kept when fewer digits than `digits` stand before it ("1234."
// with 20, "1234567" with 7), exponent form "1.5e+025" outside
// 0.01 <= |x| < 10^digits.
std::string GcvtText(double value, int digits);

// "%f" text of the amount rewritten in the user's currency format; the "%f"
// text when the locale has no currency format.
std::string CurrencyText(std::int64_t tenThousandths);

// Text of any field value; false (and `text` untouched) for a kind without a
// text form. `datePattern` "" means "%Y-%m-%d %H:%M:%S".
bool VariantToText(const CVariant& value, const std::string& datePattern, std::string& text);
// Number of a field value; 0 for kinds that are not numbers.
double VariantToDouble(const CVariant& value);
// False (and `date` untouched) for kinds other than date, NULL and empty.
bool VariantToDateTime(const CVariant& value, DateTimeValue& date);
