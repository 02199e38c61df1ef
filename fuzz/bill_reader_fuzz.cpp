// Statement files come from outside: whatever the bytes, reading them gives a statement or a
// message, never a crash, a hang or a read out of bounds. Both the CSV and the XLSX path are
// reached (a seed that starts like a zip archive takes the workbook path).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bills/BillReader.h"
#include "bills/BillRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read = ReadBill(bytes);
    if (const auto* statement = std::get_if<BillStatement>(&read)) {
        for (const BillRow& row : statement->rows)
            DecideBillRow(statement->platform, row);
    }
    return 0;
}
