#pragma once
// The package's share of start-up on a worker thread, so that it runs while the toolkit and
// the browser start: the package's header read and checked, its branding read, its content
// hash compared, and, once asked, the site built, each member read from the file and
// deciphered as it is written. Each step's outcome is kept; the user-interface thread
// waits for the one it is about to act on and shows its message, so every message keeps
// its place in start-up.
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "base/Outcome.h"
#include "base/Path.h"
#include "package/ContentPackage.h"
#include "package/ContentSite.h"
#include "package/PackageOpening.h"

namespace qen {

class PackageWork {
public:
    enum class Step { Opened, Branding, Verified, Built };

    PackageWork() = default;
    PackageWork(const PackageWork&) = delete;
    PackageWork& operator=(const PackageWork&) = delete;
    ~PackageWork() { Stop(); }

    // Starts the worker on `package` and `site`, which are its own until the step that
    // writes them has been waited for: `package` until Verified, `site` until Built.
    void Start(const PackageSource& source, ContentPackage& package, ContentSite& site);

    // Waits for the step and gives its outcome. A step that never ran, because one before
    // it failed or the work was stopped, fails.
    Outcome Wait(Step step);

    // Asks for the site to be built into `workFolder` once the package is verified.
    void BuildSite(const Path& workFolder);

    // Ends the work: a site not yet asked for is not built; waits for the worker to end.
    void Stop();

private:
    void Run(PackageSource source, ContentPackage& package, ContentSite& site);
    void Finish(Step step, Outcome outcome);

    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Outcome> outcomes_[4];
    std::optional<Path> workFolder_;
    bool stopping_ = false;
    bool ended_ = true;  // no worker runs
};

}  // namespace qen
