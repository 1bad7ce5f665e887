// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/FFT.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace tessmar {
namespace {

struct Signal {
    std::vector<double> re, im;
};

Signal RandomSignal(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-32768.0, 32767.0);
    Signal s{std::vector<double>(n), std::vector<double>(n)};
    for (int i = 0; i < n; ++i) {
        s.re[i] = dist(rng);
        s.im[i] = dist(rng);
    }
    return s;
}

// The textbook definition, in long double: forward scaled by 1/N, any other direction not.
Signal PlainDft(const Signal& x, int direction) {
    const int n = int(x.re.size());
    const long double sign = direction == 1 ? -1.0L : 1.0L;
    Signal out{std::vector<double>(n), std::vector<double>(n)};
    for (int k = 0; k < n; ++k) {
        std::complex<long double> sum = 0;
        for (int j = 0; j < n; ++j) {
            const long double angle = sign * 2 * std::numbers::pi_v<long double> *
                                      ((static_cast<long long>(k) * j) % n) / n;
            sum +=
                std::complex<long double>(x.re[j], x.im[j]) * std::polar<long double>(1.0L, angle);
        }
        if (direction == 1) {
            sum /= n;
        }
        out.re[k] = double(sum.real());
        out.im[k] = double(sum.imag());
    }
    return out;
}

double MaxDifference(const Signal& a, const Signal& b) {
    double worst = 0;
    for (std::size_t i = 0; i < a.re.size(); ++i) {
        worst = std::max({worst, std::abs(a.re[i] - b.re[i]), std::abs(a.im[i] - b.im[i])});
    }
    return worst;
}

// The transform written out in its plainest form: walk every index for the permutation,
// then each stage group by group with the twiddle advanced by the stage rotation.
void PlainFFT(int direction, int m, double* re, double* im) {
    int n = 1;
    for (int i = 0; i < m; ++i) {
        n *= 2;
    }
    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        int k = n >> 1;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
    double c1 = -1.0, c2 = 0.0;
    int l2 = 1;
    for (int stage = 0; stage < m; ++stage) {
        const int l1 = l2;
        l2 *= 2;
        double u1 = 1.0, u2 = 0.0;
        for (int g = 0; g < l1; ++g) {
            for (int i = g; i < n; i += l2) {
                const int i1 = i + l1;
                const double t1 = u1 * re[i1] - u2 * im[i1];
                const double t2 = u1 * im[i1] + u2 * re[i1];
                re[i1] = re[i] - t1;
                im[i1] = im[i] - t2;
                re[i] += t1;
                im[i] += t2;
            }
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (direction == 1) {
            c2 = -c2;
        }
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }
    if (direction == 1) {
        for (int i = 0; i < n; ++i) {
            re[i] /= n;
            im[i] /= n;
        }
    }
}

Signal Transformed(Signal s, int direction, int log2Size) {
    EXPECT_EQ(FFT(direction, log2Size, s.re.data(), s.im.data()), 1);
    return s;
}

TEST(FFT, MatchesPlainDftForEverySizeAndBothKernels) {
    for (int m = 1; m <= 11; ++m) {
        const int n = 1 << m;
        const Signal x = RandomSignal(n, 100 + m);
        for (int direction : {1, -1}) {
            const Signal expected = PlainDft(x, direction);
            const double scale = direction == 1 ? 32768.0 : 32768.0 * n;
            EXPECT_LT(MaxDifference(Transformed(x, direction, m), expected), 1e-12 * scale)
                << "M=" << m << " direction=" << direction;
        }
    }
}

TEST(FFT, GivesExactlyThePlainFormsResults) {
    for (int m = 0; m <= 12; ++m) {
        const Signal x = RandomSignal(1 << m, 200 + m);
        for (int direction : {1, -1}) {
            Signal plain = x;
            PlainFFT(direction, m, plain.re.data(), plain.im.data());
            const Signal fast = Transformed(x, direction, m);
            ASSERT_EQ(fast.re, plain.re) << "M=" << m << " direction=" << direction;
            ASSERT_EQ(fast.im, plain.im) << "M=" << m << " direction=" << direction;
        }
    }
}

TEST(FFT, OnlyDirectionOneIsForwardAndTheInverseRestoresTheInput) {
    const Signal x = RandomSignal(1024, 7);
    const Signal spectrum = Transformed(x, 1, 10);
    const Signal backWithMinusOne = Transformed(spectrum, -1, 10);
    EXPECT_LT(MaxDifference(backWithMinusOne, x), 1e-12 * 32768.0);
    for (int direction : {0, 2, -7, 1 << 30}) {
        const Signal back = Transformed(spectrum, direction, 10);
        EXPECT_EQ(back.re, backWithMinusOne.re) << "direction " << direction;
        EXPECT_EQ(back.im, backWithMinusOne.im) << "direction " << direction;
    }
}

TEST(FFT, SizeOneForZeroOrNegativeLog2Size) {
    for (int m : {0, -1, -30}) {
        for (int direction : {1, 0}) {
            double re[2] = {3.5, 99.0};
            double im[2] = {-2.25, 99.0};
            EXPECT_EQ(FFT(direction, m, re, im), 1);
            EXPECT_EQ(re[0], 3.5);
            EXPECT_EQ(im[0], -2.25);
            EXPECT_EQ(re[1], 99.0) << "only one element may be touched";
        }
    }
}

TEST(FFT, TwoPoints) {
    double re[2] = {3, 5}, im[2] = {0, 0};
    FFT(1, 1, re, im);
    EXPECT_EQ(re[0], 4);
    EXPECT_EQ(re[1], -1);
    EXPECT_EQ(im[0], 0);
    EXPECT_EQ(im[1], 0);

    double re2[2] = {3, 5}, im2[2] = {0, 0};
    FFT(-1, 1, re2, im2);
    EXPECT_EQ(re2[0], 8);
    EXPECT_EQ(re2[1], -2);
}

TEST(FFT, ImpulseSpreadsEvenlyWithForwardScaling) {
    std::vector<double> re(1024, 0.0), im(1024, 0.0);
    re[0] = 1.0;
    FFT(1, 10, re.data(), im.data());
    for (int k = 0; k < 1024; ++k) {
        ASSERT_EQ(re[k], 0.0009765625) << k;
        ASSERT_EQ(im[k], 0.0) << k;
    }
}

TEST(FFT, ForwardKernelPutsAPositiveRotationIntoBinOne) {
    std::vector<double> re(1024), im(1024);
    for (int n = 0; n < 1024; ++n) {
        re[n] = std::cos(2 * std::numbers::pi * n / 1024);
        im[n] = std::sin(2 * std::numbers::pi * n / 1024);
    }
    FFT(1, 10, re.data(), im.data());
    EXPECT_NEAR(re[1], 1.0, 1e-12);
    EXPECT_NEAR(im[1], 0.0, 1e-12);
    EXPECT_NEAR(std::hypot(re[1023], im[1023]), 0.0, 1e-12);
}

TEST(FFT, RealCosineSplitsIntoTwoMirroredBins) {
    std::vector<double> re(1024), im(1024, 0.0);
    for (int n = 0; n < 1024; ++n) {
        re[n] = 2000 * std::cos(2 * std::numbers::pi * 41 * n / 1024);
    }
    FFT(1, 10, re.data(), im.data());
    for (int k = 0; k < 1024; ++k) {
        const double expected = (k == 41 || k == 1024 - 41) ? 1000.0 : 0.0;
        ASSERT_NEAR(std::hypot(re[k], im[k]), expected, 1e-9) << "bin " << k;
    }
}

} // namespace
} // namespace tessmar
