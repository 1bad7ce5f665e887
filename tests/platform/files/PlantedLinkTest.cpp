// SPDX-License-Identifier: GPL-3.0-or-later
// Links planted by another local user: as root, with two existing accounts (daemon plants,
// nobody records), in a folder shared like /tmp.
#include "TempDir.h"
#include "app/recording/TakeSaver.h"
#include "audio/WaveFileWriter.h"
#include "platform/profile/IniFileProfile.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessmar {
namespace {

using test::TempDir;

// Runs check in a child with the user's ids; its result comes back as the exit status.
bool As(const passwd& user, const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setresgid(user.pw_gid, user.pw_gid, user.pw_gid) == 0 &&
                        ::setresuid(user.pw_uid, user.pw_uid, user.pw_uid) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// 2026-12-09 00:00 local time.
std::tm Day() {
    std::tm when{};
    when.tm_mday = 9;
    when.tm_mon = 11;
    when.tm_year = 126;
    when.tm_isdst = -1;
    return when;
}

std::string Content(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PlantedLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        // getpwnam's answer lives until its next call.
        const passwd* planter = ::getpwnam("daemon");
        planter_ = planter ? *planter : passwd{};
        const passwd* recorder = ::getpwnam("nobody");
        recorder_ = recorder ? *recorder : passwd{};
        if (::geteuid() != 0 || !planter || !recorder) {
            GTEST_SKIP() << "needs root and the accounts daemon and nobody to act as two users";
        }
        ::chmod(dir.path().c_str(), 0755);
        ::mkdir(shared.c_str(), 01777); // like /tmp
        ::chmod(shared.c_str(), 01777);
        ::mkdir((dir / "victim").c_str(), 0755);
        std::ofstream(precious) << "precious";
        ASSERT_EQ(::chown((dir / "victim").c_str(), recorder_.pw_uid, recorder_.pw_gid), 0);
        ASSERT_EQ(::chown(precious.c_str(), recorder_.pw_uid, recorder_.pw_gid), 0);
    }

    TempDir dir;
    const std::string shared = dir / "shared";
    const std::string precious = dir / "victim/precious.txt"; // the recording user's own
    passwd planter_{};
    passwd recorder_{};
};

TEST_F(PlantedLinkTest, TakesNeverGoThroughAnotherUsersLinksAndAreNotLostToThem) {
    const std::string name = TakeSaver::FallbackName(Day());
    ASSERT_TRUE(As(planter_, [&] {
        return ::symlink(precious.c_str(), (shared + "/take.wav").c_str()) == 0 &&
               ::symlink(precious.c_str(), (shared + "/" + name).c_str()) == 0 &&
               ::symlink((shared + "/nowhere").c_str(),
                         (shared + "/" + name.substr(0, name.size() - 4) + "-2.wav").c_str()) == 0;
    }));
    const std::uint8_t sound[4096] = {1, 2, 3};
    EXPECT_TRUE(As(recorder_, [&] {
        const bool refused = !WriteWaveFile(shared + "/take.wav", sound, 4096, 11025, true, true) &&
                             errno == kErrForeignLink;
        // The fallback passes the planted names by, the dangling one too, and keeps the take.
        RunOutcome outcome([](const std::string&) {});
        std::tm when = Day();
        TakeSaver saver({[] { return true; }, {}}, {shared}, outcome,
                        [&] { return mktime(&when); });
        saver.Begin(true);
        const std::string fallback = saver.OtherFile(shared + "/take.wav", "refused");
        struct stat st {};
        return refused && WriteWaveFile(fallback, sound, 4096, 11025, true, true) &&
               ::lstat(fallback.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               st.st_uid == recorder_.pw_uid && (st.st_mode & 077) == 0;
    }));
    EXPECT_EQ(Content(precious), "precious");
}

TEST_F(PlantedLinkTest, RootKeepsOutOfTheUsersLinksButFollowsItsOwn) {
    // sudo -E: root writes the placement file in the user's folder, where the user linked
    // it to a file only root may write.
    const std::string config = dir / "config";
    const std::string rootOnly = dir / "root-only";
    const std::string secret = "[TMainForm]\nLeft=7\n";
    std::ofstream(rootOnly) << secret;
    ::chmod(rootOnly.c_str(), 0600);
    ::mkdir(config.c_str(), 0755);
    ASSERT_EQ(::chown(config.c_str(), recorder_.pw_uid, recorder_.pw_gid), 0);
    ASSERT_TRUE(As(recorder_, [&] {
        return ::symlink(rootOnly.c_str(), (config + "/tessmar.INI").c_str()) == 0;
    }));
    IniFileProfile linked(config + "/tessmar.INI");
    EXPECT_FALSE(linked.WriteStrings("TMainForm", {{"Left", "1"}}));
    EXPECT_EQ(linked.ReadString("TMainForm", "Left", "none"), "none") << "not read through it";
    EXPECT_EQ(Content(rootOnly), secret);

    const std::string own = dir / "own.INI"; // a dotfile manager's link of root's own
    ASSERT_EQ(::symlink(rootOnly.c_str(), own.c_str()), 0);
    EXPECT_TRUE(IniFileProfile(own).WriteStrings("TMainForm", {{"Left", "1"}}));
    EXPECT_EQ(IniFileProfile(own).ReadString("TMainForm", "Left", "none"), "1");
}

} // namespace
} // namespace tessmar
