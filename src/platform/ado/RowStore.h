#pragma once

#include <cstddef>
#include <vector>

#include "platform/ado/Variant.h"

// Fetched field values, row by row, in fixed-size blocks: growing never moves
// the rows already read, so a large result needs no copying and no spare room.
class CRowStore {
public:
    void Reset(size_t fieldCount) {
        m_nFields = fieldCount;
        m_blocks.clear();
        m_nRows = 0;
    }
    size_t Rows() const { return m_nRows; }
    CVariant* AppendRow() {
        if (m_nRows % kBlockRows == 0) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(kBlockRows * m_nFields);
        }
        auto& block = m_blocks.back();
        block.resize(block.size() + m_nFields);
        ++m_nRows;
        return block.data() + block.size() - m_nFields;
    }
    void PopRow() {
        auto& block = m_blocks.back();
        block.resize(block.size() - m_nFields);
        if (block.empty())
            m_blocks.pop_back();
        --m_nRows;
    }
    CVariant& Cell(size_t row, size_t field) {
        return m_blocks[row / kBlockRows][(row % kBlockRows) * m_nFields + field];
    }
    const CVariant& Cell(size_t row, size_t field) const {
        return m_blocks[row / kBlockRows][(row % kBlockRows) * m_nFields + field];
    }

private:
    static constexpr size_t kBlockRows = 4096;
    size_t m_nFields = 0;
    size_t m_nRows = 0;
    std::vector<std::vector<CVariant>> m_blocks;
};
