// A write the system takes only in part (a signal came while it waited for room) goes on with
// the bytes after the ones taken, never again from the buffer's start.
#include "lowio/Io.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(ShortWrite, GoesOnAfterTheBytesTaken) {
    // Without SA_RESTART, a signal ends a write that waits for room with the count taken so far.
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGALRM, &quiet, &before), 0);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string data = testing_support::randomBytes(8 * 1024 * 1024, 131);
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        for (;;) {
            const ssize_t count = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (count > 0) {
                received.append(buffer, static_cast<std::size_t>(count));
                ::usleep(20); // a slow reader keeps the writer waiting for room
            } else if (count == 0 || errno != EINTR) {
                return;
            }
        }
    });
    const itimerval everyMillisecond{{0, 1000}, {0, 1000}};
    ::setitimer(ITIMER_REAL, &everyMillisecond, nullptr);
    std::size_t written = 0;
    const lowio::SystemError error = lowio::writeAll(pipeEnds[1], data.data(), data.size(), written);
    const itimerval stop{};
    ::setitimer(ITIMER_REAL, &stop, nullptr);
    ::close(pipeEnds[1]);
    reader.join();
    ::close(pipeEnds[0]);
    ::sigaction(SIGALRM, &before, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(written, data.size());
    EXPECT_TRUE(received == data) << "received " << received.size() << " bytes";
}

} // namespace
