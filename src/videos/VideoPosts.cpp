#include "videos/VideoPosts.h"

namespace qen {

namespace {
constexpr std::string_view kPostStart = "<div class=\"videopost\">";
constexpr std::string_view kPostEnd = "</div>\r\n";
constexpr std::string_view kBlankPost = "<div class=\"videopostblank\">&nbsp;</div>\r\n";
}  // namespace

std::optional<std::string> BlankVideoPost(std::string_view page, std::string_view thumbnailAddress) {
    const std::size_t thumbnail = page.find(thumbnailAddress);
    if (thumbnail == std::string_view::npos || thumbnail == 0) return std::nullopt;
    const std::size_t start = page.rfind(kPostStart, thumbnail - 1);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = page.find(kPostEnd, thumbnail + 1);
    if (end == std::string_view::npos) return std::nullopt;
    std::string edited(page.substr(0, start));
    edited += kBlankPost;
    edited += page.substr(end + kPostEnd.size());
    return edited;
}

}  // namespace qen
