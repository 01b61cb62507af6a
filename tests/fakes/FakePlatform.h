#pragma once
#include "fakes/FakeFetcher.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"
#include "fakes/FakeView.h"
#include "platform/Platform.h"

namespace qen::test {

class FakePlatform : public Platform {
public:
    FakeUi fakeUi;
    FakeSettings fakeSettings;
    FakeSystem fakeSystem;
    FakeView fakeView;
    FakeFetcher fakeFetcher;  // not part of the platform: the application is handed it
    ViewEvents* events = nullptr;
    bool windowFails = false;

    Ui& ui() override { return fakeUi; }
    Settings& settings() override { return fakeSettings; }
    System& system() override { return fakeSystem; }
    MainView* CreateMainWindow(ViewEvents& viewEvents) override {
        if (windowFails) return nullptr;
        events = &viewEvents;
        return &fakeView;
    }
};

}  // namespace qen::test
