#pragma once
// The outside sites' names as users know them, used in messages.
namespace qen {

inline constexpr const char* kVideoSiteLabel = "YouTube";
inline constexpr const char* kArticleSiteLabel = "EzineArticles.com";

}  // namespace qen
