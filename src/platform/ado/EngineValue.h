#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ado/Variant.h"

// One value as the engine stores it: its storage class and the matching member.
struct EngineValue {
    enum class Type : std::uint8_t { Null, Integer, Real, Text, Blob };
    Type type = Type::Null;
    std::int64_t integer = 0;
    double real = 0;
    // Text and Blob; for a number read into a text field, the engine's text of it.
    // Points into storage the caller keeps alive (the statement's row or `owned`).
    std::string_view bytes;
    std::string owned;

    std::string_view Bytes() const { return owned.empty() ? bytes : std::string_view(owned); }

    static EngineValue Null() { return {}; }
    static EngineValue Integer(std::int64_t v);
    static EngineValue Real(double v);
    static EngineValue Text(std::string_view v, EngineValue::Type type = Type::Text);
};

// The field kind of a declared column type ("DATETIME", "TEXT(50)", ...); Empty
// when the type is absent or unknown.
VarKind KindOfDeclaredType(std::string_view declared);

// A stored value as the field's kind. Text a date field cannot read stays text;
// an integer that does not fit the field's kind comes as a double.
CVariant VariantFromEngine(const EngineValue& value, VarKind kind);

// The value as the field's kind, the way the field will hold it once stored.
// Throws CComError: DB_E_CANTCONVERTVALUE when it cannot be read as that kind,
// DISP_E_OVERFLOW when it is outside the kind's range.
CVariant CoerceToField(const CVariant& value, VarKind kind);

// How a value is stored: dates as ISO text, currency as a double, whole
// decimals as integers. Throws CComError (DISP_E_OVERFLOW) for a date outside the range.
EngineValue EngineFromVariant(const CVariant& value);

// A number from any number-like value (text included); throws DB_E_CANTCONVERTVALUE.
double NumberOf(const CVariant& value);
