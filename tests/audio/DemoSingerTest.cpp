// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DemoSinger.h"

#include "analysis/SemitoneDetector.h"
#include "platform/capture/CaptureFormat.h"

#include <gtest/gtest.h>
#include <vector>

namespace tessmar {
namespace {

TEST(DemoSinger, TheNoteDisplayFollowsTheScale) {
    const std::size_t pass = DemoSinger::kScaleLength * DemoSinger::kFramesPerNote;
    std::vector<std::int16_t> frames(pass * kChannels);
    DemoSinger singer;
    singer.Render(frames.data(), pass);

    std::vector<std::int32_t> sung;
    for (std::size_t start = 0; start + kBlockFrames <= pass; start += kBlockFrames / 2) {
        const std::size_t slot = start / DemoSinger::kFramesPerNote;
        if ((start + kBlockFrames - 1) / DemoSinger::kFramesPerNote != slot) {
            continue; // a block across a note change may show either note
        }
        const auto* bytes =
            reinterpret_cast<const std::uint8_t*>(frames.data() + start * kChannels);
        EXPECT_EQ(DetectNote(bytes), DemoSinger::NoteAt(slot)) << "frame " << start;
        if (sung.empty() || sung.back() != DemoSinger::NoteAt(slot)) {
            sung.push_back(DemoSinger::NoteAt(slot));
        }
    }
    EXPECT_EQ(sung,
              (std::vector<std::int32_t>{48, 50, 52, 53, 55, 57, 59, 60, 59, 57, 55, 53, 52, 50}));
}

TEST(DemoSinger, PiecewiseRenderingIsOneContinuousStream) {
    const std::size_t total = 3 * DemoSinger::kFramesPerNote + 17;
    std::vector<std::int16_t> whole(total * kChannels), pieces(total * kChannels);
    DemoSinger a, b;
    a.Render(whole.data(), total);
    for (std::size_t done = 0; done < total;) {
        const std::size_t n = std::min<std::size_t>(777, total - done);
        b.Render(pieces.data() + done * kChannels, n);
        done += n;
    }
    EXPECT_EQ(whole, pieces);
    for (std::size_t f = 0; f < total; ++f) {
        ASSERT_EQ(whole[2 * f], whole[2 * f + 1]);
    }
}

} // namespace
} // namespace tessmar
