#pragma once

#include <string>
#include <string_view>
#include <vector>

// A CSV file's text as spreadsheet programs in a Chinese locale read it: UTF-8 with a
// byte-order mark, CRLF after each record, fields quoted as RFC 4180 says.
class CsvWriter {
public:
    CsvWriter();

    // One field, quoted when it holds a comma, a quote or a line break, or begins or ends
    // with a space; an empty text writes nothing between the commas.
    void Field(std::string_view text);
    // One field always quoted, so an empty text is told apart from a missing value.
    void QuotedField(std::string_view text);
    // Ends the record; with no field written, a blank line.
    void EndRecord();
    void Record(const std::vector<std::string>& fields);

    const std::string& Text() const { return m_strText; }

private:
    void Separate();

    std::string m_strText;
    bool m_bFirstField = true;
};

// A field as CsvWriter writes it.
std::string CsvField(std::string_view text);
