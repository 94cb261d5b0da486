// The POSIX file services go on when a signal interrupts a system call (EINTR), as Windows has no
// such interruptions. A handler installed without SA_RESTART, as libFuzzer's timer is, makes the
// kernel cut calls short; a copy made meanwhile must still succeed and be whole.
#include "host_files.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/time.h>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshTestFolder;
using oxlo::testing::readHostBytes;
using oxlo::testing::writeHostBytes;

volatile std::sig_atomic_t signalsReceived = 0;

// A timer signal every 20 microseconds while it lives, with a handler that does not restart
// interrupted calls.
class FrequentSignals {
public:
    FrequentSignals()
    {
        signalsReceived = 0;
        struct sigaction action {};
        action.sa_handler = [](int) { signalsReceived = signalsReceived + 1; };
        sigemptyset(&action.sa_mask);
        sigaction(SIGALRM, &action, &previous_);
        const itimerval every{{0, 20}, {0, 20}};
        setitimer(ITIMER_REAL, &every, nullptr);
    }
    ~FrequentSignals()
    {
        const itimerval stop{};
        setitimer(ITIMER_REAL, &stop, nullptr);
        sigaction(SIGALRM, &previous_, nullptr);
    }

private:
    struct sigaction previous_ {};
};

TEST(InterruptedCalls, CopiesSucceedWhileSignalsArrive)
{
    const std::string folder = freshTestFolder("InterruptedCalls");
    std::string bytes(64 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    writeHostBytes(folder + "\\map.img", bytes);

    int failed = 0;
    {
        const FrequentSignals signals;
        for (int copy = 0; copy < 200; ++copy)
            failed += copyFile(folder + "\\map.img", folder + "\\copy.img") == 1 ? 0 : 1;
    }
    ASSERT_GT(signalsReceived, 0) << "no signal arrived, so nothing was interrupted";
    EXPECT_EQ(failed, 0) << "copies failed of 200";
    EXPECT_TRUE(readHostBytes(folder + "\\copy.img") == bytes) << "the last copy is not whole";
}

} // namespace
} // namespace oxlo::platform
