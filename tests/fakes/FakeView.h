#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/MainView.h"

namespace qen::test {

class FakeView : public MainView {
public:
    std::vector<std::string> navigations;
    std::string currentAddress;
    int backs = 0, forwards = 0, refreshes = 0, prints = 0;
    int zoomPercent = 100;
    bool silent = false;
    std::string title;
    int broughtToFront = 0;
    int closeRequests = 0;
    std::set<int> runningTimers;
    std::vector<int> timerStarts;

    void Navigate(const std::string& address) override {
        navigations.push_back(address);
        currentAddress = address;
    }
    void GoBack() override { ++backs; }
    void GoForward() override { ++forwards; }
    void Refresh() override { ++refreshes; }
    std::string CurrentAddress() const override { return currentAddress; }
    void SetZoomPercent(int percent) override { zoomPercent = percent; }
    void Print() override { ++prints; }
    void SetSilent(bool value) override { silent = value; }
    void SetTitle(const std::string& value) override { title = value; }
    void BringToFront() override { ++broughtToFront; }
    void CloseWindow() override { ++closeRequests; }
    void StartTimer(int timerId, int) override {
        runningTimers.insert(timerId);
        timerStarts.push_back(timerId);
    }
    void StopTimer(int timerId) override { runningTimers.erase(timerId); }
};

}  // namespace qen::test
