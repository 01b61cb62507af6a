#pragma once
// Identical work asked for at the same time runs once: the first caller does it, the
// others wait for its result.
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace qen::gateway {

template <typename Result>
class SingleFlight {
public:
    Result Run(const std::string& key, const std::function<Result()>& work) {
        std::shared_ptr<Flight> flight;
        bool leader = false;
        {
            std::lock_guard lock(mutex_);
            auto& slot = flights_[key];
            if (!slot) {
                slot = std::make_shared<Flight>();
                leader = true;
            }
            flight = slot;
        }
        if (!leader) {
            std::unique_lock lock(flight->mutex);
            flight->done.wait(lock, [&] { return flight->result.has_value(); });
            return *flight->result;
        }
        Result result = work();
        {
            std::lock_guard lock(mutex_);
            flights_.erase(key);
        }
        {
            std::lock_guard lock(flight->mutex);
            flight->result = result;
        }
        flight->done.notify_all();
        return result;
    }

private:
    struct Flight {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Flight>> flights_;
};

}  // namespace qen::gateway
