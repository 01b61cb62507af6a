#pragma once
// A video's post on a page written by the video pages, found by its thumbnail address.
#include <optional>
#include <string>
#include <string_view>

namespace qen {

// The page with the post that shows `thumbnailAddress` replaced by an empty cell, so the
// page keeps its layout until it is next written; nullopt when the post is not there.
std::optional<std::string> BlankVideoPost(std::string_view page, std::string_view thumbnailAddress);

}  // namespace qen
