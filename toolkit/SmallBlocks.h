#pragma once
// The program's own heap for small blocks: a tree node, its texts and the
// records behind them. Blocks of up to kLargest bytes are cut from large
// chunks and kept for reuse when they are freed, one free list per size
// class of kGranule bytes; larger blocks go to the system's heap. Allocating
// takes a few instructions and a block freed by a listing serves the next
// listing without the system handing out (and clearing) fresh pages again.
//
// Every block carries its size class in the kGranule bytes before it, so
// that freeing needs no size. Safe to use from several threads at once. It
// is made before any constructor runs (constant initialisation), so that it
// can serve as the program's operator new.
#include <atomic>
#include <cstddef>

class TSmallBlocks {
public:
    static constexpr std::size_t kGranule = 16;  // the size classes' step and the alignment
    static constexpr std::size_t kLargest = 1024;
    static constexpr std::size_t kChunk = std::size_t{1} << 20;

    struct TSource {
        void* (*chunk)(std::size_t bytes);  // kChunk bytes aligned to kGranule; nullptr if none
        void* (*large)(std::size_t bytes);  // aligned to kGranule; nullptr if none
        void (*freeLarge)(void* block);
    };

    constexpr explicit TSmallBlocks(TSource source) : source_(source) {}
    TSmallBlocks(const TSmallBlocks&) = delete;
    TSmallBlocks& operator=(const TSmallBlocks&) = delete;

    // At least size bytes (a zero size counts as one), aligned to kGranule;
    // nullptr when the source has no memory left.
    void* Allocate(std::size_t size);
    // A block of Allocate, or nullptr.
    void Release(void* block) noexcept;

private:
    struct TFree {
        TFree* next;
    };
    class TLock {
    public:
        explicit TLock(std::atomic_flag& flag);
        ~TLock() { flag_.clear(std::memory_order_release); }

    private:
        std::atomic_flag& flag_;
    };

    TSource source_;
    std::atomic_flag busy_;
    TFree* free_[kLargest / kGranule + 1] = {};
    char* next_ = nullptr;  // the rest of the current chunk
    char* end_ = nullptr;
};
