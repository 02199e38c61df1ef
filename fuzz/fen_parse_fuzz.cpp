// An amount read from any text is the exact decimal the text writes: its stored double is the
// one strtod reads from the same text, that double reads back as the same fen, and each of the
// formatter's styles writes a text that parses to it again.
#include <locale.h>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/Fen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<Fen> fen = Fen::Parse(text);
    if (!fen)
        return 0;
    if (fen->Count() > Fen::kMaxParsed || fen->Count() < -Fen::kMaxParsed)
        std::abort();
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (fen->Yuan() != strtod_l(text.c_str(), nullptr, c) || Fen::FromYuan(fen->Yuan()) != fen)
        std::abort();
    for (FenStyle style : {FenStyle::Edit, FenStyle::List, FenStyle::Plain})
        if (Fen::Parse(FenText(*fen, style)) != fen)
            std::abort();
    return 0;
}
