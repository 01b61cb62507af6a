#include "videos/VideoRunState.h"

#include <gtest/gtest.h>

namespace qen {
namespace {

TEST(FindVideoTitle, LooksAtTheCurrentVideosThenTheRelatedOnes) {
    UserData data;
    data.CurrentVideos = {{"a", "current"}, {"a", "a later current"}};
    VideoRunState run;
    run.RelatedVideos = {{"a", "related"}, {"r", "only related"}, {"r", "a later related"}};
    struct Case {
        const char* id;
        const char* title;
    };
    const Case cases[] = {
        {"a", "current"},
        {"r", "only related"},
        {"q", ""},
        {"A", ""},  // ids are case-sensitive
    };
    for (const Case& c : cases) EXPECT_EQ(FindVideoTitle(data, run, c.id), c.title) << c.id;
}

}  // namespace
}  // namespace qen
