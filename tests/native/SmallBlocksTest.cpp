#include "toolkit/SmallBlocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

// The pool's memory, counted; chunks are handed back when the test ends.
struct Source {
    static inline std::mutex lock;
    static inline std::vector<void*> chunks;
    static inline int chunksLeft = 1 << 30;  // then the system has no more
    static inline int large = 0;              // large blocks not yet freed

    static void* Chunk(std::size_t bytes) {
        std::lock_guard<std::mutex> guard(lock);
        if (chunksLeft == 0) return nullptr;
        --chunksLeft;
        void* chunk = std::malloc(bytes);  // 16-byte aligned on x86-64
        chunks.push_back(chunk);
        return chunk;
    }
    static void* Large(std::size_t bytes) {
        std::lock_guard<std::mutex> guard(lock);
        ++large;
        return std::malloc(bytes);
    }
    static void FreeLarge(void* block) {
        std::lock_guard<std::mutex> guard(lock);
        --large;
        std::free(block);
    }
};

class SmallBlocksTest : public testing::Test {
protected:
    void SetUp() override {
        Source::chunks.clear();
        Source::chunksLeft = 1 << 30;
        Source::large = 0;
    }
    void TearDown() override {
        for (void* chunk : Source::chunks) std::free(chunk);
    }
    TSmallBlocks blocks{{Source::Chunk, Source::Large, Source::FreeLarge}};
};

bool Aligned(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) % TSmallBlocks::kGranule == 0;
}

// Each block filled with its own byte; true when every block still holds
// only its own.
struct Block {
    unsigned char* p;
    std::size_t size;
    unsigned char mark;
};
bool Intact(const std::vector<Block>& blocks) {
    return std::all_of(blocks.begin(), blocks.end(), [](const Block& b) {
        return std::all_of(b.p, b.p + b.size, [&](unsigned char c) { return c == b.mark; });
    });
}

TEST_F(SmallBlocksTest, EveryBlockIsAlignedAndItsWholeSizeIsItsOwn) {
    // Every size up to beyond the largest small one, several times over:
    // more than one chunk, and blocks of the system's heap among them.
    std::vector<Block> live;
    for (int round = 0; round < 40; ++round) {
        for (std::size_t size = 0; size <= TSmallBlocks::kLargest + 40; ++size) {
            auto* p = static_cast<unsigned char*>(blocks.Allocate(size));
            ASSERT_NE(p, nullptr);
            ASSERT_TRUE(Aligned(p)) << size;
            const auto mark = static_cast<unsigned char>(live.size() * 7 + 1);
            std::memset(p, mark, size);
            live.push_back({p, size, mark});
        }
    }
    EXPECT_GT(Source::chunks.size(), 1u);
    EXPECT_EQ(Source::large, 40 * 40);
    EXPECT_TRUE(Intact(live));
    for (const Block& b : live) blocks.Release(b.p);
    EXPECT_EQ(Source::large, 0);  // large blocks went back to the system
}

TEST_F(SmallBlocksTest, AFreedBlockServesTheNextOfItsSizeClassOnly) {
    void* a = blocks.Allocate(100);
    void* b = blocks.Allocate(100);
    blocks.Release(a);
    // Another size class does not get it.
    void* other = blocks.Allocate(200);
    EXPECT_NE(other, a);
    // The same class does, also for another size within the class.
    EXPECT_EQ(blocks.Allocate(97), a);
    blocks.Release(b);
    blocks.Release(a);
    EXPECT_EQ(blocks.Allocate(112), a);  // the last freed first
    EXPECT_EQ(blocks.Allocate(100), b);
    const std::size_t chunks = Source::chunks.size();
    // Freed memory is kept: freeing and making 10,000 blocks again and
    // again asks the system for no more chunks after the first round.
    for (int round = 0; round < 5; ++round) {
        std::vector<void*> made;
        for (int i = 0; i < 10000; ++i) made.push_back(blocks.Allocate(500));
        for (void* p : made) blocks.Release(p);
        if (round == 0) {
            EXPECT_GT(Source::chunks.size(), chunks);
        }
    }
    EXPECT_LE(Source::chunks.size(), chunks + 10000 * 528 / TSmallBlocks::kChunk + 1);
    blocks.Release(nullptr);
}

TEST_F(SmallBlocksTest, NoMemoryLeftIsNullAndTheBlocksMadeBeforeStayGood) {
    Source::chunksLeft = 1;
    std::vector<Block> live;
    void* p;
    while ((p = blocks.Allocate(1000)) != nullptr) {
        std::memset(p, 0x5A, 1000);
        live.push_back({static_cast<unsigned char*>(p), 1000, 0x5A});
    }
    // 1,000 bytes take the class of 1,008 and a header of 16.
    EXPECT_EQ(live.size(), TSmallBlocks::kChunk / 1024);
    EXPECT_TRUE(Intact(live));
    // A freed block is still there for the asking; an oversized request is not.
    blocks.Release(live.back().p);
    EXPECT_EQ(blocks.Allocate(1000), live.back().p);
    EXPECT_EQ(blocks.Allocate(SIZE_MAX - 8), nullptr);
}

TEST_F(SmallBlocksTest, ThreadsAllocatingAndFreeingAtOnceShareNoBlock) {
    // Each thread keeps up to 64 blocks of random sizes, filled with its own
    // pattern, and frees them in random order; one thread also frees what
    // another made (handed over through a shared list).
    std::mutex handLock;
    std::vector<Block> handed;
    std::atomic<bool> broken{false};
    auto work = [&](unsigned seed) {
        std::mt19937 random(seed);
        std::vector<Block> mine;
        for (int i = 0; i < 20000; ++i) {
            if (mine.size() < 64 && random() % 3 != 0) {
                const std::size_t size = random() % 1200;
                auto* p = static_cast<unsigned char*>(blocks.Allocate(size));
                const auto mark = static_cast<unsigned char>(seed * 31 + i);
                std::memset(p, mark, size);
                mine.push_back({p, size, mark});
            } else if (!mine.empty()) {
                const std::size_t k = random() % mine.size();
                if (!Intact({mine[k]})) broken = true;
                if (random() % 4 == 0) {
                    std::lock_guard<std::mutex> guard(handLock);
                    handed.push_back(mine[k]);
                } else {
                    blocks.Release(mine[k].p);
                }
                mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(k));
            }
            std::lock_guard<std::mutex> guard(handLock);
            if (!handed.empty() && random() % 2 == 0) {
                if (!Intact({handed.back()})) broken = true;
                blocks.Release(handed.back().p);
                handed.pop_back();
            }
        }
        if (!Intact(mine)) broken = true;
        for (const Block& b : mine) blocks.Release(b.p);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t <= 4; ++t) threads.emplace_back(work, t);
    for (auto& t : threads) t.join();
    EXPECT_FALSE(broken);
    EXPECT_TRUE(Intact(handed));
    for (const Block& b : handed) blocks.Release(b.p);
    EXPECT_EQ(Source::large, 0);
}

}  // namespace
