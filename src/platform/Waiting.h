#pragma once
// What a wait needs from the window: the busy cursor, the message pump that keeps the
// window alive meanwhile, and word that the program has been asked to end.
#include <chrono>

namespace qen {

class Waiting {
public:
    virtual ~Waiting() = default;

    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    // Handles the messages already waiting, then returns.
    virtual void PumpMessages() = 0;
    // Handles messages as they arrive until one has been handled, Wake is called or `upTo`
    // has passed, so the window answers at once however long the wait. False when it did
    // not sleep (a wait already runs further up, or there is no loop to sleep in): the
    // caller then sleeps on its own for `upTo`.
    virtual bool WaitForMessages(std::chrono::milliseconds) {
        PumpMessages();
        return false;
    }
    // Ends a WaitForMessages early; may be called from any thread while one runs.
    virtual void Wake() {}

    // True once the program has been asked to end (a logout, kill or Ctrl+C): dialogs answer
    // Cancel, and a wait gives up, so the program reaches its normal end and saves.
    virtual bool TerminationRequested() const { return false; }
};

// Busy cursor for the lifetime of a scope.
class BusyCursor {
public:
    explicit BusyCursor(Waiting& window) : window_(window) { window_.BeginBusy(); }
    ~BusyCursor() { window_.EndBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Waiting& window_;
};

}  // namespace qen
