// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/PackedCurve.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace tessmar {
namespace {

constexpr std::int16_t kNoPitch = -32768;
constexpr std::int8_t kWhole = -128; // version 2: steps and pitch follow
constexpr std::int8_t kNone = -127;  // version 2: one step on, no pitch

void PutBytes(std::string& out, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        out += char((value >> (8 * i)) & 0xff);
    }
}

std::uint64_t GetBytes(const unsigned char* in, int count) {
    std::uint64_t value = 0;
    for (int i = count; i-- > 0;) {
        value = value << 8 | in[i];
    }
    return value;
}

} // namespace

std::string PackedCurve::Pack(const std::vector<TakeHistory::Take::Point>& curve, double start,
                              int schema) {
    double step = 0.0;
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const double gap = curve[i].seconds - curve[i - 1].seconds;
        step = gap > 0.001 && (step == 0.0 || gap < step) ? gap : step;
    }
    step = step > 0.0 ? step : 0.05;
    std::string out;
    const double first = curve.front().seconds - start;
    PutBytes(out, std::bit_cast<std::uint64_t>(first), 8);
    PutBytes(out, std::bit_cast<std::uint64_t>(step), 8);
    double at = curve.front().seconds;
    std::int16_t last = kNoPitch;
    const auto put = [&](long hops, std::int16_t pitch) {
        const int change = int(pitch) - int(last);
        if (schema >= 2 && hops == 1 && pitch == kNoPitch) {
            PutBytes(out, std::uint8_t(kNone), 1);
        } else if (schema >= 2 && hops == 1 && last != kNoPitch && pitch != kNoPitch &&
                   change > kNone && change <= 127) {
            PutBytes(out, std::uint8_t(std::int8_t(change)), 1);
        } else {
            if (schema >= 2) {
                PutBytes(out, std::uint8_t(kWhole), 1);
            }
            PutBytes(out, std::uint64_t(hops), 1);
            PutBytes(out, std::uint16_t(pitch), 2);
        }
        last = pitch;
    };
    for (const auto& p : curve) {
        long hops = std::lround((p.seconds - at) / step);
        for (; hops > 255; hops -= 255) { // a long gap: points without pitch on the way
            put(255, kNoPitch);
            at += 255.0 * step;
        }
        const double hundredths = std::round(p.pitch * 100.0);
        put(std::max(0L, hops),
            std::isfinite(hundredths) && hundredths > -32768.0 && hundredths < 32768.0
                ? std::int16_t(hundredths)
                : kNoPitch);
        at += double(std::max(0L, hops)) * step;
    }
    return out;
}

std::vector<TakeHistory::Take::Point>
PackedCurve::Unpack(const unsigned char* data, std::size_t size, double start, int schema) {
    std::vector<TakeHistory::Take::Point> curve;
    if (size < 16) {
        return curve;
    }
    const double first = std::bit_cast<double>(GetBytes(data, 8));
    const double step = std::bit_cast<double>(GetBytes(data + 8, 8));
    double at = start + first;
    std::int64_t pitch = kNoPitch;
    for (std::size_t i = 16; i < size;) {
        const auto code = std::int8_t(data[i]);
        if (schema >= 2 && code != kWhole) {
            at += step;
            pitch = code == kNone || pitch == kNoPitch ? kNoPitch : pitch + code;
            ++i;
        } else {
            i += schema >= 2 ? 1 : 0;
            if (i + 3 > size) {
                break;
            }
            at += double(data[i]) * step;
            pitch = std::int16_t(GetBytes(data + i + 1, 2));
            i += 3;
        }
        curve.push_back(
            {at, pitch == kNoPitch ? std::numeric_limits<double>::quiet_NaN() : pitch / 100.0});
    }
    return curve;
}

} // namespace tessmar
