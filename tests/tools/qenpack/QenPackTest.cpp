#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "files/FileIO.h"
#include "package/ContentSite.h"
#include "app/OpenPackage.h"
#include "qenpack/QenPack.h"
#include "package/PackageFormat.h"
#include "update/VersionFile.h"

namespace qen {
namespace {

using test::At;
using test::ReadFile;
using test::WriteFile;

class QenPackTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolders(site / "dogs");
        siteDir = At(site, "dogs");
        WriteFile(siteDir + "/SiteNiche.txt", "dog training - cat\r\nhttp://articles.example/Dogs\r\n");
        WriteFile(siteDir + "/template.html", "<html>%%videoposts%% %%footertext%%</html>");
        WriteFile(siteDir + "/help.html", "<html><body>Help</body></html>");
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
    EXPECT_EQ(out.str(), package + ": OK (4 files)\n");

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
                             "member count:     4\n", "max side banners: 2\n", "(matches)",
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

// A package made by another tool, or before the check: signed and whole, but without a
// file every page needs.
TEST_F(QenPackTest, VerifyReportsAPackageMissingARequiredFile) {
    for (const char* left : {"template.html", "help.html"}) {
        SCOPED_TRACE(left);
        PackageDescription description = test::SmallSite();
        std::erase_if(description.members, [&](const PackageFile& file) { return file.name == left; });
        const std::string package = At(outDir, "incomplete.qen");
        WriteFile(package, test::MakeBlock(description));
        EXPECT_EQ(Run({"verify", package}), 1);
        ExpectOneLineError(package + ": the package has no " + std::string(left));
    }
}

TEST_F(QenPackTest, ChangedFilesFailVerifyThroughTheContentHash) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    const std::string built = ReadFile(package);
    ASSERT_EQ(Run({"inspect", package}), 0) << err.str();
    EXPECT_NE(out.str().find("content hash:     "), std::string::npos);
    EXPECT_NE(out.str().find(" (matches)\ntop banners"), std::string::npos) << out.str();

    struct Case {
        const char* what;
        std::size_t at;
    };
    const Case cases[] = {
        {"one member byte", block::kData + 40},
        {"a member's size in the table", test::MemberRow(0) + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string image = built;
        image[c.at] ^= 1;
        WriteFile(At(outDir, "changed.qen"), image);
        EXPECT_EQ(Run({"verify", At(outDir, "changed.qen")}), 1);
        ExpectOneLineError(At(outDir, "changed.qen") + ": the files or their table changed after the package was made");
        EXPECT_EQ(Run({"inspect", At(outDir, "changed.qen")}), 1);
        EXPECT_NE(out.str().find(" (DOES NOT MATCH)\ntop banners"), std::string::npos) << out.str();
        EXPECT_EQ(Run({"extract", At(outDir, "changed.qen"), At(outDir, "never")}), 1);
        EXPECT_FALSE(std::filesystem::exists(At(outDir, "never")));
    }

    // A package made before packages carried a hash is still sound, and says what was checked.
    std::string unhashed = built;
    unhashed.replace(block::kContentHash, block::kContentHashSize, block::kContentHashSize, '\0');
    test::Resign(unhashed);
    WriteFile(At(outDir, "old.qen"), unhashed);
    EXPECT_EQ(Run({"verify", At(outDir, "old.qen")}), 0) << err.str();
    EXPECT_EQ(out.str(), At(outDir, "old.qen") +
                             ": OK (4 files; no content hash recorded, so only the header is checked)\n");
    EXPECT_EQ(Run({"inspect", At(outDir, "old.qen")}), 0) << err.str();
    EXPECT_NE(out.str().find("content hash:     none recorded\n"), std::string::npos) << out.str();
}

TEST_F(QenPackTest, BuildErrorsAreOneLineEach) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::vector<std::string> more;
        std::string reason;
    };
    const Case cases[] = {
        {"no niche", [&] { std::filesystem::remove(siteDir + "/SiteNiche.txt"); }, {},
         "has no SiteNiche.txt; the runtime cannot show a site without it"},
        {"no template", [&] { std::filesystem::remove(siteDir + "/template.html"); }, {}, "has no template.html;"},
        {"no help page", [&] { std::filesystem::remove(siteDir + "/help.html"); }, {}, "has no help.html;"},
        {"only a picture",
         [&] {
             for (const char* name : {"SiteNiche.txt", "template.html", "help.html"})
                 std::filesystem::remove(siteDir + "/" + name);
         },
         {}, "has no SiteNiche.txt, template.html and help.html;"},
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

TEST_F(QenPackTest, HelpVersionAndUsageErrors) {
    struct Answer {
        std::vector<std::string> args;
        std::string out;
    };
    const Answer answers[] = {
        {{"--help"}, kQenPackUsage},
        {{"-h"}, kQenPackUsage},
        {{"--version"}, "qenpack " + std::to_string(RunningVersion()) + "\n"},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.args[0]);
        EXPECT_EQ(Run(answer.args), 0);
        EXPECT_EQ(out.str(), answer.out);
        EXPECT_EQ(err.str(), "");
    }

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
        {"verify", "a.qen", "--version"},
        {"build", siteDir, "-o", "x.qen", "--footer-link", "rex.example"},
        {"build", siteDir, "-o", "x.qen", "--footer-link", "javascript:alert(1)"},
        {"build", siteDir, "-o", "x.qen", "--footer-link", "ftp://rex.example/"},
        {"build", siteDir, "-o", "x.qen", "--footer-link", "http://rex.example/\" onclick=\"x"},
        {"build", siteDir, "-o", "x.qen", "--footer-link", "https://user@rex.example/"},
    };
    for (const auto& args : wrong) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " ...");
        EXPECT_EQ(Run(args), 2);
        const std::string text = err.str();
        EXPECT_EQ(text.rfind("qenpack: ", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.find('\n') + 1), kQenPackUsage);
        EXPECT_EQ(out.str(), "");
    }
}

// A folder, a device, a pipe or a file above the file module's limit, wherever the tool
// reads a file: refused at once with one line and exit code 2.
TEST_F(QenPackTest, UnreadableInputsAreRefusedWithoutBlocking) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    const std::string program = At(outDir, "program");
    WriteFile(program, "program");
    test::TempDir odd;
    const std::string folder = At(odd, "folder");
    const std::string fifo = At(odd, "fifo");
    const std::string huge = At(odd, "huge");
    test::MakeFolders(Path(folder));
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::WriteFile(huge, "");
    std::filesystem::resize_file(huge, kMaxReadableFileSize + 1);  // sparse: costs no disk

    for (const std::string& bad : {folder, std::string("/dev/null"), fifo, huge}) {
        const std::vector<std::vector<std::string>> commands = {
            {"verify", bad},
            {"inspect", bad},
            {"extract", bad, At(outDir, "never")},
            {"bind", bad, package, "-o", At(outDir, "never")},
            {"bind", program, bad, "-o", At(outDir, "never")},
            {"build", siteDir, "-o", At(outDir, "never"), "--branding", bad},
        };
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0] + " " + bad);
            EXPECT_EQ(Run(args), 2);
            ExpectOneLineError("cannot read " + bad + ": ");
            EXPECT_FALSE(std::filesystem::exists(At(outDir, "never")));
        }
    }

    // The same inside a site folder, and a site folder that is none.
    for (const std::string& bad : {std::string("/dev/null"), fifo, huge}) {
        SCOPED_TRACE(bad);
        const std::string member = siteDir + "/odd.html";
        std::filesystem::create_symlink(bad, member);
        EXPECT_EQ(Build(At(outDir, "never")), 2);
        ExpectOneLineError("cannot read " + member + ": ");
        std::filesystem::remove(member);
        EXPECT_EQ(Run({"build", bad, "-o", At(outDir, "never")}), 2);
        ExpectOneLineError(bad + " is not a folder");
        EXPECT_FALSE(std::filesystem::exists(At(outDir, "never")));
    }
}

TEST_F(QenPackTest, OutputThatCannotBeWrittenIsAFileError) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    test::MakeFolders(outDir / "folder");
    EXPECT_EQ(Build(At(outDir, "folder")), 2);
    ExpectOneLineError("cannot write " + At(outDir, "folder") + ": it is not a file");
    EXPECT_EQ(Build(At(outDir, "missing/out.qen")), 2);
    ExpectOneLineError("cannot write " + At(outDir, "missing/out.qen") + ": ");
    EXPECT_EQ(Run({"extract", package, package}), 2);
    ExpectOneLineError("cannot create " + package);
}

// Extraction makes new files only: whatever stands in the way is left as it was, and the
// files made before the clash are taken back.
TEST_F(QenPackTest, ExtractNeverWritesOverOrThroughWhatIsThere) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    const std::string outside = At(outDir, "outside.txt");
    WriteFile(outside, "not the package's");
    struct Case {
        const char* what;
        std::function<void(const std::string& into)> prepare;
    };
    const Case cases[] = {
        {"a file of a member's name", [](const std::string& into) { WriteFile(into + "/template.html", "mine"); }},
        {"a link to a file outside",
         [&](const std::string& into) { std::filesystem::create_symlink(outside, into + "/template.html"); }},
        {"a link that leads nowhere yet",
         [&](const std::string& into) {
             std::filesystem::create_symlink(At(outDir, "created-through-link"), into + "/template.html");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir into;
        const std::string folder = into.path().WithoutTrailingSlash().Bytes();
        c.prepare(folder);
        const std::string before = ReadFile(folder + "/template.html");
        EXPECT_EQ(Run({"extract", package, folder}), 2);
        ExpectOneLineError("cannot write " + folder + "/template.html: a file of that name is in the way");
        EXPECT_EQ(ReadFile(folder + "/template.html"), before);
        EXPECT_FALSE(std::filesystem::exists(folder + "/SiteNiche.txt"));  // made before the clash, taken back
        EXPECT_EQ(ReadFile(outside), "not the package's");
        EXPECT_FALSE(std::filesystem::exists(At(outDir, "created-through-link")));
    }
}

TEST_F(QenPackTest, DuplicateMemberNamesAreRefused) {
    PackageDescription description;
    description.members = {{"SiteNiche.txt", "dogs - cat\r\nhttp://articles.example/Dogs\r\n"},
                           {"a.html", "first"},
                           {"b.html", "second"}};
    std::string image = test::MakeBlock(description);
    description.members[2].name = "a.html";
    std::string error;
    EXPECT_FALSE(MakePackageBlock(description, error));
    EXPECT_EQ(error, "two files are named \"a.html\"");

    // A hostile packager holds the key and signs a table that names a file twice.
    image.replace(test::MemberRow(2) + block::kMemberNameOffset, 6, "a.html");
    test::Resign(image);
    const std::string package = At(outDir, "twice.qen");
    WriteFile(package, image);
    EXPECT_EQ(Run({"verify", package}), 1);
    ExpectOneLineError(package + ": the package holds two files named \"a.html\"");
    EXPECT_EQ(Run({"extract", package, At(outDir, "x")}), 1);
    EXPECT_FALSE(std::filesystem::exists(At(outDir, "x")));
}

TEST_F(QenPackTest, ControlBytesInNamesArePrintedEscaped) {
    // A file in the site whose name would clear the screen.
    WriteFile(siteDir + "/\x1b[2J\n.html", "x");
    EXPECT_EQ(Build(At(outDir, "never.qen")), 1);
    ExpectOneLineError("\"\\x1b[2J\\x0a.html\" cannot be a file name in a package");
    std::filesystem::remove(siteDir + "/\x1b[2J\n.html");

    // A signed package naming its member so; and a name the runtime takes, with a delete byte.
    PackageDescription description;
    description.title = "Title\x1b]0;owned\x07";
    description.members = {{"SiteNiche.txt", "dogs - cat\r\nhttp://articles.example/Dogs\r\n"},
                           {"del\x7f.html", "x"},
                           {"template.html", "x"},
                           {"help.html", "x"}};
    const std::string image = test::MakeBlock(description);
    WriteFile(At(outDir, "del.qen"), image);
    ASSERT_EQ(Run({"inspect", At(outDir, "del.qen")}), 0) << err.str();
    EXPECT_NE(out.str().find("\tdel\\x7f.html\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("title:            Title\\x1b]0;owned\\x07\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find('\x1b'), std::string::npos);

    std::string hostile = image;
    hostile.replace(test::MemberRow(1) + block::kMemberNameOffset, 9, "\x1b[2J\r.htm");
    test::Resign(hostile);
    WriteFile(At(outDir, "hostile.qen"), hostile);
    for (const char* command : {"verify", "inspect"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(Run({command, At(outDir, "hostile.qen")}), 1);
        ExpectOneLineError("unsafe name: \"\\x1b[2J\\x0d.htm\"");
    }
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

TEST_F(QenPackTest, InspectListsTheHostsThePackageNames) {
    const std::string package = At(outDir, "dogs.qen");
    ASSERT_EQ(Build(package), 0) << err.str();
    ASSERT_EQ(Run({"inspect", package}), 0);
    EXPECT_NE(out.str().find("hosts: the built-in ones (no endpoints.txt)\n"), std::string::npos) << out.str();

    WriteFile(siteDir + "/endpoints.txt",
              "# our gateway\r\nVideoFeedHost=videos.example.com:8080\r\n\r\nThumbnailHost = img.example.com\r\n");
    ASSERT_EQ(Build(package), 0) << err.str();
    ASSERT_EQ(Run({"inspect", package}), 0);
    EXPECT_NE(out.str().find("hosts:\n  ThumbnailHost=img.example.com\n  VideoFeedHost=videos.example.com:8080\n"),
              std::string::npos)
        << out.str();
}

TEST_F(QenPackTest, BuildRefusesAMalformedLineByItsNumber) {
    WriteFile(siteDir + "/endpoints.txt", "VideoFeedHost=videos.example.com\n# fine\nVideoFeedHots=x.example\n");
    EXPECT_EQ(Build(At(outDir, "dogs.qen")), 1);
    ExpectOneLineError("endpoints.txt line 3: unknown key \"VideoFeedHots\"");
    EXPECT_FALSE(test::Exists(At(outDir, "dogs.qen")));
}

}  // namespace
}  // namespace qen
