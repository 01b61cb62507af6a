// The category feed is untrusted bytes: reading its items must hold on any text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "articles/ArticleFeed.h"
#include "text/TagScanners.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qen::ArticleFeed feed;
    feed.ReadItems(text);
    if (feed.Entries().size() > qen::ArticleFeed::kMaxEntries) std::abort();
    for (const qen::ArticleEntry& entry : feed.Entries())
        if (entry.id.empty() || entry.id.find('/') != std::string::npos) std::abort();
    std::size_t position = size / 2;
    (void)qen::ExtractTag(text, "item", position);
    if (position > size) std::abort();
    return 0;
}
