#include "platform/ado/RowStore.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

// One size for cell blocks and text pieces, so both come from the same pool.
constexpr std::size_t kBufferBytes = 256 * 1024;
constexpr std::size_t kBlockCells = kBufferBytes / sizeof(CRowStore::Cell);
// A text longer than this gets a piece of its own rather than waste the rest of one.
constexpr std::size_t kLargeText = kBufferBytes / 4;
// What the pool keeps between queries: enough for a year of entries (about 6 MiB),
// returned to the system beyond that.
constexpr std::size_t kPoolBuffers = 32;

struct Pool {
    std::mutex mutex;
    std::vector<std::unique_ptr<std::byte[]>> free;
};

Pool& SharedPool() {
    static Pool pool;
    return pool;
}

}  // namespace

std::size_t CRowStore::IdleBytes() {
    Pool& pool = SharedPool();
    const std::lock_guard lock(pool.mutex);
    return pool.free.size() * kBufferBytes;
}

CRowStore::Buffer CRowStore::TakeBuffer(std::size_t size) {
    if (size == kBufferBytes) {
        Pool& pool = SharedPool();
        const std::lock_guard lock(pool.mutex);
        if (!pool.free.empty()) {
            Buffer buffer{std::move(pool.free.back()), size};
            pool.free.pop_back();
            return buffer;
        }
    }
    return Buffer{std::make_unique_for_overwrite<std::byte[]>(size), size};
}

void CRowStore::GiveBack(Buffer buffer) {
    if (buffer.size != kBufferBytes)
        return;
    Pool& pool = SharedPool();
    const std::lock_guard lock(pool.mutex);
    if (pool.free.size() < kPoolBuffers)
        pool.free.push_back(std::move(buffer.bytes));
}

CRowStore::~CRowStore() {
    Release();
}

CRowStore::CRowStore(CRowStore&& other) noexcept
    : m_nFields(other.m_nFields),
      m_nBlockRows(other.m_nBlockRows),
      m_nRows(std::exchange(other.m_nRows, 0)),
      m_nBlock(std::exchange(other.m_nBlock, 0)),
      m_nRowInBlock(std::exchange(other.m_nRowInBlock, 0)),
      m_blocks(std::move(other.m_blocks)),
      m_text(std::move(other.m_text)),
      m_nTextUsed(std::exchange(other.m_nTextUsed, 0)),
      m_variants(std::move(other.m_variants)) {}

CRowStore& CRowStore::operator=(CRowStore&& other) noexcept {
    if (this != &other) {
        Release();
        m_nFields = other.m_nFields;
        m_nBlockRows = other.m_nBlockRows;
        m_nRows = std::exchange(other.m_nRows, 0);
        m_nBlock = std::exchange(other.m_nBlock, 0);
        m_nRowInBlock = std::exchange(other.m_nRowInBlock, 0);
        m_blocks = std::move(other.m_blocks);
        m_text = std::move(other.m_text);
        m_nTextUsed = std::exchange(other.m_nTextUsed, 0);
        m_variants = std::move(other.m_variants);
    }
    return *this;
}

void CRowStore::Release() {
    for (Buffer& block : m_blocks)
        GiveBack(std::move(block));
    for (Buffer& piece : m_text)
        GiveBack(std::move(piece));
    m_blocks.clear();
    m_text.clear();
    m_nTextUsed = 0;
    m_variants.clear();
    m_nRows = 0;
    m_nBlock = 0;
    m_nRowInBlock = 0;
}

void CRowStore::Reset(std::size_t fieldCount) {
    Release();
    m_nFields = fieldCount;
    m_nBlockRows = std::max<std::size_t>(1, kBlockCells / std::max<std::size_t>(1, fieldCount));
}

void CRowStore::Reserve(std::size_t rows) {
    const std::size_t blocks = (rows + m_nBlockRows - 1) / m_nBlockRows;
    const std::size_t bytes = std::max(kBufferBytes, m_nFields * sizeof(Cell));
    m_blocks.reserve(blocks);
    while (m_blocks.size() < blocks)
        m_blocks.push_back(TakeBuffer(bytes));
}

CRowStore::Cell* CRowStore::AppendRow() {
    if (m_nRowInBlock == m_nBlockRows) {
        ++m_nBlock;
        m_nRowInBlock = 0;
    }
    if (m_nBlock == m_blocks.size())
        Reserve(m_nRows + 1);
    Cell* row = reinterpret_cast<Cell*>(m_blocks[m_nBlock].bytes.get()) + m_nRowInBlock * m_nFields;
    ++m_nRowInBlock;
    ++m_nRows;
    for (std::size_t f = 0; f < m_nFields; ++f)
        row[f].tag = Cell::Tag::Empty;
    return row;
}

void CRowStore::AppendRowFrom(const CRowStore& other, std::size_t row) {
    const Cell* from = other.Row(row);
    Cell* to = AppendRow();
    for (std::size_t f = 0; f < m_nFields; ++f) {
        if (from[f].tag == Cell::Tag::Variant) {
            Put(to[f], other.m_variants[from[f].variant]);
            continue;
        }
        to[f] = from[f];
        if (from[f].tag == Cell::Tag::Text || from[f].tag == Cell::Tag::Blob)
            to[f].bytes = CopyBytes(std::string_view(from[f].bytes, from[f].size));
    }
}

void CRowStore::PopRow() {
    // The block stays for the next row; the popped row's text stays in the arena.
    if (m_nRowInBlock == 0) {
        --m_nBlock;
        m_nRowInBlock = m_nBlockRows;
    }
    --m_nRowInBlock;
    --m_nRows;
}

const char* CRowStore::CopyBytes(std::string_view bytes) {
    if (bytes.empty())
        return nullptr;
    char* to = nullptr;
    if (!m_text.empty() && bytes.size() <= kBufferBytes - m_nTextUsed &&
        m_text.back().size == kBufferBytes) {
        to = reinterpret_cast<char*>(m_text.back().bytes.get()) + m_nTextUsed;
        m_nTextUsed += bytes.size();
    } else if (bytes.size() > kLargeText) {
        // Its own piece, put before the current one so that one stays last.
        Buffer piece{std::make_unique_for_overwrite<std::byte[]>(bytes.size()), bytes.size()};
        to = reinterpret_cast<char*>(piece.bytes.get());
        m_text.insert(m_text.empty() ? m_text.end() : m_text.end() - 1, std::move(piece));
    } else {
        m_text.push_back(TakeBuffer(kBufferBytes));
        to = reinterpret_cast<char*>(m_text.back().bytes.get());
        m_nTextUsed = bytes.size();
    }
    std::memcpy(to, bytes.data(), bytes.size());
    return to;
}

void CRowStore::Put(Cell& cell, const EngineValue& value) {
    using Type = EngineValue::Type;
    const std::string_view bytes = value.Bytes();
    switch (value.type) {
        case Type::Null:
            cell.tag = Cell::Tag::Null;
            return;
        case Type::Integer:
        case Type::Real:
            // A number read into a text field came with the engine's text of it, and
            // reads as that text.
            if (bytes.empty()) {
                if (value.type == Type::Integer) {
                    cell.tag = Cell::Tag::Integer;
                    cell.integer = value.integer;
                } else {
                    cell.tag = Cell::Tag::Real;
                    cell.real = value.real;
                }
                return;
            }
            cell.tag = Cell::Tag::Text;
            break;
        case Type::Text:
            cell.tag = Cell::Tag::Text;
            break;
        case Type::Blob:
            cell.tag = Cell::Tag::Blob;
            break;
    }
    cell.size = static_cast<std::uint32_t>(bytes.size());
    cell.bytes = CopyBytes(bytes);
}

void CRowStore::Put(Cell& cell, const CVariant& value) {
    if (cell.tag == Cell::Tag::Variant) {
        m_variants[cell.variant] = value;
        return;
    }
    cell.tag = Cell::Tag::Variant;
    cell.variant = m_variants.size();
    m_variants.push_back(value);
}

void CRowStore::Read(const Cell& cell, VarKind kind, CVariant& to) const {
    if (cell.tag == Cell::Tag::Text && kind != VarKind::Date)
        to.AssignText(std::string_view(cell.bytes, cell.size));
    else
        to = Get(cell, kind);
}

CVariant CRowStore::Get(const Cell& cell, VarKind kind) const {
    // The usual pairs need none of the conversions.
    if (cell.tag == Cell::Tag::Real && kind == VarKind::R8)
        return CVariant::FromR8(cell.real);
    if (cell.tag == Cell::Tag::Integer && kind == VarKind::I4 && cell.integer >= INT32_MIN &&
        cell.integer <= INT32_MAX)
        return CVariant::FromI4(static_cast<std::int32_t>(cell.integer));
    EngineValue value;
    switch (cell.tag) {
        case Cell::Tag::Empty:
            return CVariant();
        case Cell::Tag::Variant:
            return m_variants[cell.variant];
        case Cell::Tag::Null:
            return CVariant::Null();
        case Cell::Tag::Integer:
            value = EngineValue::Integer(cell.integer);
            break;
        case Cell::Tag::Real:
            value = EngineValue::Real(cell.real);
            break;
        case Cell::Tag::Text:
            // Only a date field reads text as anything but text.
            if (kind != VarKind::Date)
                return CVariant::FromText(std::string(std::string_view(cell.bytes, cell.size)));
            value = EngineValue::Text(std::string_view(cell.bytes, cell.size));
            break;
        case Cell::Tag::Blob:
            return CVariant::FromBinary(std::string(std::string_view(cell.bytes, cell.size)));
    }
    return VariantFromEngine(value, kind);
}
