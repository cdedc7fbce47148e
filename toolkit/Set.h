#pragma once
// A set over an enumeration whose members are numbered 0 .. N-1, kept as one
// bit per member (bit i for the member of ordinal i).
#include <cstdint>
#include <initializer_list>

template <typename E, int N>
class TSet {
    static_assert(N > 0 && N <= 64, "a set holds at most 64 members");

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) {
        for (E m : members) Include(m);
    }
    static constexpr TSet FromBits(std::uint64_t bits) {
        TSet s;
        s.bits_ = bits & Mask();
        return s;
    }

    constexpr bool Contains(E m) const { return (bits_ >> Ordinal(m)) & 1u; }
    constexpr void Include(E m) { bits_ |= std::uint64_t{1} << Ordinal(m); }
    constexpr void Exclude(E m) { bits_ &= ~(std::uint64_t{1} << Ordinal(m)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint64_t Bits() const { return bits_; }

    constexpr friend bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
    constexpr friend TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }

    // Members in ascending ordinal order.
    template <typename F>
    constexpr void ForEach(F f) const {
        for (int i = 0; i < N; ++i)
            if ((bits_ >> i) & 1u) f(static_cast<E>(i));
    }

private:
    static constexpr int Ordinal(E m) { return static_cast<int>(m); }
    static constexpr std::uint64_t Mask() {
        return N == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << N) - 1;
    }
    std::uint64_t bits_ = 0;
};
