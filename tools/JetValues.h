#pragma once

// The standard headers first: glib, which libmdb includes inside extern "C", takes
// <type_traits> along when it has not been included yet.
#include <cstdint>
#include <string>
#include <vector>

#include <mdbtools.h>

// One value of a Jet row as the SQLite copy holds it.

class CMemoryDatabase;

constexpr int kJetOffsetMask = 0x1fff;  // row offsets on a data page carry flags above this

// The declared type that makes the data layer read the column as the same kind
// of value Jet held. Text types carry TEXT affinity so that a text such as
// "007" is never turned into a number on the way in.
std::string DeclaredType(const MdbColumn& col, bool key);

// Reads what a row refers to outside itself (long values on other pages) and
// converts text; every failure is an ImportError naming the file and table.
class JetValueReader {
public:
    JetValueReader(const std::string& source, const std::string& table, MdbHandle* mdb);

    // A page the file refers to must be in it.
    void NeedPage(std::uintmax_t page);
    // Bytes of a memo or OLE value whose 12-byte header sits at `p` (`size` bytes in the row).
    std::string LongValue(const unsigned char* p, int size);
    // Jet text (code page or compressed UTF-16) as UTF-8.
    std::string Text(const char* src, std::size_t len);
    [[noreturn]] void Damaged();

private:
    std::string m_source;
    std::string m_table;
    MdbHandle* m_mdb;
    std::uintmax_t m_fileSize = 0;
    std::uintmax_t m_pages = 0;
    std::vector<char> m_text;
};

// Binds the value of one field of the current row (on the handle's page) to parameter `index`.
void BindField(CMemoryDatabase& db, int index, const MdbColumn& col, const MdbField& field,
               MdbHandle* mdb, JetValueReader& reader);
