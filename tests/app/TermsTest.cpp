#include "app/Terms.h"

#include <gtest/gtest.h>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"

namespace qen::test {
namespace {

struct TermsFixture : ::testing::Test {
    FakeUi ui;
    FakeSettings settings;

    // True when the terms were accepted during this call.
    bool Ensure(const std::string& productKey, bool embedded = false) {
        return EnsureTermsAccepted(ui, ui, settings, productKey, embedded) == TermsAnswer::AcceptedNow;
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

// The application ends the process (code 1) once it has let go of the user data file.
TEST_F(TermsFixture, DecliningIsSaidAndRecordsNothing) {
    ui.termsAnswers = {false, false};
    EXPECT_EQ(EnsureTermsAccepted(ui, ui, settings, "QenRuntime", false), TermsAnswer::Declined);
    EXPECT_EQ(settings.writes, 0);
    EXPECT_EQ(EnsureTermsAccepted(ui, ui, settings, "QenRuntime", false), TermsAnswer::Declined);  // asked again
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
