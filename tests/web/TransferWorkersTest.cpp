#include "web/TransferWorkers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace qen::test {
namespace {

using namespace std::chrono_literals;

// Counts of what happened, to wait for across threads.
class Tally {
public:
    void Add(int& counter) {
        {
            std::lock_guard lock(mutex_);
            ++counter;
        }
        changed_.notify_all();
    }
    // False when the count was not reached in time.
    bool WaitUntil(const int& counter, int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return counter >= count; });
    }
    int Read(const int& counter) {
        std::lock_guard lock(mutex_);
        return counter;
    }

    int started = 0;  // threads
    int ended = 0;    // threads
    int jobsDone = 0;
    int gateOpen = 0;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

class TransferWorkersTest : public ::testing::Test {
protected:
    // Starts real threads and counts their starts and ends.
    ThreadStarter Counting() {
        return [tally = tally](std::function<void()> life) {
            tally->Add(tally->started);
            std::thread([tally, life = std::move(life)] {
                life();
                tally->Add(tally->ended);
            }).detach();
        };
    }

    // A job that notes its thread and waits for the gate when asked to; it counts itself
    // done once its thread is free.
    void Run(TransferWorkers& workers, bool gated = false) {
        workers.Run(
            [threads = threads, tally = tally, gated] {
                {
                    std::lock_guard lock(threads->mutex);
                    threads->ids.insert(std::this_thread::get_id());
                }
                if (gated) tally->WaitUntil(tally->gateOpen, 1);
            },
            [tally = tally] { tally->Add(tally->jobsDone); });
    }

    struct Threads {
        std::mutex mutex;
        std::set<std::thread::id> ids;
    };

    std::shared_ptr<Tally> tally = std::make_shared<Tally>();
    std::shared_ptr<Threads> threads = std::make_shared<Threads>();
};

TEST_F(TransferWorkersTest, OneThreadServesJobAfterJob) {
    TransferWorkers workers(Counting());
    for (int job = 1; job <= 5; ++job) {
        Run(workers);
        ASSERT_TRUE(tally->WaitUntil(tally->jobsDone, job));
    }
    EXPECT_EQ(tally->Read(tally->started), 1);
    EXPECT_EQ(threads->ids.size(), 1u);
    EXPECT_EQ(threads->ids.count(std::this_thread::get_id()), 0u);
    EXPECT_TRUE(workers.Close(10s));
    EXPECT_TRUE(tally->WaitUntil(tally->ended, 1));
}

TEST_F(TransferWorkersTest, AJobStillRunningLeavesTheNextToAnotherThreadAndTheSpareLeavesLater) {
    TransferWorkers workers(Counting());
    Run(workers, true);  // a transfer left behind at its limit
    Run(workers);
    ASSERT_TRUE(tally->WaitUntil(tally->jobsDone, 1));
    EXPECT_EQ(tally->Read(tally->started), 2);

    // Once the held job ends, one of the two idle threads leaves.
    tally->Add(tally->gateOpen);
    ASSERT_TRUE(tally->WaitUntil(tally->jobsDone, 2));
    ASSERT_TRUE(tally->WaitUntil(tally->ended, 1));

    for (int job = 3; job <= 5; ++job) {
        Run(workers);
        ASSERT_TRUE(tally->WaitUntil(tally->jobsDone, job));
    }
    EXPECT_EQ(tally->Read(tally->started), 2);
    EXPECT_EQ(tally->Read(tally->ended), 1);
}

TEST_F(TransferWorkersTest, ClosingEndsIdleThreadsAtOnceAndBusyOnesAfterTheirJob) {
    TransferWorkers workers(Counting());
    Run(workers, true);
    Run(workers);
    ASSERT_TRUE(tally->WaitUntil(tally->jobsDone, 1));

    EXPECT_FALSE(workers.Close(50ms));  // the held job is still running
    EXPECT_TRUE(tally->WaitUntil(tally->ended, 1));
    EXPECT_EQ(tally->Read(tally->jobsDone), 1);

    tally->Add(tally->gateOpen);
    EXPECT_TRUE(workers.Close(10s));
    EXPECT_EQ(tally->Read(tally->jobsDone), 2);
    EXPECT_TRUE(tally->WaitUntil(tally->ended, 2));
}

TEST_F(TransferWorkersTest, WhenNoThreadCanStartTheJobIsLeftToTheCaller) {
    bool refuse = true;
    ThreadStarter counting = Counting();
    TransferWorkers workers([&](std::function<void()> life) {
        if (refuse) throw std::system_error(EAGAIN, std::generic_category(), "no thread");
        counting(std::move(life));
    });
    EXPECT_THROW(Run(workers), std::system_error);
    EXPECT_EQ(tally->Read(tally->jobsDone), 0);

    // The failed start leaves no thread counted: the next start is tried, closing needs no wait.
    refuse = false;
    Run(workers);
    EXPECT_TRUE(tally->WaitUntil(tally->jobsDone, 1));
    EXPECT_TRUE(workers.Close(10s));
}

}  // namespace
}  // namespace qen::test
