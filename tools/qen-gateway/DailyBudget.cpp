#include "qen-gateway/DailyBudget.h"

#include <nlohmann/json.hpp>

#include "files/FileIO.h"

namespace qen::gateway {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

std::int64_t Integer(const nlohmann::json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_number_integer()) return 0;
    const std::int64_t value = found->get<std::int64_t>();
    return value < 0 ? 0 : value;
}

}  // namespace

DailyBudget::DailyBudget(Path file, std::int64_t dailyUnits, Clock clock)
    : file_(std::move(file)), daily_(dailyUnits), clock_(std::move(clock)) {
    if (std::optional<std::string> bytes = ReadFileBytes(file_)) {
        const nlohmann::json saved = nlohmann::json::parse(*bytes, nullptr, false);
        if (saved.is_object()) {
            day_ = Integer(saved, "day");
            calls_ = Integer(saved, "calls");
            units_ = Integer(saved, "units");
        }
    }
    std::lock_guard lock(mutex_);
    RollOver();
}

void DailyBudget::RollOver() {
    const std::int64_t today = clock_() / kSecondsPerDay;
    if (today == day_) return;
    day_ = today;
    calls_ = units_ = 0;
}

void DailyBudget::Save() {
    const nlohmann::json state = {{"day", day_}, {"calls", calls_}, {"units", units_}};
    SaveFileSafely(file_, state.dump() + "\n");
}

bool DailyBudget::Spend(std::int64_t units) {
    std::lock_guard lock(mutex_);
    RollOver();
    if (daily_ >= 0 && units_ + units > daily_) return false;
    ++calls_;
    units_ += units;
    Save();
    return true;
}

BudgetState DailyBudget::State() {
    std::lock_guard lock(mutex_);
    RollOver();
    return {calls_, units_, daily_ < 0 ? -1 : daily_ - units_};
}

}  // namespace qen::gateway
