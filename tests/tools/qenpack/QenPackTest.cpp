#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "package/OpenPackage.h"
#include "qenpack/QenPack.h"
#include "package/PackageFormat.h"

namespace qen {
namespace {

using test::ReadFile;
using test::WriteFile;

std::string At(const test::TempDir& dir, const std::string& name) { return (dir / name).Bytes(); }

class QenPackTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolders(site / "dogs");
        siteDir = At(site, "dogs");
        WriteFile(siteDir + "/SiteNiche.txt", "dog training - cat\r\nhttp://articles.example/Dogs\r\n");
        WriteFile(siteDir + "/template.html", "<html>%%videoposts%% %%footertext%%</html>");
        WriteFile(siteDir + "/logo.png", std::string("\x89PNG\0\0\xff", 7));
        WriteFile(siteDir + "/.hidden", "left out");
        WriteFile(brandingFile, "[Top Banners]\nhttps://b.example/top.png | https://shop.example/\n"
                                "[Side Banners]\nb.example/1.png | shop.example/1\nb.example/2.png | shop.example/2\n"
                                "[Menu Text Links]\nPuppy classes | classes.example\n");
    }

    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunQenPack(args, out, err);
    }

    int Build(const std::string& output, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"build", siteDir, "-o", output, "--title", "Dog Training Academy",
                                         "--footer-name", "Rex", "--footer-link", "http://rex.example/",
                                         "--max-side-banners", "2", "--branding", brandingFile};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }

    // One line on the error stream, naming the tool.
    void ExpectOneLineError(const std::string& part) {
        const std::string text = err.str();
        EXPECT_EQ(text.rfind("qenpack: ", 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find(part), std::string::npos) << text;
    }

    test::TempDir site;
    test::TempDir outDir;
    std::string siteDir;
    std::string brandingFile = At(outDir, "dogs.branding");
    std::ostringstream out, err;
};

TEST_F(QenPackTest, BuiltPackageIsReadByTheRuntimeAsWritten) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    EXPECT_EQ(Run({"verify", package}), 0) << err.str();
    EXPECT_EQ(out.str(), package + ": OK (3 files)\n");

    test::FakeUi ui;
    test::FakeSettings settings;
    ContentPackage runtime;
    WriteFile(At(outDir, "prog"), "program");
    Path userData;
    ASSERT_TRUE(OpenPackage(ui, settings, outDir / "prog", Path(package), runtime, userData));
    ASSERT_TRUE(runtime.ReadBranding());
    EXPECT_EQ(runtime.Title, "Dog Training Academy");
    EXPECT_EQ(runtime.MaxSideBanners, 2);
    EXPECT_EQ(runtime.TopBannerUrls, "'https://b.example/top.png'");
    EXPECT_EQ(runtime.SideBannerUrls, "'http://b.example/1.png', 'http://b.example/2.png'");
    EXPECT_EQ(runtime.SideBannerLinks, "'http://shop.example/1', 'http://shop.example/2'");
    EXPECT_EQ(runtime.MenuTextLinks, "<a href='http://classes.example'>Puppy classes</a><BR>\r\n");

    test::TempDir work;
    ContentSite site;
    ASSERT_TRUE(site.BuildSite(runtime, work.path()));
    EXPECT_EQ(ReadFile(At(work, "videos1.html")), "<html>%%videoposts%% Brought to you by Rex</html>");
    EXPECT_EQ(ReadFile(At(work, "logo.png")), std::string("\x89PNG\0\0\xff", 7));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(QenPackTest, ExtractGivesBackTheSiteFiles) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    const std::string extracted = At(outDir, "x");
    ASSERT_EQ(Run({"extract", package, extracted}), 0) << err.str();
    for (const char* name : {"SiteNiche.txt", "template.html", "logo.png"})
        EXPECT_EQ(ReadFile(extracted + "/" + name), ReadFile(siteDir + "/" + name)) << name;
    EXPECT_FALSE(std::filesystem::exists(extracted + "/.hidden"));
}

TEST_F(QenPackTest, InspectShowsHeaderAndMembers) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package, {"--settings-name", "Dogs"}), 0) << err.str();
    ASSERT_EQ(Run({"inspect", package}), 0) << err.str();
    const std::string text = out.str();
    for (const char* part : {"title:            Dog Training Academy\n", "settings name:    Dogs\n",
                             "member count:     3\n", "max side banners: 2\n", "(matches)",
                             "side banners: 2\n  b.example/1.png | shop.example/1\n", "\t7\tlogo.png\n",
                             "status: OK\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST_F(QenPackTest, BoundProgramCarriesThePackage) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package, {"--settings-name", "Dogs Plumtreegallant"}), 0) << err.str();
    const std::string program = At(outDir, "runtime");
    WriteFile(program, std::string(5000, '\x7f'));
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const std::string branded = At(outDir, "branded");
    ASSERT_EQ(Run({"bind", program, package, "-o", branded}), 0) << err.str();
    EXPECT_EQ(ReadFile(branded), ReadFile(program) + ReadFile(package));
    EXPECT_TRUE((std::filesystem::status(branded).permissions() & std::filesystem::perms::owner_exec) !=
                std::filesystem::perms::none);

    test::FakeUi ui;
    test::FakeSettings settings;
    ContentPackage runtime;
    Path userData;
    ASSERT_TRUE(OpenPackage(ui, settings, Path(branded), Path(), runtime, userData));
    EXPECT_TRUE(runtime.Embedded);
    EXPECT_EQ(runtime.SettingsName, "Dogs Plumtreegallant");

    EXPECT_EQ(Run({"bind", branded, package, "-o", At(outDir, "twice")}), 1);
    ExpectOneLineError("already carries a package");
}

TEST_F(QenPackTest, DamagedPackageFailsVerifyWithItsReason) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    std::string image = ReadFile(package);
    image[block::kTitle] ^= 1;
    WriteFile(At(outDir, "bad.qen"), image);
    EXPECT_EQ(Run({"verify", At(outDir, "bad.qen")}), 1);
    ExpectOneLineError("the header digest does not match");
    EXPECT_EQ(Run({"extract", At(outDir, "bad.qen"), At(outDir, "never")}), 1);
    EXPECT_FALSE(std::filesystem::exists(At(outDir, "never")));
    WriteFile(At(outDir, "plain"), "nothing here");
    EXPECT_EQ(Run({"inspect", At(outDir, "plain")}), 1);
    ExpectOneLineError("no package block found");
}

TEST_F(QenPackTest, BuildErrorsAreOneLineEach) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::vector<std::string> more;
        std::string reason;
    };
    const Case cases[] = {
        {"no niche", [&] { std::filesystem::remove(siteDir + "/SiteNiche.txt"); }, {}, "has no SiteNiche.txt"},
        {"bad niche", [&] { WriteFile(siteDir + "/SiteNiche.txt", "dogs only"); }, {},
         "SiteNiche.txt: The SiteNiche.txt object does not contain 2 lines"},
        {"sub-folder", [&] { std::filesystem::create_directory(siteDir + "/images"); }, {},
         "a package holds only the files of one folder"},
        {"long settings name", [] {}, {"--settings-name", std::string(100, 't')},
         "the settings name is too long (100 bytes, at most 99)"},
        {"bad branding", [&] { WriteFile(brandingFile, "[Top Banners]\nno bar\n"); }, {},
         "line 2: expected \"first | second\""},
        {"31 banners",
         [&] {
             std::string text = "[Side Banners]\n";
             for (int i = 0; i < 31; ++i) text += "b.example/" + std::to_string(i) + ".png | s.example\n";
             WriteFile(brandingFile, text);
         },
         {}, "the side banners list has 31 entries, at most 30 are shown"},
        {"long list",
         [&] {
             std::string text = "[Top Banners]\n";
             for (int i = 0; i < 20; ++i) text += "b.example/" + std::string(60, 'x') + " | s.example\n";
             WriteFile(brandingFile, text);
         },
         {}, "the top banners list is too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        std::filesystem::remove_all(siteDir + "/images");
        c.prepare();
        EXPECT_EQ(Build(At(outDir, "out.qen"), c.more), 1);
        ExpectOneLineError(c.reason);
        EXPECT_FALSE(std::filesystem::exists(At(outDir, "out.qen")));
    }
}

TEST_F(QenPackTest, WrongUsageShowsTheUsageText) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"pack"},
        {"build", siteDir},
        {"build", siteDir, "-o"},
        {"build", siteDir, "-o", "x.qen", "--colour", "red"},
        {"verify"},
        {"extract", "a.qen"},
        {"bind", "prog", "-o", "x"},
        {"build", siteDir, "-o", "x.qen", "--max-side-banners", "many"},
    };
    for (const auto& args : wrong) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " ...");
        EXPECT_EQ(Run(args), 2);
        EXPECT_EQ(err.str().rfind("qenpack: ", 0), 0u);
        EXPECT_NE(err.str().find(kQenPackUsage), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_EQ(out.str(), kQenPackUsage);
}

}  // namespace
}  // namespace qen
