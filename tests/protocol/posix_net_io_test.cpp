// The real NetIo's waits and receives, on loopback sockets of the test's own.
#include "protocol/posix_net_io.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A receiving UDP socket on an ephemeral loopback port and a sender aimed at it.
class LoopbackPair {
public:
    LoopbackPair() {
        receiver = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (receiver >= 0 &&
            bind(receiver, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            socklen_t size = sizeof address;
            getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &size);
            bound = true;
        }
    }
    ~LoopbackPair() {
        if (receiver >= 0)
            close(receiver);
        if (sender >= 0)
            close(sender);
    }
    bool Send(const std::vector<std::uint8_t>& bytes) const {
        return sendto(sender, bytes.data(), bytes.size(), 0,
                      reinterpret_cast<const sockaddr*>(&address),
                      sizeof address) == static_cast<ssize_t>(bytes.size());
    }

    int receiver = -1;
    int sender = -1;
    bool bound = false;
    sockaddr_in address{};
};

TEST(PosixNetIoTest, OversizeDatagramIsAFailedReceiveNotACutOne) {
    LoopbackPair pair;
    if (!pair.bound) {
        GTEST_SKIP() << "no loopback UDP socket available";
    }
    PosixNetIo io;
    // More than the 4096-byte receive buffer: a cut copy must never pass for
    // the datagram, so the receive fails and the datagram is gone.
    ASSERT_TRUE(pair.Send(std::vector<std::uint8_t>(5000, 0x55)));
    ASSERT_TRUE(pair.Send(std::vector<std::uint8_t>(100, 0x66)));
    std::array<std::uint8_t, 4096> buffer{};
    ASSERT_EQ(io.WaitReadable(pair.receiver, 1s), NetIo::WaitResult::Ready);
    EXPECT_EQ(io.Receive(pair.receiver, buffer), -1);
    ASSERT_EQ(io.WaitReadable(pair.receiver, 1s), NetIo::WaitResult::Ready);
    EXPECT_EQ(io.Receive(pair.receiver, buffer), 100);
    EXPECT_EQ(buffer[99], 0x66);
    // A datagram that fills the buffer exactly is whole.
    ASSERT_TRUE(pair.Send(std::vector<std::uint8_t>(4096, 0x77)));
    ASSERT_EQ(io.WaitReadable(pair.receiver, 1s), NetIo::WaitResult::Ready);
    EXPECT_EQ(io.Receive(pair.receiver, buffer), 4096);
}

TEST(PosixNetIoTest, QuietSocketTimesOutAndNoSocketIsAnError) {
    LoopbackPair pair;
    if (!pair.bound) {
        GTEST_SKIP() << "no loopback UDP socket available";
    }
    PosixNetIo io;
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_EQ(io.WaitReadable(pair.receiver, 1ms), NetIo::WaitResult::Timeout);
    EXPECT_EQ(io.Receive(pair.receiver, buffer), -1);  // nothing waiting: no block
    EXPECT_EQ(io.WaitReadable(-1, 1ms), NetIo::WaitResult::Error);
    EXPECT_EQ(io.Receive(-1, buffer), -1);
}

TEST(PosixNetIoTest, ReceiveSocketAsksForALargeBuffer) {
    // A burst of hundreds of replies must fit in the queue; the kernel caps
    // the request at its maximum and reports twice what it granted.
    PosixNetIo io;
    const int fd = io.OpenReceiveSocket("127.0.0.1");
    if (fd < 0) {
        GTEST_SKIP() << "no UDP socket available";
    }
    long maximum = 0;
    std::ifstream("/proc/sys/net/core/rmem_max") >> maximum;
    int granted = 0;
    socklen_t size = sizeof granted;
    ASSERT_EQ(getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &granted, &size), 0);
    io.CloseSocket(fd);
    if (maximum > 0) {
        EXPECT_GE(granted, 2 * std::min<long>(kReceiveBufferBytes, maximum));
    }
}

}  // namespace
