// The program's operator new, as the Windows programs link it.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "toolkit/SmallBlocks.h"

namespace {

std::size_t SizeClassOf(const void* block) {
    std::size_t sizeClass;
    const auto header = reinterpret_cast<std::uintptr_t>(block) - TSmallBlocks::kGranule;
    std::memcpy(&sizeClass, reinterpret_cast<const void*>(header), sizeof sizeClass);
    return sizeClass;
}

TEST(OperatorNew, SmallBlocksComeFromTheProgramsHeapAndLargeOnesFromTheSystems) {
    // The block's header names its size class: 100 bytes are the class of
    // 112; a block larger than the largest small one is the system's (0).
    auto small = std::make_unique<char[]>(100);
    EXPECT_EQ(SizeClassOf(small.get()), 7u);
    auto large = std::make_unique<char[]>(TSmallBlocks::kLargest + 1);
    EXPECT_EQ(SizeClassOf(large.get()), 0u);
    const std::string text(500, 'x');  // the library's own allocations too
    EXPECT_EQ(SizeClassOf(text.data()), 32u);
}

TEST(OperatorNew, ABlockFreedOnAnotherThreadIsReused) {
    char* block = new char[200];
    std::thread([block] { delete[] block; }).join();
    std::unique_ptr<char[]> again(new char[200]);
    EXPECT_EQ(again.get(), block);
}

TEST(OperatorNew, MoreThanThereIsThrowsBadAlloc) {
    // Called as functions: a new-expression whose block is not used may be
    // left out altogether. The sizes come from outside the compiler's sight.
    volatile std::size_t huge = SIZE_MAX / 2;
    volatile std::size_t most = SIZE_MAX - 4;
    EXPECT_THROW(::operator delete(::operator new(huge)), std::bad_alloc);
    EXPECT_THROW(::operator delete[](::operator new[](most)), std::bad_alloc);
    EXPECT_EQ(::operator new(most, std::nothrow), nullptr);
}

}  // namespace
