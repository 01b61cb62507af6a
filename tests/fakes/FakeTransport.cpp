#include "fakes/FakeTransport.h"

#include <chrono>

namespace qen::test {

void FakeTransport::Script(const std::string& url, ScriptedTransfer answer) {
    std::lock_guard lock(mutex_);
    scripts_[url] = std::move(answer);
    open_[url] = false;
}

void FakeTransport::Open(const std::string& url) {
    {
        std::lock_guard lock(mutex_);
        open_[url] = true;
    }
    changed_.notify_all();
}

void FakeTransport::WaitUntilEnded(const std::string& url, int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ended_[url] >= count; });
}

std::vector<std::string> FakeTransport::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeTransport::PiecesRefused() const {
    std::lock_guard lock(mutex_);
    return piecesRefused_;
}

std::thread::id FakeTransport::LastThread() const {
    std::lock_guard lock(mutex_);
    return lastThread_;
}

TransferResult FakeTransport::Get(const TransferRequest& request) {
    const std::string& url = request.url;
    ScriptedTransfer script;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(url);
        lastThread_ = std::this_thread::get_id();
        auto found = scripts_.find(url);
        if (found == scripts_.end()) {
            ++ended_[url];
            changed_.notify_all();
            return {TransferPhase::NoAnswer, "no script for this address"};
        }
        script = found->second;
    }

    auto end = [&](TransferResult result) {
        {
            std::lock_guard lock(mutex_);
            ++ended_[url];
        }
        changed_.notify_all();
        return result;
    };

    if (script.gated) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (open_[url]) break;
            if (script.heedsStop && !request.keepGoing()) {
                lock.unlock();
                return end({TransferPhase::Stopped, ""});
            }
            changed_.wait_for(lock, std::chrono::milliseconds(2));
        }
    }
    for (const std::string& piece : script.pieces) {
        if (!request.sink(piece.data(), piece.size())) {
            {
                std::lock_guard lock(mutex_);
                ++piecesRefused_;
            }
            return end({TransferPhase::Stopped, ""});
        }
    }
    return end({script.phase, script.reason});
}

}  // namespace qen::test
