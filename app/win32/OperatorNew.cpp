// The program's operator new and delete: small blocks from its own heap
// (toolkit/SmallBlocks.h), chunks and large blocks from the system. The
// system's heap under Wine costs some 300 ns per block and hands freed
// pages back, to be cleared again for the next listing; a listing makes
// three blocks per entry.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "toolkit/SmallBlocks.h"

namespace {

void* Chunk(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

// msvcrt's malloc aligns to 16 bytes on x64.
constinit TSmallBlocks blocks({Chunk, std::malloc, std::free});

void* New(std::size_t size) {
    for (;;) {
        if (void* block = blocks.Allocate(size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

}  // namespace

void* operator new(std::size_t size) { return New(size); }
void* operator new[](std::size_t size) { return New(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return New(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept {
    return operator new(size, nothrow);
}
void operator delete(void* block) noexcept { blocks.Release(block); }
void operator delete[](void* block) noexcept { blocks.Release(block); }
void operator delete(void* block, std::size_t) noexcept { blocks.Release(block); }
void operator delete[](void* block, std::size_t) noexcept { blocks.Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { blocks.Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { blocks.Release(block); }
