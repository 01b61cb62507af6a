#pragma once
// The feed document the runtime reads, made from the videos a service answered: UTF-8,
// one "entry" per video with "id", "title" and "yt:videoid".
#include <string>
#include <string_view>
#include <vector>

namespace qen::gateway {

struct Video {
    std::string id;     // letters, digits, "-" and "_" only
    std::string title;  // UTF-8 as the service shows it, references already decoded
};

// The title the service shows: its references ("&#39;", "&amp;", "&quot;", "&#x27;")
// become their characters, control characters blanks. Input is UTF-8.
std::string DecodeServiceTitle(std::string_view title);

// "&", "<" and ">" as references, once; nothing else changes.
std::string EscapeXmlText(std::string_view text);

// Appends (id, title) when the id keeps to the id rule and is not there yet.
void AddVideo(std::vector<Video>& videos, std::string_view id, std::string_view serviceTitle);

// Entry ids read "http://" + host + "/feeds/api/videos/" + id, as the runtime expects of
// related feeds; the keyword feed carries the same form.
std::string VideoFeed(const std::vector<Video>& videos, std::string_view host);

// The service's call-quota refusal as the runtime knows it.
std::string QuotaFeed();

}  // namespace qen::gateway
