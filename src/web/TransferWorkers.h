#pragma once
// The threads transfers run on. They stay for the fetcher's life, so one thread (and the
// connection it keeps open) serves batch after batch. A transfer left running at its time
// limit keeps its thread to itself and the next transfer gets another; of the threads
// that fall idle, one stays and the rest end.
#include <chrono>
#include <functional>
#include <memory>

namespace qen {

// Starts a thread that runs `life`; throws std::system_error when no thread can start.
using ThreadStarter = std::function<void(std::function<void()> life)>;
void StartDetachedThread(std::function<void()> life);

class TransferWorkers {
public:
    explicit TransferWorkers(ThreadStarter startThread = StartDetachedThread);
    // Closes with no grace: idle threads end, busy ones after their job.
    ~TransferWorkers();
    TransferWorkers(const TransferWorkers&) = delete;
    TransferWorkers& operator=(const TransferWorkers&) = delete;

    // Hands the job to an idle thread, or starts one for it; throws std::system_error
    // when no thread can start, and the job is left to the caller. `finished` runs on the
    // same thread once it is free for the next job: a job asked for after it has run
    // finds that thread waiting. Both must own everything they touch: their thread may
    // outlive this object.
    void Run(const std::function<void()>& job, const std::function<void()>& finished);

    // Idle threads end now, busy ones after their job; waits up to `grace` for all of
    // them. True when none is left.
    bool Close(std::chrono::milliseconds grace);

private:
    struct Shared;
    struct Job {
        std::function<void()> work;
        std::function<void()> finished;
    };
    static void Live(const std::shared_ptr<Shared>& shared, Job first);

    ThreadStarter startThread_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace qen
