#include "messages/FileMessages.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "fakes/FakeUi.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

using namespace std::string_literals;
using test::FakeUi;
using test::TempDir;

const std::string kLittleEndianSample = "\xFF\xFE" "A\0" "\xE9\0" "\xAC\x20"s;  // A, e acute, euro

TEST(ReadWholeFile, GivesTheBytesOfOtherFilesAsTheyAre) {
    TempDir dir;
    FakeUi ui;
    const std::string binary = "\0\x01\xFF\xFE" "data\0"s;
    test::WriteFile(dir / "image.bin", binary);
    test::WriteFile(dir / "page.htm", kLittleEndianSample);
    test::WriteFile(dir / "empty.css", "");
    // Large enough to be read into memory given large pages.
    std::string package(10'500'003, '\0');
    for (std::size_t i = 0; i < package.size(); ++i) package[i] = static_cast<char>(i * 131 + i / 4096);
    test::WriteFile(dir / "large.qen", package);

    EXPECT_EQ(ReadWholeFile(ui, dir / "image.bin"), binary);
    EXPECT_EQ(ReadWholeFile(ui, dir / "large.qen"), package);
    EXPECT_EQ(ReadWholeFile(ui, dir / "page.htm"), kLittleEndianSample);
    EXPECT_EQ(ReadWholeFile(ui, dir / "empty.css"), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReadWholeFile, ConvertsHtmlAndTextFilesByTheirMark) {
    TempDir dir;
    FakeUi ui;
    struct Case {
        const char* name;
        std::string content;
        std::string expected;
    };
    const Case cases[] = {
        {"page.HTML", kLittleEndianSample, "A\xE9&#8364;"},
        {"notes.txt", "\xEF\xBB\xBF" "caf\xC3\xA9", "caf\xE9"},
        {"big.html", "\xFE\xFF\0A\x20\xAC"s, "A&#8364;"},
        {"plain.html", "<p>caf\xE9</p>", "<p>caf\xE9</p>"},
        // The text ends at its first zero byte, so the length is that of the text.
        {"cut.txt", "before\0after"s, "before"},
        {"cut8.html", "\xEF\xBB\xBFok\0more"s, "ok"},
    };
    for (const auto& c : cases) {
        test::WriteFile(dir / c.name, c.content);
        EXPECT_EQ(ReadWholeFile(ui, dir / c.name), c.expected) << c.name;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReadWholeFile, ReportsWhatCannotBeRead) {
    TempDir dir;
    FakeUi ui;
    std::filesystem::create_directory((dir / "folder.html").Bytes());
    const Path unreadable[] = {dir / "missing.html", dir / "folder.html", dir / "no/such/dir.bin"};
    for (const auto& path : unreadable) {
        ui.messages.clear();
        EXPECT_EQ(ReadWholeFile(ui, path), std::nullopt) << path.Bytes();
        ASSERT_EQ(ui.messages.size(), 1u) << path.Bytes();
        EXPECT_EQ(ui.messages[0].text, "Unable to read file: " + path.Bytes());
        EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
        EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
    }
}

TEST(ReadWholeFile, RefusesFilesTooLargeToHold) {
    TempDir dir;
    FakeUi ui;
    const Path path = dir / "huge.bin";
    test::WriteFile(path, "");
    std::filesystem::resize_file(path.Bytes(), (std::uintmax_t{1} << 30) + 1);  // sparse: costs no disk
    EXPECT_EQ(ReadWholeFile(ui, path), std::nullopt);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Unable to read file: " + path.Bytes()}));
}

TEST(ReadWholeFile, RefusesDevicesWithoutBlocking) {
    FakeUi ui;
    EXPECT_EQ(ReadWholeFile(ui, Path("/dev/zero")), std::nullopt);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Unable to read file: /dev/zero"}));
}

TEST(WriteWholeFile, CreatesAndTruncates) {
    TempDir dir;
    FakeUi ui;
    const Path path = dir / "out.html";
    ASSERT_TRUE(WriteWholeFile(ui, path, "a much longer first version\0with zero"s));
    EXPECT_EQ(test::ReadFile(path), "a much longer first version\0with zero"s);
    ASSERT_TRUE(WriteWholeFile(ui, path, "short"));
    EXPECT_EQ(test::ReadFile(path), "short");
    ASSERT_TRUE(WriteWholeFile(ui, path, ""));
    EXPECT_EQ(test::ReadFile(path), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(WriteWholeFile, ReportsFailure) {
    TempDir dir;
    FakeUi ui;
    const Path path = dir / "missing/out.html";
    EXPECT_FALSE(WriteWholeFile(ui, path, "x"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Failed to write file " + path.Bytes());
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
    EXPECT_FALSE(test::Exists(path));
}

TEST(ShowFormattedError, PutsTheTextInPlaceOfTheFirstPlaceholder) {
    FakeUi ui;
    ui.ShowFormattedError("Cannot open %s now", "100%s.qen");
    ui.ShowFormattedError("No placeholder", "ignored");
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Cannot open 100%s.qen now", "No placeholder"}));
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const Path& path) { return static_cast<unsigned>(fs::status(path.Bytes()).permissions()) & 0777; }

TEST(SaveFileSafely, ReplacesTheFileAndKeepsWhatTheUserSetOnIt) {
    TempDir dir;
    const Path target = dir / "user.lum";
    ASSERT_TRUE(SaveFileSafely(target, "first", nullptr, SaveOptions{0600, true}));
    EXPECT_EQ(ModeOf(target), 0600u);
    fs::permissions(target.Bytes(), fs::perms(0640));
    ASSERT_TRUE(SaveFileSafely(target, "second"));
    EXPECT_EQ(test::ReadFile(target), "second");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_FALSE(test::Exists(SavingPathFor(target)));
}

TEST(SaveFileSafely, SavesThroughALinkToTheFileItNames) {
    TempDir dir;
    test::MakeFolders(dir / "real");
    test::WriteFile(dir / "real/user.lum", "old");
    fs::create_symlink("real/user.lum", (dir / "user.lum").Bytes());
    ASSERT_TRUE(SaveFileSafely(dir / "user.lum", "new"));
    EXPECT_TRUE(fs::is_symlink((dir / "user.lum").Bytes()));
    EXPECT_EQ(test::ReadFile(dir / "real/user.lum"), "new");
}

TEST(SaveFileSafely, AFailedSaveLeavesTheOldFileAndNoPartOfTheNewOne) {
    TempDir dir;
    const Path target = dir / "user.lum";
    test::WriteFile(target, "the old data");
    test::WriteFile(SavingPathFor(target), "left by a save that was cut short");
    struct Case {
        const char* why;
        Path path;
        std::size_t limit;
        std::string reason;
    };
    const Case cases[] = {
        {"the disk fills up", target, 8, "the file is larger than this system allows"},
        {"the folder is gone", dir / "gone/user.lum", 1 << 20, "the file or its folder does not exist"},
        {"a folder stands in the way", dir.path().WithoutTrailingSlash(), 1 << 20, "it is not a file"},
    };
    for (const Case& c : cases) {
        FileError error;
        {
            test::FileSizeLimit limit(c.limit);
            EXPECT_FALSE(SaveFileSafely(c.path, std::string(100, 'n'), &error)) << c.why;
        }
        EXPECT_EQ(error.Reason(), c.reason) << c.why;
        EXPECT_EQ(test::ReadFile(target), "the old data") << c.why;
        EXPECT_FALSE(test::Exists(SavingPathFor(c.path))) << c.why;
    }
}

TEST(FileSave, PiecesReplaceTheFileOnlyAtCommit) {
    TempDir dir;
    const Path target = dir / "QenRuntime2";
    test::WriteFile(target, "the old file");
    fs::permissions(target.Bytes(), fs::perms(0750));

    std::unique_ptr<FileSave> save = FileSave::Begin(target);
    ASSERT_TRUE(save);
    EXPECT_EQ(save->SavingPath(), SavingPathFor(target));
    for (const std::string& piece : {"first "s, ""s, "second\0 "s, std::string(70'000, 'x')}) ASSERT_TRUE(save->Append(piece));
    EXPECT_EQ(save->Size(), 6u + 8u + 70'000u);
    // Until the commit, the target is the old file and the data waits beside it.
    EXPECT_EQ(test::ReadFile(target), "the old file");
    EXPECT_EQ(test::ReadFile(save->SavingPath()), "first second\0 "s + std::string(70'000, 'x'));

    ASSERT_TRUE(save->Commit());
    EXPECT_EQ(test::ReadFile(target), "first second\0 "s + std::string(70'000, 'x'));
    EXPECT_EQ(ModeOf(target), 0750u);
    EXPECT_FALSE(test::Exists(SavingPathFor(target)));
    EXPECT_FALSE(save->Append("late"));
}

TEST(FileSave, AFailureOrADropMidWayLeavesTheOldFileAndNothingBeside) {
    const struct {
        const char* name;
        std::function<void(FileSave&)> interrupt;
        std::string reason;  // empty: no call fails, the save is only dropped
    } cases[] = {
        {"the disk fills up on the second piece",
         [](FileSave& save) {
             test::FileSizeLimit limit(12);
             EXPECT_FALSE(save.Append(std::string(100, 'n')));
             EXPECT_FALSE(save.Append("n"));
         },
         "the file is larger than this system allows"},
        {"the saving file is taken away before the commit",
         [](FileSave& save) { fs::remove(save.SavingPath().Bytes()); }, "the file or its folder does not exist"},
        {"dropped before the commit", [](FileSave&) {}, ""},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const Path target = dir / "QenRuntime2";
        test::WriteFile(target, "the old file");
        std::unique_ptr<FileSave> save = FileSave::Begin(target);
        ASSERT_TRUE(save) << c.name;
        ASSERT_TRUE(save->Append("first piece")) << c.name;
        c.interrupt(*save);
        if (!c.reason.empty()) {
            FileError error;
            EXPECT_FALSE(save->Commit(&error)) << c.name;
            EXPECT_EQ(error.Reason(), c.reason) << c.name;
        }
        save.reset();
        EXPECT_EQ(test::ReadFile(target), "the old file") << c.name;
        EXPECT_FALSE(test::Exists(SavingPathFor(target))) << c.name;
    }
}

TEST(FileSave, IsNotBegunWhereItCouldNeverBeCommitted) {
    TempDir dir;
    test::MakeFolders(dir / "QenRuntime2");
    const struct {
        const char* name;
        Path path;
        std::string reason;
    } cases[] = {
        {"a folder stands in the way", dir / "QenRuntime2", "it is not a file"},
        {"the folder is gone", dir / "gone/QenRuntime2", "the file or its folder does not exist"},
    };
    for (const auto& c : cases) {
        FileError error;
        EXPECT_FALSE(FileSave::Begin(c.path, &error)) << c.name;
        EXPECT_EQ(error.Reason(), c.reason) << c.name;
        EXPECT_FALSE(test::Exists(SavingPathFor(c.path))) << c.name;
    }
}

TEST(ReadFileBytes, SaysWhyItCouldNotRead) {
    TempDir dir;
    struct Case {
        Path path;
        FileError::Kind kind;
    };
    const Case cases[] = {
        {dir / "missing", FileError::Kind::NotFound},
        {dir.path(), FileError::Kind::NotAFile},
        {Path("/dev/null"), FileError::Kind::NotAFile},
    };
    for (const Case& c : cases) {
        FileError error;
        EXPECT_FALSE(ReadFileBytes(c.path, &error)) << c.path.Bytes();
        EXPECT_EQ(error.kind, c.kind) << c.path.Bytes();
    }
}

// Held open, the file is read where asked; a file put in its place meanwhile is not seen,
// and a read past what the file now holds fails rather than giving less.
TEST(ReadableFile, ReadsWhereAskedFromTheFileItOpened) {
    TempDir dir;
    const Path path = dir / "package.qen";
    test::WriteFile(path, "0123456789");
    const std::shared_ptr<const ReadableFile> file = ReadableFile::Open(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), 10u);
    test::WriteFile(dir / "other", "abcdefghij");
    std::filesystem::rename((dir / "other").Bytes(), path.Bytes());

    std::string bytes(4, '\0');
    EXPECT_TRUE(file->ReadAt(3, bytes.data(), 4));
    EXPECT_EQ(bytes, "3456");
    EXPECT_TRUE(file->ReadAt(6, bytes.data(), 4));
    EXPECT_EQ(bytes, "6789");
    EXPECT_FALSE(file->ReadAt(7, bytes.data(), 4));
    EXPECT_FALSE(file->ReadAt(std::uint64_t{1} << 40, bytes.data(), 1));
}

// Only a regular file is opened: a pipe with no writer would otherwise hold the open.
TEST(ReadableFile, OpensOnlyARegularFile) {
    TempDir dir;
    const Path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.CStr(), 0600), 0);
    const struct {
        Path path;
        FileError::Kind kind;
    } cases[] = {
        {dir / "missing", FileError::Kind::NotFound},
        {dir.path(), FileError::Kind::NotAFile},
        {Path("/dev/zero"), FileError::Kind::NotAFile},
        {pipe, FileError::Kind::NotAFile},
    };
    for (const auto& c : cases) {
        FileError error;
        EXPECT_FALSE(ReadableFile::Open(c.path, &error)) << c.path.Bytes();
        EXPECT_EQ(error.kind, c.kind) << c.path.Bytes();
    }
}

TEST(ReadWholeFile, NamesOutsideAsciiAreReadAndShownAsLetters) {
    TempDir dir;
    FakeUi ui;
    test::MakeFolders(dir / "J\xC3\xBCrgen");
    test::WriteFile(dir / "J\xC3\xBCrgen/page.txt", "ok");
    EXPECT_EQ(ReadWholeFile(ui, dir / "J\xC3\xBCrgen/page.txt"), "ok");
    EXPECT_EQ(ReadWholeFile(ui, dir / "J\xC3\xBCrgen/none.txt"), std::nullopt);
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Unable to read file: " + dir.path().Bytes() + "J\xFCrgen/none.txt"});
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

namespace fs = std::filesystem;

TEST(WriteNewFile, CreatesOnlyWhereNothingStands) {
    TempDir dir;
    test::WriteFile(dir / "outside", "keep me");
    test::WriteFile(dir / "taken", "keep me too");
    fs::create_symlink((dir / "outside").Bytes(), (dir / "link").Bytes());
    fs::create_symlink((dir / "nowhere").Bytes(), (dir / "dangling").Bytes());
    test::MakeFolders(dir / "folder");

    ASSERT_TRUE(WriteNewFile(dir / "fresh", "new bytes"));
    EXPECT_EQ(test::ReadFile(dir / "fresh"), "new bytes");

    for (const char* name : {"taken", "link", "dangling", "folder", "fresh"}) {
        FileError error;
        EXPECT_FALSE(WriteNewFile(dir / name, "intruder", &error)) << name;
        EXPECT_EQ(error.Reason(), "a file of that name is in the way") << name;
    }
    EXPECT_EQ(test::ReadFile(dir / "outside"), "keep me");
    EXPECT_EQ(test::ReadFile(dir / "taken"), "keep me too");
    EXPECT_EQ(test::ReadFile(dir / "fresh"), "new bytes");
    EXPECT_FALSE(test::Exists(dir / "nowhere"));
}

TEST(WriteNewFile, AFileItCouldNotFillIsRemoved) {
    TempDir dir;
    FileError error;
    {
        test::FileSizeLimit limit(8);
        EXPECT_FALSE(WriteNewFile(dir / "big", std::string(100, 'b'), &error));
    }
    EXPECT_EQ(error.Reason(), "the file is larger than this system allows");
    EXPECT_FALSE(test::Exists(dir / "big"));
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// A save killed at any moment (a logout that does not wait, a crash) leaves the file whole:
// the old version or the new one, never a mix and never nothing.
TEST(SaveFileSafely, AKillAtAnyMomentLeavesAWholeFile) {
    TempDir dir;
    const Path target = dir / "user.lum";
    const std::string versions[] = {std::string(300000, 'a'), std::string(200000, 'b')};
    ASSERT_TRUE(SaveFileSafely(target, versions[0]));
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (unsigned n = 0;; ++n) SaveFileSafely(target, versions[n % 2]);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(saver, SIGKILL);
        waitpid(saver, nullptr, 0);
        const std::string found = test::ReadFile(target);
        EXPECT_TRUE(found == versions[0] || found == versions[1]) << "round " << round << ": " << found.size();
    }
}

}  // namespace
}  // namespace qen
