#include "ItemArena.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace tarnwick {

namespace {
constexpr size_t kBlockSize = size_t(4) << 20;
}

ItemArena::~ItemArena() {
    for (const Block& block : m_blocks) munmap(block.start, block.size);
}

NameSlot* ItemArena::allocate(size_t count) {
    return static_cast<NameSlot*>(allocateBytes(count * sizeof(NameSlot), alignof(NameSlot)));
}

void* ItemArena::allocateBytes(size_t bytes, size_t alignment) {
    const size_t padding =
        (alignment - reinterpret_cast<uintptr_t>(m_next) % alignment) % alignment;
    if (padding + bytes > m_left) {
        const size_t size = std::max(kBlockSize, bytes);
        void* start =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (start == MAP_FAILED) throw std::bad_alloc();
        m_blocks.push_back({start, size});
        m_next = static_cast<char*>(start);
        m_left = size;
    } else {
        m_next += padding;
        m_left -= padding;
    }
    void* start = m_next;
    m_next += bytes;
    m_left -= bytes;
    return start;
}

}  // namespace tarnwick
