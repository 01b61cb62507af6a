#pragma once
// Reading a video feed by plain text search: it is not parsed as XML. Every search here
// moves forward only, so a feed is read in time proportional to its size, however broken.
// Its elements are found by the feed rule of text/TagScanners.
#include <cstddef>
#include <string>
#include <string_view>

namespace qen {

// The next query term of a keyword list (one term a line); the list keeps the lines after
// it. Lower case with "-" for each blank ("Dog Training" gives "dog-training"); the empty
// text when no further non-blank line is left.
std::string NextKeyword(std::string& keywordList);

// A feed document at all: the answer holds "<?xml".
bool HoldsFeedDocument(std::string_view feedText);
// The service refuses because of its call quota: all three quota markers are present.
bool ReportsCallQuota(std::string_view feedText);

// Only IsIdCharacter letters: an id goes into page addresses and script calls, so nothing
// else may come in from a feed.
bool IsVideoIdText(std::string_view id);

}  // namespace qen
