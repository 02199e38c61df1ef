#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ado/EngineValue.h"
#include "platform/ado/Variant.h"

// Fetched field values, row by row. A cell keeps the value as the engine handed it over
// (numbers unboxed, text and blobs copied into an arena the store owns) and becomes a
// CVariant only when it is read; a value put in by the program is kept as its CVariant.
// Rows live in fixed-size blocks that never move, and blocks come from a small pool shared
// by every store, so the next query finds its memory already mapped.
class CRowStore {
public:
    struct Cell {
        enum class Tag : std::uint8_t { Empty, Null, Integer, Real, Text, Blob, Variant };
        Tag tag;
        std::uint32_t size;  // bytes of Text and Blob
        union {
            std::int64_t integer;
            double real;
            const char* bytes;
            std::size_t variant;  // index into the store's own CVariants
        };
    };

    CRowStore() = default;
    ~CRowStore();
    CRowStore(const CRowStore&) = delete;
    CRowStore& operator=(const CRowStore&) = delete;
    CRowStore(CRowStore&& other) noexcept;
    CRowStore& operator=(CRowStore&& other) noexcept;

    // Empties the store for rows of `fieldCount` fields.
    void Reset(std::size_t fieldCount);
    // Takes the blocks for `rows` rows now.
    void Reserve(std::size_t rows);
    std::size_t Rows() const { return m_nRows; }

    // A new last row of Empty cells.
    Cell* AppendRow();
    // A new last row holding the values of `other`'s row `row` (same field count).
    void AppendRowFrom(const CRowStore& other, std::size_t row);
    void PopRow();

    Cell* Row(std::size_t row) { return BlockOf(row) + CellOffset(row); }
    const Cell* Row(std::size_t row) const { return BlockOf(row) + CellOffset(row); }

    void Put(Cell& cell, const EngineValue& value);
    void Put(Cell& cell, const CVariant& value);
    // Bytes the pool keeps for the next query (allocated, but held by no store).
    static std::size_t IdleBytes();

    // The cell's value as a field of `kind` holds it.
    CVariant Get(const Cell& cell, VarKind kind) const;
    // The same into `to`, reusing the room it has.
    void Read(const Cell& cell, VarKind kind, CVariant& to) const;

private:
    struct Buffer {
        std::unique_ptr<std::byte[]> bytes;
        std::size_t size = 0;
    };
    static Buffer TakeBuffer(std::size_t size);
    static void GiveBack(Buffer buffer);

    Cell* BlockOf(std::size_t row) const {
        return reinterpret_cast<Cell*>(m_blocks[row / m_nBlockRows].bytes.get());
    }
    std::size_t CellOffset(std::size_t row) const { return (row % m_nBlockRows) * m_nFields; }
    const char* CopyBytes(std::string_view bytes);
    void Release();

    std::size_t m_nFields = 0;
    std::size_t m_nBlockRows = 1;
    std::size_t m_nRows = 0;
    // Where the next row goes.
    std::size_t m_nBlock = 0;
    std::size_t m_nRowInBlock = 0;
    std::vector<Buffer> m_blocks;
    // Text arena: pieces never move, so cells point into them.
    std::vector<Buffer> m_text;
    std::size_t m_nTextUsed = 0;  // bytes used of the last piece
    std::vector<CVariant> m_variants;
};
