#include "text/CsvWriter.h"

namespace {
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}
}  // namespace

std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    return quote ? Quoted(text) : std::string(text);
}

CsvWriter::CsvWriter() : m_strText("\xEF\xBB\xBF") {}

void CsvWriter::Separate() {
    if (!m_bFirstField)
        m_strText += ',';
    m_bFirstField = false;
}

void CsvWriter::Field(std::string_view text) {
    Separate();
    m_strText += CsvField(text);
}

void CsvWriter::QuotedField(std::string_view text) {
    Separate();
    m_strText += Quoted(text);
}

void CsvWriter::EndRecord() {
    m_strText += "\r\n";
    m_bFirstField = true;
}

void CsvWriter::Record(const std::vector<std::string>& fields) {
    for (const std::string& field : fields)
        Field(field);
    EndRecord();
}
