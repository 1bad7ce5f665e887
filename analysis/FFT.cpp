// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/FFT.h"

#include <bit>
#include <cmath>
#include <utility>

// The vector helpers below never cross a call boundary (they are always inlined), so
// GCC's note that AVX changes how vectors are passed does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

// The vector loops also come in an AVX2 build, chosen when the program is loaded. The
// chooser runs before ThreadSanitizer is ready, so its builds keep the baseline alone.
#if defined(__SANITIZE_THREAD__)
#define TESSMAR_VECTOR_CLONES
#else
#define TESSMAR_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

namespace tessmar {
namespace {

// Reverses the low `bits` bits of x (bits >= 1).
inline std::uint32_t ReverseBits(std::uint32_t x, int bits) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
    x = ((x >> 8) & 0x00FF00FFu) | ((x & 0x00FF00FFu) << 8);
    x = (x >> 16) | (x << 16);
    return x >> (32 - bits);
}

// Element i trades places with the element whose index is i with its log2Size low bits
// reversed, identically in both arrays. Rather than walking every index and testing it,
// an index is split into a high half h, an optional middle bit and a low half l, so that
// reversing it swaps the halves: (h, mid, l) pairs with (rev l, mid, rev h). Each pair is
// visited once, for rev l > h, without a data-dependent branch.
void BitReverse(std::int32_t log2Size, double* re, double* im) {
    if (log2Size < 2) {
        return; // one or two elements stay where they are
    }
    const int half = log2Size >> 1;
    const int middle = log2Size & 1;
    const std::int32_t side = std::int32_t(1) << half;
    const int highShift = half + middle;
    for (std::int32_t mid = 0; mid <= middle; ++mid) {
        for (std::int32_t h = 0; h < side; ++h) {
            const std::int32_t low = mid << half;
            const std::int32_t iBase = (h << highShift) | low;
            const std::int32_t jLow = low | std::int32_t(ReverseBits(h, half));
            // rev(r) for r = h + 1, h + 2, ...: stepping r flips its trailing ones and the
            // next zero, so rev(r) flips as many bits from the top.
            std::int32_t revR = jLow & (side - 1);
            for (std::int32_t r = h + 1; r < side; ++r) {
                revR ^= side - (side >> (std::countr_zero(static_cast<std::uint32_t>(r)) + 1));
                const std::int32_t i = iBase | revR;
                const std::int32_t j = (r << highShift) | jLow;
                std::swap(re[i], re[j]);
                std::swap(im[i], im[j]);
            }
        }
    }
}

inline void Butterfly(double* __restrict re, double* __restrict im, std::int32_t i, std::int32_t i1,
                      double u1, double u2) {
    const double t1 = u1 * re[i1] - u2 * im[i1];
    const double t2 = u1 * im[i1] + u2 * re[i1];
    re[i1] = re[i] - t1;
    im[i1] = im[i] - t2;
    re[i] = re[i] + t1;
    im[i] = im[i] + t2;
}

// A stage of fewer groups than vector lanes, in plain scalar code (two or four points).
void NarrowStage(std::int32_t n, std::int32_t l1, double c1, double c2, double* __restrict re,
                 double* __restrict im) {
    double u1 = 1.0;
    double u2 = 0.0;
    for (std::int32_t g = 0; g < l1; ++g) {
        for (std::int32_t i = g; i < n; i += 2 * l1) {
            Butterfly(re, im, i, i + l1, u1, u2);
        }
        const double next1 = u1 * c1 - u2 * c2;
        u2 = u1 * c2 + u2 * c1;
        u1 = next1;
    }
}

// Four neighbouring doubles. GCC and Clang lower the element-wise operations to whatever
// vector width the target has, or to plain scalar code; each lane computes exactly what
// the scalar butterfly would.
using Lanes = double __attribute__((vector_size(32)));
constexpr std::int32_t kLanes = 4;

// Always inlined: each target clone must get its own copy, since a vector crosses a call
// differently with and without AVX.
[[gnu::always_inline]] inline Lanes Load(const double* p) {
    Lanes v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline void Store(double* p, Lanes v) {
    __builtin_memcpy(p, &v, sizeof v);
}

// The first two stages together, eight elements at a time. Their twiddles are exactly
// what the recurrence yields there: 1 in stage one; 1 and (+0, -+1) in stage two. The
// butterflies multiply by them in full, so every result, down to the sign of a zero, is
// the one the stage-by-stage loop gives; shuffles line up the partners lane by lane.
TESSMAR_VECTOR_CLONES void FirstTwoStages(std::int32_t n, bool forward, double* __restrict re,
                                          double* __restrict im) {
    const double s = forward ? -1.0 : 1.0;
    const Lanes one = {1.0, 1.0, 1.0, 1.0};
    const Lanes zero = {0.0, 0.0, 0.0, 0.0};
    const Lanes w1 = {1.0, 1.0, 0.0, 0.0};
    const Lanes w2 = {0.0, 0.0, s, s};
    for (std::int32_t i = 0; i < n; i += 8) {
        const Lanes ar = Load(re + i), br = Load(re + i + 4);
        const Lanes ai = Load(im + i), bi = Load(im + i + 4);
        // Stage one pairs (0,1) (2,3) (4,5) (6,7): lanes hold 0 2 4 6 against 1 3 5 7.
        const Lanes lr = __builtin_shufflevector(ar, br, 0, 2, 4, 6);
        const Lanes li = __builtin_shufflevector(ai, bi, 0, 2, 4, 6);
        const Lanes rr = __builtin_shufflevector(ar, br, 1, 3, 5, 7);
        const Lanes ri = __builtin_shufflevector(ai, bi, 1, 3, 5, 7);
        Lanes t1 = one * rr - zero * ri;
        Lanes t2 = one * ri + zero * rr;
        const Lanes yr0 = lr + t1, yi0 = li + t2; // elements 0 2 4 6
        const Lanes yr1 = lr - t1, yi1 = li - t2; // elements 1 3 5 7
        // Stage two pairs (0,2) (4,6) with twiddle 1 and (1,3) (5,7) with (0, s).
        const Lanes pr = __builtin_shufflevector(yr0, yr1, 0, 2, 4, 6); // 0 4 1 5
        const Lanes pi = __builtin_shufflevector(yi0, yi1, 0, 2, 4, 6);
        const Lanes qr = __builtin_shufflevector(yr0, yr1, 1, 3, 5, 7); // 2 6 3 7
        const Lanes qi = __builtin_shufflevector(yi0, yi1, 1, 3, 5, 7);
        t1 = w1 * qr - w2 * qi;
        t2 = w1 * qi + w2 * qr;
        const Lanes zr0 = pr + t1, zi0 = pi + t2; // elements 0 4 1 5
        const Lanes zr1 = pr - t1, zi1 = pi - t2; // elements 2 6 3 7
        Store(re + i, __builtin_shufflevector(zr0, zr1, 0, 2, 4, 6));
        Store(im + i, __builtin_shufflevector(zi0, zi1, 0, 2, 4, 6));
        Store(re + i + 4, __builtin_shufflevector(zr0, zr1, 1, 3, 5, 7));
        Store(im + i + 4, __builtin_shufflevector(zi0, zi1, 1, 3, 5, 7));
    }
}

// One stage with half-span l1 >= 4, four neighbouring groups at a time: their twiddles
// come from the recurrence in group order, and their butterflies touch neighbouring
// elements.
TESSMAR_VECTOR_CLONES void Stage(std::int32_t n, std::int32_t l1, double c1, double c2,
                                 double* __restrict re, double* __restrict im) {
    const std::int32_t l2 = 2 * l1;
    double u1 = 1.0;
    double u2 = 0.0;
    for (std::int32_t g = 0; g < l1; g += kLanes) {
        Lanes w1;
        Lanes w2;
        for (std::int32_t k = 0; k < kLanes; ++k) {
            w1[k] = u1;
            w2[k] = u2;
            const double next1 = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = next1;
        }
        for (std::int32_t i = g; i < n; i += l2) {
            const Lanes ar = Load(re + i);
            const Lanes ai = Load(im + i);
            const Lanes br = Load(re + i + l1);
            const Lanes bi = Load(im + i + l1);
            const Lanes t1 = w1 * br - w2 * bi;
            const Lanes t2 = w1 * bi + w2 * br;
            Store(re + i + l1, ar - t1);
            Store(im + i + l1, ai - t2);
            Store(re + i, ar + t1);
            Store(im + i, ai + t2);
        }
    }
}

} // namespace

std::int32_t FFT(std::int32_t direction, std::int32_t log2Size, double* re, double* im) {
    std::int32_t n = 1;
    for (std::int32_t m = 0; m < log2Size; ++m) {
        n *= 2;
    }
    BitReverse(log2Size, re, im);

    const bool forward = direction == 1;
    double c1 = -1.0;
    double c2 = 0.0;
    auto halveAngle = [&] {
        const double old = c1;
        c2 = std::sqrt((1.0 - old) / 2.0);
        if (forward) {
            c2 = -c2;
        }
        c1 = std::sqrt((1.0 + old) / 2.0);
    };

    std::int32_t l1 = 1;
    if (n >= 8) {
        FirstTwoStages(n, forward, re, im);
        halveAngle();
        halveAngle();
        l1 = 4;
    }
    for (; l1 < n; l1 *= 2) {
        if (l1 < kLanes) {
            NarrowStage(n, l1, c1, c2, re, im);
        } else {
            Stage(n, l1, c1, c2, re, im);
        }
        halveAngle();
    }

    if (forward) {
        // 1/n is a power of two, so the product equals the quotient exactly.
        const double scale = 1.0 / n;
        for (std::int32_t i = 0; i < n; ++i) {
            re[i] *= scale;
            im[i] *= scale;
        }
    }
    return 1;
}

} // namespace tessmar
