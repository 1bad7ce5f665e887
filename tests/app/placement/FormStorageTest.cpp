// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/placement/FormStorage.h"

#include "FakeProfile.h"
#include "TempDir.h"
#include "platform/profile/IniFileProfile.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::FakeProfile;

const FormStorage::Screen kScreen{1024, 768, 96};

// A hidden window of 548 × 392 that has not been placed yet.
WindowPlacement Current() {
    WindowPlacement p;
    p.normalPosition = {0, 0, 548, 392};
    return p;
}

TEST(FormStorageSave, WritesEveryKeyInOrderAndTheExactFile) {
    test::TempDir dir;
    IniFileProfile profile(dir / "tessmar.INI");
    FormStorage storage(profile);
    WindowPlacement p;
    p.normalPosition = {238, 188, 792, 610};
    ASSERT_TRUE(storage.Save(p, false, kScreen, false));
    const auto bytes = test::ReadBytes(dir / "tessmar.INI");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[TMainForm]\n"
                                                       "FormVersion=0\n"
                                                       "Flags=0\n"
                                                       "ShowCmd=1\n"
                                                       "PixelsPerInch=96\n"
                                                       "MinMaxPos(1024x768)=-1,-1,-1,-1\n"
                                                       "MinMaxPos=-1,-1,-1,-1\n"
                                                       "NormPos(1024x768)=238,188,792,610\n"
                                                       "NormPos=238,188,792,610\n"
                                                       "Visible=0\n");

    // Minimised application and destruction.
    FakeProfile fake;
    FormStorage(fake).Save(p, true, {800, 600, 120}, true);
    EXPECT_EQ(fake.Value("ShowCmd"), "2");
    EXPECT_EQ(fake.Value("PixelsPerInch"), "120");
    EXPECT_EQ(fake.Value("NormPos(800x600)"), "238,188,792,610");
    EXPECT_EQ(fake.Value("Visible"), "1");

    fake.failWrites = true;
    EXPECT_FALSE(FormStorage(fake).Save(p, false, kScreen, false));
}

TEST(FormStorageRestore, NoStoredValuesKeepTheWindowCentredAndNormal) {
    FakeProfile profile;
    const auto restored = FormStorage(profile).Restore(Current(), kScreen);
    ASSERT_TRUE(restored);
    EXPECT_FALSE(restored->placement);
    EXPECT_EQ(restored->state, WindowShowState::Normal);
}

TEST(FormStorageRestore, SamePixelsPerInchTakesThePositionAndKeepsTheDesignedSize) {
    FakeProfile profile;
    profile.Set("NormPos", "100,50,900,900");
    profile.Set("PixelsPerInch", "96");
    profile.Set("Flags", "0");
    const auto restored = FormStorage(profile).Restore(Current(), kScreen);
    ASSERT_TRUE(restored && restored->placement);
    const auto r = restored->placement->normalPosition;
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 648);
    EXPECT_EQ(r.bottom, 442);
    EXPECT_EQ(restored->placement->showCmd, WindowPlacement::kHide);

    profile.Set("PixelsPerInch", "120"); // another density: centred instead
    EXPECT_FALSE(FormStorage(profile).Restore(Current(), kScreen)->placement);
}

TEST(FormStorageRestore, TheCurrentScreenSizeWinsOverTheLastOfAnySize) {
    FakeProfile profile;
    profile.Set("NormPos(1024x768)", "10,20,0,0");
    profile.Set("NormPos", "300,400,0,0"); // saved later at another size
    profile.Set("MinMaxPos(800x600)", "1,2,3,4");
    auto restored = FormStorage(profile).Restore(Current(), kScreen);
    EXPECT_EQ(restored->placement->normalPosition.left, 10);
    EXPECT_EQ(restored->placement->normalPosition.top, 20);
    EXPECT_EQ(restored->placement->minPosition.x, -1); // no MinMaxPos for this size or any

    restored = FormStorage(profile).Restore(Current(), {800, 600, 96});
    EXPECT_EQ(restored->placement->normalPosition.left, 300);
    EXPECT_EQ(restored->placement->maxPosition.y, 4);
}

TEST(FormStorageRestore, WordsThatAreNoNumbersFallBack) {
    FakeProfile profile;
    profile.Set("NormPos", "x, 70 ,,");
    profile.Set("MinMaxPos", "a,5");
    WindowPlacement current = Current();
    current.normalPosition = {30, 40, 578, 432};
    const auto restored = FormStorage(profile).Restore(current, kScreen);
    ASSERT_TRUE(restored->placement);
    EXPECT_EQ(restored->placement->normalPosition.left, 30); // the window's own left
    EXPECT_EQ(restored->placement->normalPosition.top, 70);
    EXPECT_EQ(restored->placement->minPosition.x, 0);
    EXPECT_EQ(restored->placement->minPosition.y, 5);
    EXPECT_EQ(restored->placement->maxPosition.x, 0);
}

TEST(FormStorageRestore, PositionsBeyondTheIntegersKeepTheDefaults) {
    for (const char* stored : {"2147483647,0,0,0", "0,2147483647,0,0", "2147483000,2147483000,0,0",
                               "99999999999,5,0,0", "-2147483648,-2147483648,0,0"}) {
        SCOPED_TRACE(stored);
        FakeProfile profile;
        profile.Set("NormPos", stored);
        profile.Set("MinMaxPos", "2147483647,-2147483648,99999999999,0");
        const auto restored = FormStorage(profile).Restore(Current(), kScreen);
        ASSERT_TRUE(restored);
        if (restored->placement) { // only what fits is taken, with the designed size
            const auto& r = restored->placement->normalPosition;
            EXPECT_EQ(r.right - r.left,
                      Current().normalPosition.right - Current().normalPosition.left);
            EXPECT_EQ(restored->placement->maxPosition.x, 0);
        }
    }
    FakeProfile profile;
    profile.Set("NormPos", "2147483647,0,0,0");
    EXPECT_FALSE(FormStorage(profile).Restore(Current(), kScreen)->placement)
        << "the window stays centred";
}

TEST(FormStorageRestore, ShowCommandsAndFormatVersion) {
    FakeProfile profile;
    const std::pair<const char*, WindowShowState> cases[] = {
        {"1", WindowShowState::Normal},    {"2", WindowShowState::Minimized},
        {"6", WindowShowState::Minimized}, {"7", WindowShowState::Minimized},
        {"3", WindowShowState::Maximized}, {"0", WindowShowState::Normal},
        {"x", WindowShowState::Normal},    {"9", WindowShowState::Normal}};
    for (const auto& [value, state] : cases) {
        profile.Set("ShowCmd", value);
        EXPECT_EQ(FormStorage(profile).Restore(Current(), kScreen)->state, state) << value;
    }
    profile.Set("FormVersion", "-1");
    EXPECT_FALSE(FormStorage(profile).Restore(Current(), kScreen));
}

} // namespace
} // namespace tessmar
