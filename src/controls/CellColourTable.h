#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include <QColor>

namespace controls {

// Text colours of the first Rows x Cols cells of a list, by row and column index. Cells
// outside the table or never set report "unset", so the list falls back to its default
// colour. The overview loader writes it from a poller thread while the list paints, so
// each cell is one atomic word: no lock, no torn colours.
template <std::size_t Rows, std::size_t Cols>
class CellColourTable final
{
public:
    static constexpr std::size_t kRows = Rows;
    static constexpr std::size_t kCols = Cols;

    // Returns false (and stores nothing) outside the table.
    bool set(int row, int column, QColor colour)
    {
        if (!contains(row, column))
            return false;
        m_cells[index(row, column)].store(kSetBit | (colour.rgb() & 0xFFFFFFu), std::memory_order_relaxed);
        return true;
    }

    void unset(int row, int column)
    {
        if (contains(row, column))
            m_cells[index(row, column)].store(0, std::memory_order_relaxed);
    }

    // The cell's colour, or `fallback` when outside the table or never set.
    QColor colourOr(int row, int column, QColor fallback) const
    {
        if (!contains(row, column))
            return fallback;
        const std::uint32_t v = m_cells[index(row, column)].load(std::memory_order_relaxed);
        if (!(v & kSetBit))
            return fallback;
        return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (v & 0xFFFFFFu)));
    }

    bool isSet(int row, int column) const
    {
        return contains(row, column) && (m_cells[index(row, column)].load(std::memory_order_relaxed) & kSetBit);
    }

    void clear()
    {
        for (auto& c : m_cells)
            c.store(0, std::memory_order_relaxed);
    }

    static bool contains(int row, int column)
    {
        return row >= 0 && column >= 0 && static_cast<std::size_t>(row) < Rows && static_cast<std::size_t>(column) < Cols;
    }

private:
    static constexpr std::uint32_t kSetBit = 0x01000000u;
    static std::size_t index(int row, int column) { return static_cast<std::size_t>(row) * Cols + static_cast<std::size_t>(column); }

    std::array<std::atomic<std::uint32_t>, Rows * Cols> m_cells{};
};

} // namespace controls
