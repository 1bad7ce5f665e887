#include "analysis/FFT.h"

#include <cmath>
#include <utility>

namespace tessmar {
namespace {

// Element i trades places with element bitreverse(i), identically in both arrays.
void BitReverse(std::int32_t n, double* re, double* im) {
    const std::int32_t half = n >> 1;
    std::int32_t j = 0;
    for (std::int32_t i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        std::int32_t k = half;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
}

inline void Butterfly(double* __restrict re, double* __restrict im, std::int32_t i,
                      std::int32_t i1, double u1, double u2) {
    const double t1 = u1 * re[i1] - u2 * im[i1];
    const double t2 = u1 * im[i1] + u2 * re[i1];
    re[i1] = re[i] - t1;
    im[i1] = im[i] - t2;
    re[i] = re[i] + t1;
    im[i] = im[i] + t2;
}

// The first two stages together, one group of four elements at a time. Their twiddles
// are exactly what the recurrence yields there: 1 in stage one; 1 and (+0, -+1) in stage
// two. The butterflies are written out in full so that every result, down to the sign of
// a zero, is the one the stage-by-stage loop gives.
void FirstTwoStages(std::int32_t n, bool forward, double* __restrict re, double* __restrict im) {
    const double s = forward ? -1.0 : 1.0;
    for (std::int32_t i = 0; i < n; i += 4) {
        Butterfly(re, im, i, i + 1, 1.0, 0.0);
        Butterfly(re, im, i + 2, i + 3, 1.0, 0.0);
        Butterfly(re, im, i, i + 2, 1.0, 0.0);
        Butterfly(re, im, i + 1, i + 3, 0.0, s);
    }
}

// One stage with half-span l1 >= 4, four neighbouring groups at a time: their twiddles
// come from the recurrence in group order, and their butterflies touch neighbouring
// elements, which the compiler turns into vector operations.
void Stage(std::int32_t n, std::int32_t l1, double c1, double c2, double* __restrict re,
           double* __restrict im) {
    constexpr std::int32_t kLanes = 4;
    const std::int32_t l2 = 2 * l1;
    double u1 = 1.0;
    double u2 = 0.0;
    for (std::int32_t g = 0; g < l1; g += kLanes) {
        double w1[kLanes];
        double w2[kLanes];
        for (std::int32_t k = 0; k < kLanes; ++k) {
            w1[k] = u1;
            w2[k] = u2;
            const double next1 = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = next1;
        }
        for (std::int32_t i = g; i < n; i += l2) {
            for (std::int32_t k = 0; k < kLanes; ++k) {
                Butterfly(re, im, i + k, i + k + l1, w1[k], w2[k]);
            }
        }
    }
}

} // namespace

std::int32_t FFT(std::int32_t direction, std::int32_t log2Size, double* re, double* im) {
    std::int32_t n = 1;
    for (std::int32_t m = 0; m < log2Size; ++m) {
        n *= 2;
    }
    BitReverse(n, re, im);

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

    if (log2Size == 1) {
        Butterfly(re, im, 0, 1, 1.0, 0.0);
    } else if (log2Size >= 2) {
        FirstTwoStages(n, forward, re, im);
        halveAngle();
        halveAngle();
        for (std::int32_t l1 = 4; l1 < n; l1 *= 2) {
            Stage(n, l1, c1, c2, re, im);
            halveAngle();
        }
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
