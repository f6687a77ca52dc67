// ChunkedVector: an append-mostly array stored in fixed-size chunks.
//
// The pane's flow and layout grow for as long as the conversation lasts. A
// std::vector doubles its capacity and copies everything when it grows, so at
// any moment up to half of its memory can be unused and a growth step briefly
// needs three times the data; fixed chunks waste at most one partly filled
// chunk and never move what is already stored. Elements must be trivially
// copyable records; indexing costs a shift and a mask.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace html {

template <typename T, std::size_t ChunkBits>
class ChunkedVector {
    static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain records");

public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << ChunkBits;

    std::size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }

    T& operator[](std::size_t index) { return m_chunks[index >> ChunkBits][index & (kChunkSize - 1)]; }
    const T& operator[](std::size_t index) const { return m_chunks[index >> ChunkBits][index & (kChunkSize - 1)]; }
    T& Back() { return (*this)[m_size - 1]; }
    const T& Back() const { return (*this)[m_size - 1]; }

    void PushBack(const T& value) {
        if ((m_size >> ChunkBits) == m_chunks.size()) {
            m_chunks.push_back(std::make_unique_for_overwrite<T[]>(kChunkSize));
        }
        (*this)[m_size] = value;
        ++m_size;
    }

    // Drops the elements from `size` on and frees the chunks they emptied.
    void Truncate(std::size_t size) {
        if (size >= m_size) {
            return;
        }
        m_size = size;
        m_chunks.resize((size + kChunkSize - 1) >> ChunkBits);
    }

    void Clear() { Truncate(0); }

    // Pointer to `count` elements from `index` when they lie in one chunk, so
    // a caller can use them in place; nullptr when they straddle chunks.
    const T* Contiguous(std::size_t index, std::size_t count) const {
        if (count == 0 || (index >> ChunkBits) != ((index + count - 1) >> ChunkBits)) {
            return nullptr;
        }
        return &(*this)[index];
    }

    // Index of the first element for which `isAfter(element)` is true, given
    // that the elements are partitioned (all false, then all true).
    template <typename Predicate>
    std::size_t PartitionPoint(Predicate isAfter) const {
        std::size_t low = 0;
        std::size_t high = m_size;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (isAfter((*this)[middle])) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return low;
    }

private:
    std::vector<std::unique_ptr<T[]>> m_chunks;
    std::size_t m_size = 0;
};

}  // namespace html
