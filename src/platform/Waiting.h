#pragma once
// What a wait needs from the window: the busy cursor, the message pump that keeps the
// window alive meanwhile, and word that the program has been asked to end.
namespace qen {

class Waiting {
public:
    virtual ~Waiting() = default;

    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    virtual void PumpMessages() = 0;

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
