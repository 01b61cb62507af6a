#include "app/Terms.h"

#include <gtest/gtest.h>

#include "fakes/FakeSettings.h"
#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"

namespace qen::test {
namespace {

struct TermsFixture : ::testing::Test {
    FakeUi ui;
    FakeSettings settings;
    FakeSystem system;

    bool Ensure(const std::string& productKey, bool embedded = false) {
        return EnsureTermsAccepted(ui, settings, system, productKey, embedded);
    }
};

TEST_F(TermsFixture, AskedOncePerProductKey) {
    ui.termsAnswers = {true, true};
    EXPECT_TRUE(Ensure("QenRuntime"));
    EXPECT_EQ(settings.GetInt("QenRuntime", "Terms", 0), 1);
    EXPECT_FALSE(Ensure("QenRuntime"));
    EXPECT_EQ(ui.termsShown.size(), 1u);

    EXPECT_TRUE(Ensure("Fishing Guide"));
    EXPECT_EQ(ui.termsShown.size(), 2u);
}

TEST_F(TermsFixture, AnyValueButZeroCountsAsAccepted) {
    for (int stored : {1, 2, -1}) {
        settings.ints[{"QenRuntime", "Terms"}] = stored;
        EXPECT_FALSE(Ensure("QenRuntime")) << stored;
    }
    EXPECT_TRUE(ui.termsShown.empty());
    EXPECT_EQ(settings.writes, 0);

    settings.ints[{"QenRuntime", "Terms"}] = 0;
    ui.termsAnswers = {true};
    EXPECT_TRUE(Ensure("QenRuntime"));
}

TEST_F(TermsFixture, DecliningEndsTheProcessWithCodeOneAndRecordsNothing) {
    ui.termsAnswers = {false};
    try {
        Ensure("QenRuntime");
        FAIL() << "the process should have ended";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_EQ(settings.writes, 0);
}

TEST_F(TermsFixture, CarriedPackageSpeaksUnderItsOwnTitle) {
    ui.SetApplicationName("Fishing Guide");
    ui.termsAnswers = {true, true};
    Ensure("A", true);
    Ensure("B", false);
    ASSERT_EQ(ui.termsShown.size(), 2u);
    EXPECT_EQ(ui.termsShown[0].first, "Fishing Guide");
    EXPECT_EQ(ui.termsShown[0].second, EmbeddedPackageTerms());
    EXPECT_EQ(ui.termsShown[1].first, "Qen Runtime");
    EXPECT_EQ(ui.termsShown[1].second, SeparatePackageTerms());
    EXPECT_NE(EmbeddedPackageTerms(), SeparatePackageTerms());
}

}  // namespace
}  // namespace qen::test
