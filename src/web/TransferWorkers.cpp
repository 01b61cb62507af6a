#include "web/TransferWorkers.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace qen {

struct TransferWorkers::Shared {
    std::mutex mutex;
    std::condition_variable work;     // a job was queued, or closing began
    std::condition_variable changed;  // a thread ended
    std::deque<Job> jobs;
    int idle = 0;  // threads waiting for a job; never fewer than the jobs queued
    int alive = 0;
    bool closing = false;
};

void StartDetachedThread(std::function<void()> life) { std::thread(std::move(life)).detach(); }

TransferWorkers::TransferWorkers(ThreadStarter startThread)
    : startThread_(std::move(startThread)), shared_(std::make_shared<Shared>()) {}

TransferWorkers::~TransferWorkers() { Close(std::chrono::milliseconds::zero()); }

void TransferWorkers::Live(const std::shared_ptr<Shared>& shared, Job first) {
    Job job = std::move(first);
    std::unique_lock lock(shared->mutex);
    for (;;) {
        lock.unlock();
        job.work();
        lock.lock();
        // One idle thread is enough; a second one, freed by a transfer that outlived
        // its limit, leaves.
        const bool leave = shared->closing || shared->idle > static_cast<int>(shared->jobs.size());
        if (leave)
            --shared->alive;
        else
            ++shared->idle;
        lock.unlock();
        std::function<void()> finished = std::move(job.finished);
        job = {};  // what the job holds goes before the thread waits
        finished();
        if (leave) {
            shared->changed.notify_all();
            return;
        }
        lock.lock();
        shared->work.wait(lock, [&] { return shared->closing || !shared->jobs.empty(); });
        --shared->idle;
        if (shared->jobs.empty()) break;  // closing
        job = std::move(shared->jobs.front());
        shared->jobs.pop_front();
    }
    --shared->alive;
    lock.unlock();
    shared->changed.notify_all();
}

void TransferWorkers::Run(const std::function<void()>& job, const std::function<void()>& finished) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->idle > static_cast<int>(shared_->jobs.size())) {
            shared_->jobs.push_back({job, finished});
            shared_->work.notify_one();
            return;
        }
        ++shared_->alive;
    }
    try {
        startThread_([shared = shared_, first = Job{job, finished}]() mutable { Live(shared, std::move(first)); });
    } catch (...) {
        {
            std::lock_guard lock(shared_->mutex);
            --shared_->alive;
        }
        throw;
    }
}

bool TransferWorkers::Close(std::chrono::milliseconds grace) {
    std::unique_lock lock(shared_->mutex);
    shared_->closing = true;
    shared_->work.notify_all();
    return shared_->changed.wait_for(lock, grace, [this] { return shared_->alive == 0; });
}

}  // namespace qen
