#include "platform/ado/EngineValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/ado/AsciiText.h"
#include "platform/ado/ComError.h"
#include "platform/ado/OleDate.h"

namespace {

constexpr const char* kSource = "ADODB.Field";

[[noreturn]] void RaiseMismatch() {
    throw CComError(DB_E_CANTCONVERTVALUE, kSource,
                    "Data type mismatch: the value does not fit the field's type.");
}

[[noreturn]] void RaiseOverflow() {
    throw CComError(DISP_E_OVERFLOW, kSource, "The value is outside the field's range.");
}

CVariant DecimalFromDouble(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    DecimalParts d{};
    if (!DecimalFromText(buf, d))
        return CVariant::FromR8(v);
    return CVariant::FromDecimal(d);
}

// An integer in the field's kind; one that does not fit that kind comes as a double.
CVariant IntegerAs(VarKind kind, std::int64_t v) {
    switch (kind) {
        case VarKind::I2:
            if (v >= INT16_MIN && v <= INT16_MAX)
                return CVariant::FromI2(static_cast<int16_t>(v));
            break;
        case VarKind::UI1:
            if (v >= 0 && v <= 255)
                return CVariant::FromUI1(static_cast<uint8_t>(v));
            break;
        case VarKind::UI4:
            if (v >= 0 && v <= UINT32_MAX)
                return CVariant::FromUI4(static_cast<uint32_t>(v));
            break;
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(v));
        case VarKind::Currency:
            return CVariant::FromCurrency(v * 10000);
        case VarKind::Decimal: {
            DecimalParts d{};
            d.sign = static_cast<std::uint8_t>(v < 0 ? 0x80 : 0);
            d.lo64 = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
            return CVariant::FromDecimal(d);
        }
        case VarKind::R8:
            return CVariant::FromR8(static_cast<double>(v));
        default:
            break;
    }
    if (v >= INT32_MIN && v <= INT32_MAX)
        return CVariant::FromI4(static_cast<int32_t>(v));
    return CVariant::FromR8(static_cast<double>(v));
}

std::string NumberText(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    if (std::strtod(buf, nullptr) != v)
        std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

}  // namespace

EngineValue EngineValue::Integer(std::int64_t v) {
    EngineValue e;
    e.type = Type::Integer;
    e.integer = v;
    return e;
}

EngineValue EngineValue::Real(double v) {
    EngineValue e;
    e.type = Type::Real;
    e.real = v;
    return e;
}

EngineValue EngineValue::Text(std::string_view v, Type type) {
    EngineValue e;
    e.type = type;
    e.bytes = v;
    return e;
}

VarKind KindOfDeclaredType(std::string_view declared) {
    const size_t paren = declared.find('(');
    const std::string_view name = TrimAsciiSpace(declared.substr(0, paren));
    struct Entry {
        std::string_view name;
        VarKind kind;
    };
    static constexpr Entry kTypes[] = {
        {"DATETIME", VarKind::Date},
        {"DATE", VarKind::Date},
        {"TIME", VarKind::Date},
        {"TIMESTAMP", VarKind::Date},
        {"DOUBLE", VarKind::R8},
        {"DOUBLE PRECISION", VarKind::R8},
        {"REAL", VarKind::R8},
        {"FLOAT", VarKind::R8},
        {"SINGLE", VarKind::R4},
        {"INTEGER", VarKind::I4},
        {"INT", VarKind::I4},
        {"LONG", VarKind::I4},
        {"COUNTER", VarKind::I4},
        {"AUTOINCREMENT", VarKind::I4},
        {"SHORT", VarKind::I2},
        {"SMALLINT", VarKind::I2},
        {"BYTE", VarKind::UI1},
        {"TINYINT", VarKind::UI1},
        {"CURRENCY", VarKind::Currency},
        {"MONEY", VarKind::Currency},
        {"DECIMAL", VarKind::Decimal},
        {"NUMERIC", VarKind::Decimal},
        {"BIT", VarKind::Bool},
        {"YESNO", VarKind::Bool},
        {"BOOLEAN", VarKind::Bool},
        {"LOGICAL", VarKind::Bool},
        {"TEXT", VarKind::Text},
        {"VARCHAR", VarKind::Text},
        {"NVARCHAR", VarKind::Text},
        {"CHAR", VarKind::Text},
        {"NCHAR", VarKind::Text},
        {"MEMO", VarKind::Text},
        {"LONGTEXT", VarKind::Text},
        {"CLOB", VarKind::Text},
    };
    for (const auto& e : kTypes) {
        if (EqualsNoCase(name, e.name))
            return e.kind;
    }
    return VarKind::Empty;
}

CVariant VariantFromEngine(const EngineValue& value, VarKind kind) {
    using Type = EngineValue::Type;
    switch (value.type) {
        case Type::Null:
            return CVariant::Null();
        case Type::Blob:
            return CVariant::FromBinary(std::string(value.Bytes()));
        case Type::Text:
            if (kind == VarKind::Date) {
                double date = 0;
                if (OleDateFromIsoText(value.Bytes(), date))
                    return CVariant::FromDate(date);
            }
            // Text the column's type could not take stays text.
            return CVariant::FromText(std::string(value.Bytes()));
        case Type::Integer:
        case Type::Real:
            break;
    }
    const double real = value.type == Type::Real ? value.real : static_cast<double>(value.integer);
    switch (kind) {
        case VarKind::Text:
            return CVariant::FromText(std::string(value.Bytes()));
        case VarKind::Date:
            return CVariant::FromDate(real);
        case VarKind::Bool:
            return CVariant::FromBool(real != 0);
        case VarKind::R8:
            return CVariant::FromR8(real);
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(real));
        case VarKind::Currency:
            return CVariant::FromCurrency(std::llround(real * 10000));
        case VarKind::Decimal:
            if (value.type == Type::Integer)
                return IntegerAs(kind, value.integer);
            return DecimalFromDouble(real);
        default:
            break;
    }
    if (value.type == Type::Integer)
        return IntegerAs(kind, value.integer);
    if (real == std::trunc(real) && std::fabs(real) < 9.2e18)
        return IntegerAs(kind, static_cast<std::int64_t>(real));
    return CVariant::FromR8(real);
}

double NumberOf(const CVariant& v) {
    if (const std::optional<double> number = v.NumberValue())
        return *number;
    switch (v.Kind()) {
        case VarKind::Bool:
            return v.BoolValue() ? -1 : 0;
        case VarKind::Date:
            return v.RealValue();
        case VarKind::Text: {
            const std::string& s = v.TextValue();
            char* end = nullptr;
            const double d = std::strtod(s.c_str(), &end);
            while (end && IsAsciiSpace(*end))
                ++end;
            if (s.empty() || end == s.c_str() || *end != '\0')
                RaiseMismatch();
            return d;
        }
        default:
            RaiseMismatch();
    }
}

CVariant CoerceToField(const CVariant& v, VarKind kind) {
    if (v.IsNullOrEmpty())
        return CVariant::Null();
    if (v.Kind() == kind && kind != VarKind::Date)
        return v;
    switch (kind) {
        case VarKind::Empty:
            return v;
        case VarKind::Text:
            switch (v.Kind()) {
                case VarKind::Binary:
                    return v;
                case VarKind::Bool:
                    return CVariant::FromText(v.BoolValue() ? "True" : "False");
                case VarKind::Date: {
                    std::string iso = OleDateToIsoText(v.RealValue());
                    if (iso.empty())
                        RaiseOverflow();
                    return CVariant::FromText(iso);
                }
                case VarKind::R4:
                case VarKind::R8:
                case VarKind::Currency:
                case VarKind::Decimal:
                    return CVariant::FromText(NumberText(NumberOf(v)));
                default:
                    return CVariant::FromText(std::to_string(v.IntValue()));
            }
        case VarKind::Date: {
            double date = 0;
            if (v.Kind() == VarKind::Text) {
                if (!OleDateFromIsoText(v.TextValue(), date))
                    RaiseMismatch();
            } else if (v.Kind() == VarKind::Bool || v.Kind() == VarKind::Binary) {
                RaiseMismatch();
            } else {
                date = NumberOf(v);
            }
            if (OleDateToIsoText(date).empty())
                RaiseOverflow();
            return CVariant::FromDate(date);
        }
        case VarKind::Bool:
            if (v.Kind() == VarKind::Text) {
                if (EqualsNoCase(v.TextValue(), "true"))
                    return CVariant::FromBool(true);
                if (EqualsNoCase(v.TextValue(), "false"))
                    return CVariant::FromBool(false);
            }
            return CVariant::FromBool(NumberOf(v) != 0);
        case VarKind::R8:
            return CVariant::FromR8(NumberOf(v));
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(NumberOf(v)));
        case VarKind::Currency: {
            const double d = NumberOf(v) * 10000;
            if (!(std::fabs(d) < 9.2e18))
                RaiseOverflow();
            return CVariant::FromCurrency(std::llround(d));
        }
        case VarKind::Decimal:
            return DecimalFromDouble(NumberOf(v));
        default: {
            // Whole-number kinds round half to even, as the platform's coercion does.
            const double d = std::nearbyint(NumberOf(v));
            if (!(std::fabs(d) < 9.2e18))
                RaiseOverflow();
            const CVariant r = IntegerAs(kind, static_cast<std::int64_t>(d));
            if (r.Kind() != kind)
                RaiseOverflow();
            return r;
        }
    }
}

EngineValue EngineFromVariant(const CVariant& v) {
    switch (v.Kind()) {
        case VarKind::Empty:
        case VarKind::Null:
            return EngineValue::Null();
        case VarKind::R4:
        case VarKind::R8:
            return EngineValue::Real(v.RealValue());
        case VarKind::Currency:
            return EngineValue::Real(static_cast<double>(v.IntValue()) / 10000);
        case VarKind::Decimal:
            if (v.DecimalValue().scale == 0 && v.DecimalValue().hi32 == 0 &&
                v.DecimalValue().lo64 <= static_cast<std::uint64_t>(INT64_MAX)) {
                const auto m = static_cast<std::int64_t>(v.DecimalValue().lo64);
                return EngineValue::Integer(v.DecimalValue().sign == 0x80 ? -m : m);
            }
            return EngineValue::Real(DecimalToDouble(v.DecimalValue()));
        case VarKind::Date: {
            EngineValue e;
            e.type = EngineValue::Type::Text;
            e.owned = OleDateToIsoText(v.RealValue());
            if (e.owned.empty())
                RaiseOverflow();
            return e;
        }
        case VarKind::Text:
            return EngineValue::Text(v.TextValue());
        case VarKind::Binary:
            return EngineValue::Text(v.TextValue(), EngineValue::Type::Blob);
        case VarKind::Bool:
            return EngineValue::Integer(v.BoolValue() ? 1 : 0);
        default:
            return EngineValue::Integer(v.IntValue());
    }
}
