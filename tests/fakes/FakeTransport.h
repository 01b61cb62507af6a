#pragma once
// Scripted network under the fetch logic: each address answers with the pieces and the
// ending set for it, on whatever thread asks. A gated answer holds before its first piece
// until the test opens the gate (or, if it heeds stops, until the fetch lets it go), so a
// test decides when a worker ends.
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/HttpTransport.h"

namespace qen::test {

struct ScriptedTransfer {
    std::vector<std::string> pieces;
    TransferPhase phase = TransferPhase::Complete;  // how it ends after the pieces
    std::string reason;
    bool gated = false;
    bool heedsStop = true;  // false: a worker stuck where nothing asks keepGoing

    static ScriptedTransfer Body(std::vector<std::string> pieces) {
        ScriptedTransfer script;
        script.pieces = std::move(pieces);
        return script;
    }
    static ScriptedTransfer Ending(TransferPhase phase, std::string reason = {},
                                   std::vector<std::string> pieces = {}) {
        ScriptedTransfer script = Body(std::move(pieces));
        script.phase = phase;
        script.reason = std::move(reason);
        return script;
    }
    ScriptedTransfer Gated(bool heedingStop = true) const {
        ScriptedTransfer script = *this;
        script.gated = true;
        script.heedsStop = heedingStop;
        return script;
    }
};

class FakeTransport : public HttpTransport {
public:
    void Script(const std::string& url, ScriptedTransfer answer);
    void Open(const std::string& url);
    // Blocks until `count` transfers of url have returned.
    void WaitUntilEnded(const std::string& url, int count = 1);

    std::vector<std::string> Requests() const;
    int PiecesRefused() const;
    std::thread::id LastThread() const;

    // An address without a script gets no answer.
    TransferResult Get(const TransferRequest& request) override;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, ScriptedTransfer> scripts_;
    std::map<std::string, bool> open_;
    std::map<std::string, int> ended_;
    std::vector<std::string> requests_;
    int piecesRefused_ = 0;
    std::thread::id lastThread_;
};

}  // namespace qen::test
