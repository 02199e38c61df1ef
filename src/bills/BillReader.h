#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "bills/BillRecord.h"

// Reads a payment-app statement from its bytes, whatever the variant: Alipay app (current and
// 2021 layouts) and web CSV, WeChat Pay CSV and XLSX, told apart by their content.
std::variant<BillStatement, BillError> ReadBill(std::string_view bytes);

// The same for a file on disk; a file that cannot be read gives the reason.
std::variant<BillStatement, BillError> ReadBillFile(const std::string& path);
