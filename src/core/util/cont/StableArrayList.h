#pragma once
// StableArrayList: a list whose elements keep their index for as long as they stay in it. Freed
// indices are reused (largest first), the elements are chained in a walking order, and all
// storage goes through the counting allocator.
//
// Indices are stable, addresses are not: a reference from At() is good only until the next Add().
#include <cstdint>
#include <vector>

#include "core/util/assert/AppAssert.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// The index that stands for "no element": the ends of an empty list, the links at the ends.
inline constexpr uint32_t kInvalidIndex = 0xFFFFFFFFu;

template <class T>
class StableArrayList {
public:
    struct Node {
        T value;
        uint32_t prev;
        uint32_t next;
        bool valid;
    };

    explicit StableArrayList(uint32_t reserved = 64) { m_nodes.reserve(reserved); }

    bool IsValidIndex(uint32_t i) const { return i < m_nodes.size() && m_nodes[i].valid; }

    const T& At(uint32_t i) const
    {
        assert(IsValidIndex(i));
        return m_nodes[i].value;
    }

    T& At(uint32_t i)
    {
        assert(IsValidIndex(i));
        return m_nodes[i].value;
    }

    // The walking step: the index after i in the linked order (kInvalidIndex after the tail).
    // i must still be valid; a loop that removes i continues with what Remove returned.
    uint32_t Next(uint32_t i) const
    {
        assert(IsValidIndex(i));
        return m_nodes[i].next;
    }

    // The step backwards, for walks from m_tail.
    uint32_t Prev(uint32_t i) const
    {
        assert(IsValidIndex(i));
        return m_nodes[i].prev;
    }

    uint32_t Add(const T& value)
    {
        ++m_count;
        uint32_t index;
        if (m_freeIndices.empty()) {
            index = static_cast<uint32_t>(m_nodes.size());
            m_nodes.push_back(Node{value, kInvalidIndex, kInvalidIndex, true});
        } else {
            index = PopLargestFree();
            Node& node = m_nodes[index];
            // The old value was left in place by Remove; it is replaced only now.
            node.value = value;
            node.valid = true;
        }

        if (m_count == 1) {
            m_head = index;
            m_tail = index;
        } else {
            assert(IsValidIndex(m_head));
            assert(IsValidIndex(m_tail));
            if (m_head < index && index < m_tail) {
                InsertBefore(index, m_tail);
            } else if (index < m_head) {
                InsertBefore(index, m_head);
                m_head = index;
            } else {
                InsertAfter(m_tail, index);
                m_tail = index;
            }
        }
        return index;
    }

    // Links node targetIndex right after node srcIndex; the ends are the caller's business.
    void InsertAfter(uint32_t srcIndex, uint32_t targetIndex)
    {
        assert(IsValidIndex(targetIndex));
        assert(IsValidIndex(srcIndex));
        Node& target = m_nodes[targetIndex];
        Node& src = m_nodes[srcIndex];
        target.prev = srcIndex;
        target.next = src.next;
        if (IsValidIndex(src.next))
            m_nodes[src.next].prev = targetIndex;
        src.next = targetIndex;
    }

    // Links node targetIndex right before node srcIndex; the ends are the caller's business.
    uint32_t InsertBefore(uint32_t targetIndex, uint32_t srcIndex)
    {
        assert(IsValidIndex(targetIndex));
        assert(IsValidIndex(srcIndex));
        Node& target = m_nodes[targetIndex];
        Node& src = m_nodes[srcIndex];
        target.prev = src.prev;
        target.next = srcIndex;
        if (IsValidIndex(src.prev))
            m_nodes[src.prev].next = targetIndex;
        src.prev = targetIndex;
        return targetIndex;
    }

    // Unlinks node index and frees its index; returns the index that followed it. The value stays
    // in place, undestroyed, until the index is reused or the list is destroyed.
    uint32_t Remove(uint32_t index)
    {
        assert(IsValidIndex(index));
        --m_count;
        Node& node = m_nodes[index];
        const uint32_t next = node.next;
        if (IsValidIndex(node.prev))
            m_nodes[node.prev].next = node.next;
        if (IsValidIndex(node.next))
            m_nodes[node.next].prev = node.prev;
        if (index == m_tail)
            m_tail = node.prev;
        if (index == m_head)
            m_head = node.next;
        node.valid = false;
        node.prev = kInvalidIndex;
        node.next = kInvalidIndex;
        PushFree(index);
        return next;
    }

    void Clear()
    {
        if (m_count == 0)
            return;
        for (uint32_t i = 0; i < m_nodes.size(); ++i) {
            Node& node = m_nodes[i];
            if (!node.valid)
                continue;
            node.valid = false;
            node.prev = kInvalidIndex;
            node.next = kInvalidIndex;
            PushFree(i);
        }
        m_head = kInvalidIndex;
        m_tail = kInvalidIndex;
        m_count = 0;
    }

    uint32_t Count() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    // Read directly by the owners that walk the list.
    CountedVector<Node> m_nodes;
    CountedVector<uint32_t> m_freeIndices;  // max-heap: the front is the largest free index
    uint32_t m_head = kInvalidIndex;
    uint32_t m_tail = kInvalidIndex;
    uint32_t m_count = 0;

private:
    void SiftUp(size_t hole, uint32_t value)
    {
        while (hole > 0) {
            const size_t parent = (hole - 1) / 2;
            if (!(m_freeIndices[parent] < value))
                break;
            m_freeIndices[hole] = m_freeIndices[parent];
            hole = parent;
        }
        m_freeIndices[hole] = value;
    }

    void PushFree(uint32_t index)
    {
        m_freeIndices.push_back(index);
        SiftUp(m_freeIndices.size() - 1, index);
    }

    // Takes the top: the last entry fills a hole that walks down from the root, always to the
    // larger child (the right one on a tie), and is then sifted up from where the hole stopped.
    uint32_t PopLargestFree()
    {
        const uint32_t top = m_freeIndices.front();
        const uint32_t last = m_freeIndices.back();
        m_freeIndices.pop_back();
        const size_t len = m_freeIndices.size();
        if (len == 0)
            return top;
        size_t hole = 0;
        for (;;) {
            const size_t left = 2 * hole + 1;
            if (left >= len)
                break;
            const size_t right = left + 1;
            const size_t larger =
                (right < len && !(m_freeIndices[right] < m_freeIndices[left])) ? right : left;
            m_freeIndices[hole] = m_freeIndices[larger];
            hole = larger;
        }
        SiftUp(hole, last);
        return top;
    }
};

}  // namespace ztengine
