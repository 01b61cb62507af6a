#include "qen-gateway/FeedDocument.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "feedsim/Faults.h"
#include "feedsim/VideoFeeds.h"

namespace qen::gateway {

namespace {

// More than any service page holds; keeps a hostile answer's work bounded.
constexpr std::size_t kMostVideosPerAnswer = 200;

constexpr std::string_view kFeedHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:yt='http://gdata.youtube.com/schemas/2007'>"
    "<title>Videos</title>\n";

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A character a feed document may carry.
bool IsXmlCharacter(std::uint32_t c) {
    if (c == '\t' || c == '\n' || c == '\r') return true;
    if (c < 0x20) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    return c <= 0x10FFFF && c != 0xFFFE && c != 0xFFFF;
}

// The reference at the start of `text` ("&amp;", "&#39;", "&#x27;") and its length.
std::optional<std::pair<std::uint32_t, std::size_t>> Reference(std::string_view text) {
    static constexpr std::pair<std::string_view, std::uint32_t> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", 0xA0},
    };
    for (const auto& [name, character] : kNamed)
        if (text.starts_with(name)) return std::pair{character, name.size()};
    if (!text.starts_with("&#")) return std::nullopt;
    const bool hex = text.size() > 2 && (text[2] == 'x' || text[2] == 'X');
    std::size_t i = hex ? 3 : 2;
    std::uint32_t value = 0;
    const std::size_t first = i;
    for (; i < text.size() && i - first < 8; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    if (i == first || i >= text.size() || text[i] != ';') return std::nullopt;
    return std::pair{value, i + 1};
}

}  // namespace

std::string DecodeServiceTitle(std::string_view title) {
    std::string out;
    out.reserve(title.size());
    for (std::size_t i = 0; i < title.size();) {
        const auto byte = static_cast<unsigned char>(title[i]);
        if (byte == '&') {
            if (auto reference = Reference(title.substr(i))) {
                const std::uint32_t c = reference->first;
                if (IsXmlCharacter(c) && c >= 0x20) AppendUtf8(out, c);
                else out += ' ';
                i += reference->second;
                continue;
            }
        }
        out += byte < 0x20 || byte == 0x7F ? ' ' : title[i];
        ++i;
    }
    return out;
}

std::string EscapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c;
        }
    }
    return out;
}

void AddVideo(std::vector<Video>& videos, std::string_view id, std::string_view serviceTitle) {
    if (videos.size() >= kMostVideosPerAnswer || !feedsim::IsVideoId(id)) return;
    if (std::any_of(videos.begin(), videos.end(), [&](const Video& v) { return v.id == id; })) return;
    videos.push_back({std::string(id), DecodeServiceTitle(serviceTitle)});
}

std::string VideoFeed(const std::vector<Video>& videos, std::string_view host) {
    const std::string base = "http://" + std::string(host) + "/feeds/api/videos/";
    std::string feed(kFeedHead);
    for (const Video& video : videos) {
        feed += "<entry><id>" + base + video.id + "</id><title>" + EscapeXmlText(video.title) +
                "</title><yt:videoid>" + video.id + "</yt:videoid></entry>\n";
    }
    feed += "</feed>\n";
    return feed;
}

std::string QuotaFeed() { return feedsim::QuotaBody(); }

}  // namespace qen::gateway
