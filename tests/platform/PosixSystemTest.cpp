#include "platform/posix/PosixSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "fakes/ScopedEnvironment.h"
#include "fakes/ScopedLocale.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

using namespace std::chrono_literals;

TEST(LocaleText, DayAndMonthNamesBecomeSystemText) {
    struct Case {
        const char* why;
        std::string text, codeset, system;
    };
    const Case cases[] = {
        {"UTF-8", "Dienstag, 03. M\xC3\xA4rz", "UTF-8", "Dienstag, 03. M\xE4rz"},
        {"UTF-8 beyond cp1252", "\xD0\x9C\xD0\xB0\xD1\x80\xD1\x82", "UTF-8", "&#1052;&#1072;&#1088;&#1090;"},
        {"Latin-1", "mercredi, 12 d\xE9" "cembre", "ISO-8859-1", "mercredi, 12 d\xE9" "cembre"},
        {"the C locale", "Tuesday, March 03", "ANSI_X3.4-1968", "Tuesday, March 03"},
    };
    for (const Case& c : cases) EXPECT_EQ(LocaleTextToSystemText(c.text, c.codeset), c.system) << c.why;
}

// A German session: the C library writes "März" in UTF-8, the program shows it as a letter.
TEST(FormatLocalTime, AGermanDateIsSystemText) {
    test::TempDir locales;
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (locales / "de_DE.UTF-8").Bytes() +
                                "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || !test::Exists(locales / "de_DE.UTF-8"))
        GTEST_SKIP() << "localedef cannot make a German locale here (package locales)";
    test::ScopedEnvironment environment;
    environment.Set("LOCPATH", locales.path().Bytes());
    test::ScopedTimeZone zone("UTC");
    test::ScopedLocale locale;
    ASSERT_TRUE(locale.Set("de_DE.UTF-8"));
    PosixSystem system;
    const std::string date = system.FormatLocalTime(1'709'467'200, "%A, %B %d, %Y at %H:%M");  // 2024-03-03 12:00
    EXPECT_EQ(date, "Sonntag, M\xE4rz 03, 2024 at 12:00");
}

bool HasZombieChildren() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream children(task.path() / "children");
        for (int pid; children >> pid;) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string line;
            std::getline(stat, line);
            const std::size_t close = line.rfind(')');
            if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z') return true;
        }
    }
    return false;
}

TEST(Launch, TheOutcomeDecidesTheFallbackAndNothingWaitsForABrowser) {
    PosixSystem system;
    using Outcome = System::LaunchOutcome;
    EXPECT_EQ(system.Launch("true", {"true"}, 5000), Outcome::Succeeded);
    EXPECT_EQ(system.Launch("false", {"false"}, 5000), Outcome::Failed);
    EXPECT_EQ(system.Launch("no-such-program-qen", {"no-such-program-qen"}, 5000), Outcome::NotStarted);

    // A launcher that runs the browser in the foreground never ends while we look.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(system.Launch("sleep", {"sleep", "0.4"}, 100), Outcome::StillRunning);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(system.StartDetached("true", {"true"}));

    // Both end soon; neither stays behind as a zombie.
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(HasZombieChildren());
}

}  // namespace
}  // namespace qen
