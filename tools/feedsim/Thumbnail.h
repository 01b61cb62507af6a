#pragma once
// Video thumbnails: a PNG tile in a colour of its own, with the id drawn as a pattern of
// cells (six per character) and written into the file's "Comment" text.
#include <string>
#include <string_view>

namespace qen::feedsim {

inline constexpr int kThumbnailWidth = 200;
inline constexpr int kThumbnailHeight = 140;

std::string ThumbnailPng(std::string_view videoId);

}  // namespace qen::feedsim
