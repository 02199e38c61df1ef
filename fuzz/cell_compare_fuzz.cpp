// The report list's cell comparison is a strict weak order: three cells cut from the input
// (at 0x1F bytes) must agree with each other both ways, also in their plain text order.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/CellCompare.h"
#include "text/Gb18030Order.h"

namespace {

template <class Compare>
void CheckOrder(Compare compare, std::string_view a, std::string_view b, std::string_view c) {
    const int ab = compare(a, b), bc = compare(b, c), ac = compare(a, c);
    if (compare(a, a) != 0 || compare(b, a) != -ab || compare(c, b) != -bc)
        std::abort();
    if (ab < 0 && bc < 0 && ac >= 0)
        std::abort();
    if (ab == 0 && bc == 0 && ac != 0)
        std::abort();
    if (ab == 0 && ac != bc)  // equivalent cells stand alike to any third
        std::abort();
    if (compare(a, b) != ab)  // the same answer again
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view cells[3];
    for (auto& cell : cells) {
        const std::size_t cut = rest.find('\x1f');
        cell = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    CheckOrder(CompareCellTexts, cells[0], cells[1], cells[2]);
    CheckOrder(CompareGb18030, cells[0], cells[1], cells[2]);
    return 0;
}
