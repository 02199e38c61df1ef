#pragma once

#include <string>
#include <vector>

// Statements made to measure: the layouts of the real exports with as many rows as asked.

// An Alipay app export (current layout) of `rows` transactions, as UTF-8 text; order numbers
// start at `firstOrder`. Every 40th row is the full refund of the payment before it.
std::string AlipaySample(int rows, int firstOrder = 0);

// A WeChat Pay CSV export of `rows` transactions with the quote-and-TAB fields of 2025.
std::string WeChatSample(int rows, int firstOrder = 0);

// UTF-8 text as GB18030 bytes, the way Alipay writes its files.
std::string ToGb18030(const std::string& utf8);

// A one-sheet workbook whose cells hold `cells` (row by row from A1); a cell that starts with
// "#" is stored as a number (the rest of its text), every other one as a shared string.
std::string MakeXlsx(const std::vector<std::vector<std::string>>& cells);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
