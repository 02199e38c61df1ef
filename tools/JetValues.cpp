#include "JetValues.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "JetCopy.h"
#include "platform/ado/BulkDatabase.h"
#include "platform/ado/OleDate.h"

namespace fs = std::filesystem;

// The fixed-size values are read straight from the page as little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

template <typename T>
T ReadLe(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The canonical form {8E39276A-BCA8-4AC4-891E-49911D8438DD} of a GUID's 16 stored
// bytes (the first three groups little-endian).
std::string GuidText(const unsigned char* p) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  ReadLe<std::uint32_t>(p), ReadLe<std::uint16_t>(p + 4),
                  ReadLe<std::uint16_t>(p + 6), p[8], p[9], p[10], p[11], p[12], p[13], p[14],
                  p[15]);
    return text;
}

}  // namespace

// The declared type that makes the data layer read the column as the same kind
// of value Jet held. Text types carry TEXT affinity so that a text such as
// "007" is never turned into a number on the way in.
std::string DeclaredType(const MdbColumn& col, bool key) {
    switch (col.col_type) {
        case MDB_BOOL:
            return "BIT";
        case MDB_BYTE:
            return "BYTE";
        case MDB_INT:
            return "SMALLINT";
        case MDB_LONGINT:
            return key ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "INTEGER";
        case MDB_MONEY:
            return "CURRENCY";
        case MDB_FLOAT:
            return "SINGLE";
        case MDB_DOUBLE:
            return "DOUBLE";
        case MDB_DATETIME:
            return "DATETIME";
        case MDB_BINARY:
            return "BINARY";
        case MDB_TEXT:
            return "TEXT COLLATE NOCASE";  // Jet compares text without regard to case
        case MDB_OLE:
            return "LONGBINARY";
        case MDB_MEMO:
            return "LONGTEXT COLLATE NOCASE";
        case MDB_REPID:
            return "CHAR(38)";
        case MDB_NUMERIC:
            // libmdb keeps the precision in col_scale and the scale in col_prec.
            return "DECIMAL(" + std::to_string(col.col_scale) + "," + std::to_string(col.col_prec) +
                   ")";
        default:
            return "INTEGER";  // attachments and other complex columns: their id
    }
}

JetValueReader::JetValueReader(const std::string& source, const std::string& table, MdbHandle* mdb)
    : m_source(source), m_table(table), m_mdb(mdb) {
    std::error_code ec;
    m_fileSize = fs::file_size(source, ec);
    m_pages = m_fileSize / static_cast<std::uintmax_t>(mdb->fmt->pg_size);
}

void JetValueReader::NeedPage(std::uintmax_t page) {
    if (page >= m_pages)
        throw ImportError(CutShortMessage(m_source));
}

std::string JetValueReader::LongValue(const unsigned char* p, int size) {
    if (size < MDB_MEMO_OVERHEAD)
        Damaged();
    const std::uint32_t lenFlags = ReadLe<std::uint32_t>(p);
    std::uint32_t pgRow = ReadLe<std::uint32_t>(p + 4);
    const std::size_t length = lenFlags & 0x3fffffff;
    if (length > m_fileSize)  // a damaged length: no value is longer than its file
        Damaged();
    if (lenFlags & 0x80000000) {  // stored in the row itself
        if (length > static_cast<std::size_t>(size - MDB_MEMO_OVERHEAD))
            Damaged();
        return std::string(reinterpret_cast<const char*>(p) + MDB_MEMO_OVERHEAD, length);
    }
    std::string out;
    const bool single = (lenFlags & 0x40000000) != 0;
    // A chain of rows on other pages; each but a single one starts with the next link.
    for (int hops = 0; out.size() < length; ++hops) {
        void* buf = nullptr;
        int start = 0;
        std::size_t len = 0;
        // Every link adds at least one byte, so a loop in the chain ends here.
        if (pgRow == 0 || static_cast<std::size_t>(hops) > length)
            Damaged();
        NeedPage(pgRow >> 8);
        if (mdb_find_pg_row(m_mdb, static_cast<int>(pgRow), &buf, &start, &len) != 0)
            Damaged();
        start &= kJetOffsetMask;
        const auto* row = static_cast<const unsigned char*>(buf) + start;
        if (static_cast<std::size_t>(start) + len > static_cast<std::size_t>(m_mdb->fmt->pg_size))
            Damaged();
        if (single) {
            out.assign(reinterpret_cast<const char*>(row), std::min(len, length));
            break;
        }
        if (len <= 4)
            Damaged();
        pgRow = ReadLe<std::uint32_t>(row);
        out.append(reinterpret_cast<const char*>(row) + 4, len - 4);
    }
    if (out.size() < length)
        Damaged();
    out.resize(length);
    return out;
}

std::string JetValueReader::Text(const char* src, std::size_t len) {
    // Every source byte becomes at most one character of at most 3 bytes.
    m_text.resize(len * 3 + 16);
    const int n = mdb_unicode2ascii(m_mdb, src, len, m_text.data(), m_text.size());
    return std::string(m_text.data(), static_cast<std::size_t>(std::max(n, 0)));
}

void JetValueReader::Damaged() {
    throw ImportError("'" + m_source + "' is damaged: a value in table '" + m_table +
                      "' cannot be read.");
}

// Binds the value of one field of the current row.
void BindField(CMemoryDatabase& db, int index, const MdbColumn& col, const MdbField& field,
               MdbHandle* mdb, JetValueReader& reader) {
    if (col.col_type == MDB_BOOL) {
        // A yes/no value lives in the row's null mask: "not null" means yes.
        db.BindInteger(index, field.is_null ? 0 : 1);
        return;
    }
    if (field.is_null) {
        db.BindNull(index);
        return;
    }
    // A damaged row can claim a value that reaches past its page.
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb->fmt->pg_size)
        reader.Damaged();
    const unsigned char* p = mdb->pg_buf + field.start;
    const int size = field.siz;
    auto need = [&](int bytes) {
        if (size < bytes)
            reader.Damaged();
    };
    switch (col.col_type) {
        case MDB_BYTE:
            need(1);
            db.BindInteger(index, p[0]);
            return;
        case MDB_INT:
            need(2);
            db.BindInteger(index, ReadLe<std::int16_t>(p));
            return;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            need(4);
            db.BindInteger(index, ReadLe<std::int32_t>(p));
            return;
        case MDB_MONEY: {
            // Currency is a count of ten-thousandths; the data layer reads units back exactly.
            need(8);
            const auto units = ReadLe<std::int64_t>(p);
            if (units % 10000 == 0)
                db.BindInteger(index, units / 10000);
            else
                db.BindReal(index, static_cast<double>(units) / 10000.0);
            return;
        }
        case MDB_FLOAT:
            need(4);
            db.BindReal(index, ReadLe<float>(p));
            return;
        case MDB_DOUBLE:
            need(8);
            db.BindReal(index, ReadLe<double>(p));
            return;
        case MDB_DATETIME: {
            need(8);
            const double days = ReadLe<double>(p);
            const std::string text = OleDateToIsoText(days);
            if (text.empty())  // outside what any date can be: keep the number itself
                db.BindReal(index, days);
            else
                db.BindText(index, text);
            return;
        }
        case MDB_TEXT: {
            const std::string text =
                reader.Text(reinterpret_cast<const char*>(p), static_cast<std::size_t>(size));
            db.BindText(index, text);
            return;
        }
        case MDB_MEMO: {
            const std::string raw = reader.LongValue(p, size);
            const std::string text = reader.Text(raw.data(), raw.size());
            db.BindText(index, text);
            return;
        }
        case MDB_OLE: {
            const std::string raw = reader.LongValue(p, size);
            db.BindBlob(index, raw.data(), raw.size());
            return;
        }
        case MDB_BINARY:
            db.BindBlob(index, p, static_cast<std::size_t>(size));
            return;
        case MDB_REPID: {
            need(16);
            db.BindText(index, GuidText(p));
            return;
        }
        case MDB_NUMERIC: {
            need(17);
            char* text = mdb_numeric_to_string(mdb, field.start, col.col_scale, col.col_prec);
            // Stored as a number, with the numeric affinity of DECIMAL.
            db.BindText(index, text);
            g_free(text);
            return;
        }
        default:
            db.BindBlob(index, p, static_cast<std::size_t>(size));
            return;
    }
}
