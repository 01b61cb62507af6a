#include "app/PackageWork.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"

namespace qen {
namespace {

using Step = PackageWork::Step;

bool FolderEmpty(const Path& folder) { return std::filesystem::is_empty(folder.Bytes()); }

// Each step's outcome waits for the step before it; a step after a failure, or one never
// asked for, fails rather than leaving the waiting thread hanging.
TEST(PackageWork, EachStepGivesItsOwnOutcomeAndNothingRunsAfterAFailure) {
    const std::string built = test::MakeBlock(test::SmallSite());
    struct Case {
        const char* what;
        std::function<void(std::string&)> change;  // nullptr: no file at all
        std::string opened, verified;                // expected messages; empty: passes
    };
    test::TempDir dir;
    const Case cases[] = {
        {"sound", [](std::string&) {}, "", ""},
        {"no file", nullptr, "Unable to read file: " + (dir / "site.qen").Display(), ""},
        {"changed header", [](std::string& image) { image[block::kTitle] ^= 1; }, "The .qen file is corrupt", ""},
        {"changed member", [](std::string& image) { image[block::kData + 20] ^= 1; }, "",
         "The .qen file is corrupt (content changed)"},
    };
    for (const Case& c : cases) {
        const Path package = dir / "site.qen", work = dir / "work/";
        std::filesystem::remove_all(work.Bytes());
        std::filesystem::remove(package.Bytes());
        test::MakeFolders(work);
        if (c.change) {
            std::string image = built;
            c.change(image);
            test::WriteFile(package, image);
        }

        ContentPackage opened;
        ContentSite site;
        PackageWork steps;
        steps.Start({package, false}, opened, site);
        const Outcome openedOutcome = steps.Wait(Step::Opened);
        EXPECT_EQ(openedOutcome.Ok() ? "" : openedOutcome.Message(), c.opened) << c.what;
        if (!openedOutcome) {
            EXPECT_FALSE(steps.Wait(Step::Verified)) << c.what;
            continue;
        }
        EXPECT_EQ(opened.Title, "Dog Training Academy") << c.what;
        EXPECT_TRUE(steps.Wait(Step::Branding)) << c.what;
        const Outcome verified = steps.Wait(Step::Verified);
        EXPECT_EQ(verified.Ok() ? "" : verified.Message(), c.verified) << c.what;

        steps.BuildSite(work);
        const Outcome siteBuilt = steps.Wait(Step::Built);
        EXPECT_EQ(siteBuilt.Ok(), c.verified.empty()) << c.what;
        EXPECT_EQ(test::Exists(work / "help.html"), c.verified.empty()) << c.what;
        EXPECT_EQ(FolderEmpty(work), !c.verified.empty()) << c.what;
    }
}

// Stopped before the site was asked for (the terms declined), nothing is written, and the
// site's step fails at once.
TEST(PackageWork, StoppedBeforeTheSiteWasAskedForWritesNothing) {
    test::TempDir dir;
    test::WriteFile(dir / "site.qen", test::MakeBlock(test::SmallSite()));
    test::MakeFolders(dir / "work/");
    ContentPackage package;
    ContentSite site;
    PackageWork work;
    work.Start({dir / "site.qen", false}, package, site);
    ASSERT_TRUE(work.Wait(Step::Verified));
    work.Stop();
    work.BuildSite(dir / "work/");
    EXPECT_FALSE(work.Wait(Step::Built));
    EXPECT_TRUE(FolderEmpty(dir / "work/"));
}

}  // namespace
}  // namespace qen
