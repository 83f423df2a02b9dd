#pragma once

#include "FileItem.h"

#include <cstddef>
#include <vector>

namespace tarnwick {

// Storage for the names a walk holds per folder until it puts its items in order (8 bytes each,
// the folder record held once per folder, not by every entry): large blocks mapped straight from
// the kernel and given back whole. Per-folder lists on the heap would be freed between the
// folder records that stay, leaving the heap too fragmented to shrink. One per thread.
class ItemArena {
public:
    ItemArena() = default;
    ~ItemArena();
    ItemArena(const ItemArena&) = delete;
    ItemArena& operator=(const ItemArena&) = delete;

    // Uninitialized room for `count` names.
    NameSlot* allocate(size_t count);
    // Uninitialized room for anything else the walk keeps until it is done.
    void* allocateBytes(size_t bytes, size_t alignment);

private:
    struct Block {
        void* start;
        size_t size;
    };
    std::vector<Block> m_blocks;
    char* m_next = nullptr;
    size_t m_left = 0;
};

}  // namespace tarnwick
