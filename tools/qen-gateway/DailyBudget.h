#pragma once
// The upstream calls of the day and the units they cost, kept in a file so that a
// restart does not give back what was spent. A new day (UTC) starts from nothing.
#include <cstdint>
#include <mutex>

#include "base/Path.h"
#include "qen-gateway/Clock.h"

namespace qen::gateway {

struct BudgetState {
    std::int64_t calls = 0;
    std::int64_t units = 0;
    std::int64_t left = -1;  // -1: no budget (a service that does not count units)
};

class DailyBudget {
public:
    // dailyUnits < 0: calls are counted, units are not limited.
    DailyBudget(Path file, std::int64_t dailyUnits, Clock clock);

    // Takes `units` for one call; false, with nothing taken, when fewer are left.
    bool Spend(std::int64_t units);
    BudgetState State();

private:
    void RollOver();  // with the lock held
    void Save();      // with the lock held

    Path file_;
    std::int64_t daily_;
    Clock clock_;
    std::mutex mutex_;
    std::int64_t day_ = 0, calls_ = 0, units_ = 0;
};

}  // namespace qen::gateway
