#pragma once
// A video's post on a page written by the video pages, found by its thumbnail address.
#include <optional>
#include <string>
#include <string_view>

namespace qen {

// How every post on those pages begins, and the empty cell that fills up a row or takes a
// deleted post's place.
inline constexpr std::string_view kVideoPostStart = "<div class=\"videopost\">";
inline constexpr std::string_view kBlankPost = "<div class=\"videopostblank\">&nbsp;</div>\r\n";

// The page with the post that shows `thumbnailAddress` replaced by an empty cell, so the
// page keeps its layout until it is next written; nullopt when the post is not there.
std::optional<std::string> BlankVideoPost(std::string_view page, std::string_view thumbnailAddress);

}  // namespace qen
