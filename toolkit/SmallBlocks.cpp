#include "toolkit/SmallBlocks.h"

#include <cstdint>
#include <thread>

namespace {

// The size class that a block's header holds for a block of the system's heap.
constexpr std::size_t kLargeClass = 0;

std::size_t& ClassOf(char* block) { return *reinterpret_cast<std::size_t*>(block); }

}  // namespace

TSmallBlocks::TLock::TLock(std::atomic_flag& flag) : flag_(flag) {
    // Held for a few instructions only: a thread that finds it taken lets
    // the holder run on.
    while (flag_.test_and_set(std::memory_order_acquire)) {
        while (flag_.test(std::memory_order_relaxed)) std::this_thread::yield();
    }
}

void* TSmallBlocks::Allocate(std::size_t size) {
    if (size > kLargest) {
        if (size > SIZE_MAX - kGranule) return nullptr;
        auto* block = static_cast<char*>(source_.large(kGranule + size));
        if (!block) return nullptr;
        ClassOf(block) = kLargeClass;
        return block + kGranule;
    }
    const std::size_t sizeClass = size == 0 ? 1 : (size + kGranule - 1) / kGranule;
    const std::size_t blockSize = kGranule + sizeClass * kGranule;
    TLock lock(busy_);
    char* block;
    if (TFree* free = free_[sizeClass]) {
        free_[sizeClass] = free->next;
        block = reinterpret_cast<char*>(free) - kGranule;
    } else {
        if (static_cast<std::size_t>(end_ - next_) < blockSize) {
            // What is left of the chunk is less than a block: it stays unused.
            auto* chunk = static_cast<char*>(source_.chunk(kChunk));
            if (!chunk) return nullptr;
            next_ = chunk;
            end_ = chunk + kChunk;
        }
        block = next_;
        next_ += blockSize;
        ClassOf(block) = sizeClass;
    }
    return block + kGranule;
}

void TSmallBlocks::Release(void* pointer) noexcept {
    if (!pointer) return;
    char* block = static_cast<char*>(pointer) - kGranule;
    const std::size_t sizeClass = ClassOf(block);
    if (sizeClass == kLargeClass) {
        source_.freeLarge(block);
        return;
    }
    auto* free = static_cast<TFree*>(pointer);
    TLock lock(busy_);
    free->next = free_[sizeClass];
    free_[sizeClass] = free;
}
