// Field value conversions: any kind of value converts without fault; a real number's text reads
// back as the same number; a decimal read from text is a finite number.
#include <locale.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "data/FieldConversion.h"
#include "platform/ado/Variant.h"

namespace {

double ReadBack(const std::string& text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text.c_str(), nullptr, c);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t kind = Take<std::uint8_t>(data, size);
    CVariant value;
    switch (kind % 15) {
        case 0:
            value = CVariant();
            break;
        case 1:
            value = CVariant::Null();
            break;
        case 2:
            value = CVariant::FromI2(Take<std::int16_t>(data, size));
            break;
        case 3:
            value = CVariant::FromI4(Take<std::int32_t>(data, size));
            break;
        case 4:
            value = CVariant::FromInt(Take<int>(data, size));
            break;
        case 5:
            value = CVariant::FromUI1(Take<std::uint8_t>(data, size));
            break;
        case 6:
            value = CVariant::FromUI4(Take<std::uint32_t>(data, size));
            break;
        case 7:
            value = CVariant::FromR4(Take<float>(data, size));
            break;
        case 8:
            value = CVariant::FromR8(Take<double>(data, size));
            break;
        case 9:
            value = CVariant::FromCurrency(Take<std::int64_t>(data, size));
            break;
        case 10: {
            DecimalParts d{};
            if (DecimalFromText(std::string(reinterpret_cast<const char*>(data), size), d) &&
                !std::isfinite(DecimalToDouble(d)))
                std::abort();
            d.scale = Take<std::uint8_t>(data, size) % 29;
            d.sign = Take<std::uint8_t>(data, size) & 0x80;
            d.hi32 = Take<std::uint32_t>(data, size);
            d.lo64 = Take<std::uint64_t>(data, size);
            value = CVariant::FromDecimal(d);
            break;
        }
        case 11:
            value = CVariant::FromDate(Take<double>(data, size));
            break;
        case 12:
            value = CVariant::FromText(std::string(reinterpret_cast<const char*>(data), size));
            break;
        case 13:
            value = CVariant::FromBool(Take<std::uint8_t>(data, size) & 1);
            break;
        default:
            value = CVariant::FromBinary(std::string(reinterpret_cast<const char*>(data), size));
            break;
    }
    std::string text;
    const std::string pattern = kind & 0x80 ? "%c %j %a %W %%" : "";
    VariantToText(value, pattern, text);
    VariantToDouble(value);
    DateTimeValue date;
    VariantToDateTime(value, date);

    // At least 17 significant digits give back the very number; 9 do for a single.
    if (value.Kind() == VarKind::R8 && std::isfinite(value.RealValue())) {
        if (ReadBack(text) != value.RealValue() ||
            ReadBack(GcvtText(value.RealValue(), 17)) != value.RealValue())
            std::abort();
    }
    if (value.Kind() == VarKind::R4 && std::isfinite(value.RealValue()) &&
        static_cast<float>(ReadBack(text)) != static_cast<float>(value.RealValue()))
        std::abort();
    return 0;
}
