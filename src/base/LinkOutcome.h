#pragma once
// What a link command leaves to the view: whether the navigation proceeds, and what the
// view does about 100 ms later, after the navigation event has returned.
#include <utility>

#include "base/Path.h"

namespace qen {

struct LinkOutcome {
    enum class Then { Nothing, Navigate, ShowRelated, ShowPlaylist, Refresh };

    bool allow = false;
    Then then = Then::Nothing;
    Path address;  // where to go when `then` is Navigate

    static LinkOutcome Allow() { return {true, Then::Nothing, {}}; }
    static LinkOutcome Cancel() { return {}; }
    static LinkOutcome CancelAndNavigate(Path to) { return {false, Then::Navigate, std::move(to)}; }
    static LinkOutcome AllowAndNavigate(Path to) { return {true, Then::Navigate, std::move(to)}; }
    static LinkOutcome CancelAndShowRelated() { return {false, Then::ShowRelated, {}}; }
    static LinkOutcome CancelAndShowPlaylist() { return {false, Then::ShowPlaylist, {}}; }
    static LinkOutcome CancelAndRefresh() { return {false, Then::Refresh, {}}; }
    bool operator==(const LinkOutcome&) const = default;
};

}  // namespace qen
