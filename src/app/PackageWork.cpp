#include "app/PackageWork.h"

#include <utility>

namespace qen {

namespace {

Outcome NotDone() { return Outcome::Failure("The package has not been checked"); }

}  // namespace

void PackageWork::Start(const PackageSource& source, ContentPackage& package, ContentSite& site) {
    Stop();
    std::lock_guard lock(mutex_);
    for (auto& outcome : outcomes_) outcome.reset();
    workFolder_.reset();
    stopping_ = ended_ = false;
    worker_ = std::thread(&PackageWork::Run, this, source, std::ref(package), std::ref(site));
}

void PackageWork::Run(PackageSource source, ContentPackage& package, ContentSite& site) {
    const std::string corrupt = CorruptPackageMessage(source.embedded);
    Outcome opened = OpenPackageSource(source, package);
    const bool ok = opened.Ok();
    Finish(Step::Opened, std::move(opened));
    if (ok) {
        // The branding first: it is in the header, and start-up wants it before the data.
        Outcome branding = package.ReadBranding();
        const bool brandingOk = branding.Ok();
        Finish(Step::Branding, std::move(branding));
        Outcome verified = package.CheckContent(corrupt);
        const bool verifiedOk = verified.Ok();
        Finish(Step::Verified, std::move(verified));
        if (brandingOk && verifiedOk) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || workFolder_.has_value(); });
            if (!stopping_) {
                const Path folder = *workFolder_;
                lock.unlock();
                Finish(Step::Built, site.BuildSite(package, folder));
            }
        }
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

void PackageWork::Finish(Step step, Outcome outcome) {
    std::lock_guard lock(mutex_);
    outcomes_[static_cast<int>(step)] = std::move(outcome);
    changed_.notify_all();
}

Outcome PackageWork::Wait(Step step) {
    std::unique_lock lock(mutex_);
    auto& outcome = outcomes_[static_cast<int>(step)];
    changed_.wait(lock, [&] { return outcome.has_value() || ended_; });
    return outcome ? *outcome : NotDone();
}

void PackageWork::BuildSite(const Path& workFolder) {
    std::lock_guard lock(mutex_);
    workFolder_ = workFolder;
    changed_.notify_all();
}

void PackageWork::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
}

}  // namespace qen
