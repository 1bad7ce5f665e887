// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferencePlayer.h"

#include "TempDir.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tessmar {
namespace {

// A stopped sound server: its socket takes the connection and never answers, so the
// output's open waits for half a minute. The next tone and the program's end leave that
// open behind rather than wait for it, so the window that asked never freezes: the client
// is still waiting for its answer once the player is gone.
TEST(ReferencePlayer, AStoppedServerHoldsNothingUp) {
    test::TempDir dir;
    const std::string socketPath = dir / "native", config = dir / "asound.conf";
    const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 4), 0);
    std::ofstream(config) << "pcm.stopped { type pulse server \"unix:" << socketPath << "\" }\n";
    ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    ::setenv("TESSMAR_OUTPUT", "stopped", 1);
    snd_config_update_free_global(); // read anew at the next open
    {
        ReferencePlayer player;
        player.Play(57);
        pollfd waiting{server, POLLIN, 0};
        if (::poll(&waiting, 1, 10000) != 1) { // a hang guard, no measure
            GTEST_SKIP() << "no connection: is ALSA's pulse plugin installed?";
        }
        player.Play(60);
    }
    const int client = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
    ASSERT_GE(client, 0);
    char bytes[4096];
    ssize_t n = 0;
    while ((n = ::recv(client, bytes, sizeof bytes, MSG_DONTWAIT)) > 0) {
    }
    EXPECT_TRUE(n < 0 && errno == EAGAIN) << "the client gave up before the player ended";
    ::close(client);
    ::close(server);
    // The environment stays: the open left behind may still read it.
}

} // namespace
} // namespace tessmar
