// pz_bits.h -- a line as a fixed row of 64-bit words, for lines longer than one word
#pragma once

// The word form of the line solver and the learning search keep a line's cells as bits
// (bit i: cell i). Up to pz_max_word_line cells a line is one uint64_t; longer lines are
// pz_bits<n>, n words with the same operators (shifts, addition with carry), so that the
// same code serves both. Bits at and above 64 * n fall off.

#include <cstdint>
#include <type_traits>

template <int n> struct pz_bits {
    static_assert(n >= 1 && n <= 8, "a handful of words");
    uint64_t w[n] = {};

    constexpr pz_bits() = default;
    constexpr pz_bits(uint64_t low) { w[0] = low; } // NOLINT: stands in for a uint64_t

    friend constexpr pz_bits operator&(pz_bits a, const pz_bits &b) {
        for (int i = 0; i < n; ++i)
            a.w[i] &= b.w[i];
        return a;
    }
    friend constexpr pz_bits operator|(pz_bits a, const pz_bits &b) {
        for (int i = 0; i < n; ++i)
            a.w[i] |= b.w[i];
        return a;
    }
    friend constexpr pz_bits operator^(pz_bits a, const pz_bits &b) {
        for (int i = 0; i < n; ++i)
            a.w[i] ^= b.w[i];
        return a;
    }
    constexpr pz_bits operator~() const {
        pz_bits r;
        for (int i = 0; i < n; ++i)
            r.w[i] = ~w[i];
        return r;
    }
    constexpr pz_bits &operator&=(const pz_bits &b) { return *this = *this & b; }
    constexpr pz_bits &operator|=(const pz_bits &b) { return *this = *this | b; }
    friend constexpr pz_bits operator+(const pz_bits &a, const pz_bits &b) {
        pz_bits r;
        uint64_t carry = 0;
        for (int i = 0; i < n; ++i) {
            const uint64_t s = a.w[i] + b.w[i];
            const uint64_t t = s + carry;
            carry = (s < a.w[i]) | (t < s);
            r.w[i] = t;
        }
        return r;
    }
    friend constexpr pz_bits operator<<(const pz_bits &a, int s) {
        pz_bits r;
        const int q = s >> 6, b = s & 63;
        for (int i = n - 1; i >= q; --i) {
            uint64_t v = a.w[i - q] << b;
            if (b && i - q - 1 >= 0)
                v |= a.w[i - q - 1] >> (64 - b);
            r.w[i] = v;
        }
        return r;
    }
    friend constexpr pz_bits operator>>(const pz_bits &a, int s) {
        pz_bits r;
        const int q = s >> 6, b = s & 63;
        for (int i = 0; i + q < n; ++i) {
            uint64_t v = a.w[i + q] >> b;
            if (b && i + q + 1 < n)
                v |= a.w[i + q + 1] << (64 - b);
            r.w[i] = v;
        }
        return r;
    }
    friend constexpr bool operator==(const pz_bits &a, const pz_bits &b) {
        for (int i = 0; i < n; ++i)
            if (a.w[i] != b.w[i])
                return false;
        return true;
    }
    constexpr explicit operator bool() const {
        for (int i = 0; i < n; ++i)
            if (w[i])
                return true;
        return false;
    }
};

// The operations the line code needs beyond the operators, for both forms.
inline bool pz_bit(uint64_t x, int i) { return (x >> i) & 1; }
template <int n> bool pz_bit(const pz_bits<n> &x, int i) { return (x.w[i >> 6] >> (i & 63)) & 1; }
inline void pz_bit_set(uint64_t &x, int i) { x |= uint64_t{1} << i; }
inline void pz_bit_set(uint32_t &x, int i) { x |= uint32_t{1} << i; }
template <int n> void pz_bit_set(pz_bits<n> &x, int i) { x.w[i >> 6] |= uint64_t{1} << (i & 63); }
inline void pz_bit_clear(uint64_t &x, int i) { x &= ~(uint64_t{1} << i); }
template <int n> void pz_bit_clear(pz_bits<n> &x, int i) { x.w[i >> 6] &= ~(uint64_t{1} << (i & 63)); }

// Bits [0, count) set.
template <class W> W pz_low_bits(int count) {
    if constexpr (std::is_same_v<W, uint64_t>) {
        return count >= 64 ? ~W{0} : (W{1} << count) - 1;
    } else {
        W r{};
        for (int i = 0; i < static_cast<int>(sizeof(r.w) / sizeof(r.w[0])); ++i, count -= 64)
            r.w[i] = count >= 64 ? ~uint64_t{0} : count > 0 ? (uint64_t{1} << count) - 1 : 0;
        return r;
    }
}

// Calls f(i) for each set bit i, lowest first.
template <class f_type> void pz_each_bit(uint64_t x, f_type &&f) {
    for (; x; x &= x - 1)
        f(__builtin_ctzll(x));
}
template <int n, class f_type> void pz_each_bit(const pz_bits<n> &x, f_type &&f) {
    for (int k = 0; k < n; ++k)
        for (uint64_t v = x.w[k]; v; v &= v - 1)
            f(64 * k + __builtin_ctzll(v));
}

// A mixed hash of the words, for tables keyed by a line's state.
inline uint64_t pz_bits_hash(uint64_t x) { return x; }
template <int n> uint64_t pz_bits_hash(const pz_bits<n> &x) {
    uint64_t h = 0;
    for (int i = 0; i < n; ++i)
        h = (h ^ x.w[i]) * 0xff51afd7ed558ccdull + static_cast<uint64_t>(i);
    return h;
}

// Bit i moved to bit 64 * n - 1 - i (64 - 1 - i for one word).
inline uint64_t pz_reverse(uint64_t x) {
    x = __builtin_bswap64(x);
    x = ((x >> 4) & 0x0f0f0f0f0f0f0f0full) | ((x & 0x0f0f0f0f0f0f0f0full) << 4);
    x = ((x >> 2) & 0x3333333333333333ull) | ((x & 0x3333333333333333ull) << 2);
    return ((x >> 1) & 0x5555555555555555ull) | ((x & 0x5555555555555555ull) << 1);
}
template <int n> pz_bits<n> pz_reverse(const pz_bits<n> &x) {
    pz_bits<n> r;
    for (int i = 0; i < n; ++i)
        r.w[n - 1 - i] = pz_reverse(x.w[i]);
    return r;
}
